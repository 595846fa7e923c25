#include "app/VclPanel.h"

#include <QPaintEvent>
#include <QPainter>

TVclPanel::TVclPanel(QWidget *AParent)
    : QWidget(AParent)
{
    setAttribute(Qt::WA_StyledBackground, false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TVclPanel::SetColor(const QColor &AColor)
{
    FColor = AColor;
    update();
}

void TVclPanel::paintEvent(QPaintEvent *e)
{
    QPainter(this).fillRect(e->rect(), FColor);
}

#include "scene/TextButton.h"

#include <QMouseEvent>

TTextButton::TTextButton(QWidget *AParent)
    : TTextItem(AParent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, false);
    setCursor(Qt::PointingHandCursor);
}

void TTextButton::mousePressEvent(QMouseEvent *e)
{
    e->accept();
}

void TTextButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit Clicked(this);
}

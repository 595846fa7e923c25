#include "scene/GradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

TGradientPanel::TGradientPanel(QWidget *AParent)
    : QWidget(AParent)
{}

void TGradientPanel::SetStops(const QGradientStops &AStops)
{
    FStops = AStops;
    update();
}

void TGradientPanel::SetCornerRadius(qreal AValue)
{
    FRadius = AValue;
    update();
}

void TGradientPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setStops(FStops);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(rect()), FRadius, FRadius);
}

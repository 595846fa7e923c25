#include "canvaslib/LoadingOverlay.h"

#include <QEvent>
#include <QPainter>

namespace karvo {

namespace {

constexpr int SpinnerSize = 48;
constexpr int StepMs = 40;

} // namespace

LoadingOverlay::LoadingOverlay(QWidget *ACanvas)
    : QWidget(ACanvas)
{
    setObjectName(QStringLiteral("KARVOCanvasLoading"));
    setGeometry(ACanvas->rect());
    ACanvas->installEventFilter(this);
    FTimer.setInterval(StepMs);
    connect(&FTimer, &QTimer::timeout, this, [this] {
        FAngle = (FAngle + 30) % 360;
        update(spinnerRect());
    });
    hide();
}

void LoadingOverlay::setActive(bool AActive)
{
    if (AActive) {
        setGeometry(parentWidget()->rect());
        raise();
        show();
        FTimer.start();
    } else {
        FTimer.stop();
        hide();
    }
}

QRect LoadingOverlay::spinnerRect() const
{
    return QRect(0, 0, SpinnerSize, SpinnerSize)
        .translated(rect().center() - QPoint(SpinnerSize, SpinnerSize) / 2);
}

void LoadingOverlay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 96));
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF ring = QRectF(spinnerRect()).adjusted(6, 6, -6, -6);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 5));
    painter.drawEllipse(ring);
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring, -FAngle * 16, 100 * 16);
}

bool LoadingOverlay::eventFilter(QObject *AWatched, QEvent *AEvent)
{
    if (AWatched == parent() && AEvent->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(AWatched, AEvent);
}

} // namespace karvo

#include "capture/VideoWindow.h"

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <gst/video/video.h>

namespace {

const QEvent::Type RepaintEvent = QEvent::Type(QEvent::User + 40);

// A repaint request; the pending mark goes with the event.
class TRepaintEvent : public QEvent
{
public:
    explicit TRepaintEvent(std::shared_ptr<std::atomic<bool>> pending)
        : QEvent(RepaintEvent)
        , FPending(std::move(pending))
    {}
    ~TRepaintEvent() override { *FPending = false; }

private:
    std::shared_ptr<std::atomic<bool>> FPending;
};

QImage::Format ImageFormatOf(GstVideoFormat f)
{
    switch (f) {
    case GST_VIDEO_FORMAT_BGR:
        return QImage::Format_BGR888;
    case GST_VIDEO_FORMAT_RGB:
        return QImage::Format_RGB888;
    case GST_VIDEO_FORMAT_BGRx:
        return QImage::Format_RGB32;
    case GST_VIDEO_FORMAT_BGRA:
        return QImage::Format_ARGB32;
    case GST_VIDEO_FORMAT_RGBx:
        return QImage::Format_RGBX8888;
    case GST_VIDEO_FORMAT_RGBA:
        return QImage::Format_RGBA8888;
    default:
        return QImage::Format_Invalid;
    }
}

// Calls f with an image that wraps the sample's mapped frame.
template <typename F>
bool WithFrameImage(GstSample *sample, F f)
{
    GstVideoInfo info;
    GstCaps *caps = gst_sample_get_caps(sample);
    GstBuffer *buffer = gst_sample_get_buffer(sample);
    if (!caps || !buffer || !gst_video_info_from_caps(&info, caps))
        return false;
    const QImage::Format format = ImageFormatOf(GST_VIDEO_INFO_FORMAT(&info));
    if (format == QImage::Format_Invalid)
        return false;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ))
        return false;
    const QImage image(static_cast<const uchar *>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                       GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                       GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), format);
    f(image);
    gst_video_frame_unmap(&frame);
    return true;
}

} // namespace

TVideoWindow::TVideoWindow(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

TVideoWindow::~TVideoWindow() = default;

void TVideoWindow::Present(GstSample *sample)
{
    {
        std::lock_guard lock(FLock);
        FCurrent.reset(gst_sample_ref(sample));
    }
    ++FPresented;
    if (!FRepaintPending->exchange(true))
        QCoreApplication::postEvent(this, new TRepaintEvent(FRepaintPending));
}

TSamplePtr TVideoWindow::TakeCurrent() const
{
    std::lock_guard lock(FLock);
    return TSamplePtr(FCurrent ? gst_sample_ref(FCurrent.get()) : nullptr);
}

QImage TVideoWindow::CurrentImage() const
{
    QImage copy;
    if (TSamplePtr sample = TakeCurrent())
        WithFrameImage(sample.get(), [&](const QImage &image) { copy = image.copy(); });
    return copy;
}

bool TVideoWindow::event(QEvent *event)
{
    if (event->type() == RepaintEvent) {
        update();
        return true;
    }
    return QWidget::event(event);
}

void TVideoWindow::ScaleBgr(const QImage &frame, const QRect &area)
{
    const int tw = width(), th = height();
    if (FScaled.size() != size())
        FScaled = QImage(size(), QImage::Format_RGB32);
    if (FColumnsFor[0] != frame.width() || FColumnsFor[1] != tw) {
        FColumns.resize(std::size_t(tw));
        for (int x = 0; x < tw; ++x)
            FColumns[std::size_t(x)] =
                3 * int((std::int64_t(2 * x + 1) * frame.width()) / (2 * std::int64_t(tw)));
        FColumnsFor[0] = frame.width();
        FColumnsFor[1] = tw;
    }
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const int sy = int((std::int64_t(2 * y + 1) * frame.height()) / (2 * std::int64_t(th)));
        const uchar *src = frame.constScanLine(sy);
        auto *dst = reinterpret_cast<QRgb *>(FScaled.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const uchar *p = src + FColumns[std::size_t(x)];
            dst[x] = qRgb(p[2], p[1], p[0]);
        }
    }
}

void TVideoWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect().intersected(rect());
    const TSamplePtr sample = TakeCurrent();
    const bool drawn = sample && WithFrameImage(sample.get(), [&](const QImage &image) {
                           if (image.format() == QImage::Format_BGR888 && image.size() != size()) {
                               // Only the window's pixels are read and converted,
                               // not the whole frame.
                               ScaleBgr(image, area);
                               painter.drawImage(area.topLeft(), FScaled, area);
                           } else {
                               painter.drawImage(QRect(QPoint(0, 0), size()), image);
                           }
                       });
    if (!drawn)
        painter.fillRect(area,
                         parentWidget() ? parentWidget()->palette().window() : QBrush(Qt::black));
}

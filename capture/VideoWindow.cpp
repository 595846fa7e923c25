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

void TVideoWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const TSamplePtr sample = TakeCurrent();
    const bool drawn = sample && WithFrameImage(sample.get(), [&](const QImage &image) {
                           painter.drawImage(QRect(QPoint(0, 0), size()), image);
                       });
    if (!drawn)
        painter.fillRect(event->rect(),
                         parentWidget() ? parentWidget()->palette().window() : QBrush(Qt::black));
}

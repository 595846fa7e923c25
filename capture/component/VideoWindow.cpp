#include "capture/component/VideoWindow.h"

#include "capture/component/BgrToRgb32.h"
#include "capture/engine/HandOver.h"

#include <QCoreApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <gst/video/video.h>
#include <iterator>
#include <memory>

namespace {

const QEvent::Type RepaintEvent = QEvent::Type(QEvent::User + 40);

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
    // The frame's memory goes back to its pool when the sample is released,
    // and the grabber may write the next frame into it on a streaming thread;
    // the pool orders the two out of the race detector's sight.
    PublishHandOver(frame.map[0].data);
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
    std::unique_ptr<TFlaggedEvent> repaint;
    if (FRepaintPending->Raise())
        repaint = std::make_unique<TFlaggedEvent>(RepaintEvent, FRepaintPending);
    ++FPresented;
    if (repaint)
        QCoreApplication::postEvent(this, repaint.release());
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
        static_cast<TFlaggedEvent *>(event)->Take();
        update();
        return true;
    }
    return QWidget::event(event);
}

QRect TVideoWindow::VisibleArea(const QRect &asked) const
{
    // At a high zoom the window is far larger than the component: only the
    // part inside the component is ever painted.
    QRect area = asked.intersected(rect());
    if (const QWidget *p = parentWidget())
        area = area.intersected(QRect(mapFromParent(QPoint(0, 0)), p->size()));
    return area;
}

void TVideoWindow::ScaleBgr(const QImage &frame, const QRect &area)
{
    const int tw = width(), th = height();
    if (FScaled.size() != area.size())
        FScaled = QImage(area.size(), QImage::Format_RGB32);
    const int key[4] = {frame.width(), tw, area.left(), area.width()};
    if (!std::equal(std::begin(key), std::end(key), std::begin(FColumnsFor))) {
        // Source byte offset of each painted column (nearest pixel).
        FColumns.resize(std::size_t(area.width()));
        for (int i = 0; i < area.width(); ++i) {
            const std::int64_t x = area.left() + i;
            FColumns[std::size_t(i)] =
                3 * int(((2 * x + 1) * frame.width()) / (2 * std::int64_t(tw)));
        }
        std::copy(std::begin(key), std::end(key), std::begin(FColumnsFor));
    }
    const int *columns = FColumns.data();
    const int count = area.width();
    // At the frame's own width the columns follow one another.
    const bool unscaled = frame.width() == tw;
    int previous = -1; // the frame row of the row above
    for (int row = 0; row < area.height(); ++row) {
        const std::int64_t y = area.top() + row;
        const int sy = int(((2 * y + 1) * frame.height()) / (2 * std::int64_t(th)));
        auto *dst = reinterpret_cast<QRgb *>(FScaled.scanLine(row));
        if (sy == previous) {
            // Zoomed in: the same frame row again.
            std::memcpy(dst, FScaled.constScanLine(row - 1), std::size_t(count) * sizeof(QRgb));
            continue;
        }
        previous = sy;
        const uchar *src = frame.constScanLine(sy);
        if (unscaled) {
            BgrToRgb32(src + 3 * area.left(), dst, count);
            continue;
        }
        // A pixel's fourth byte lies inside the frame except for the frame's
        // very last pixel, which the last columns may show.
        const int whole =
            sy + 1 < frame.height()
                ? count
                : int(std::lower_bound(columns, columns + count, 3 * (frame.width() - 1)) -
                      columns);
        BgrColumnsToRgb32(src, columns, dst, whole);
        if (whole < count)
            BgrColumnsToRgb32Bytewise(src, columns + whole, dst + whole, count - whole);
    }
}

void TVideoWindow::paintEvent(QPaintEvent *event)
{
    const QRect area = VisibleArea(event->rect());
    if (area.isEmpty())
        return;
    QPainter painter(this);
    const TSamplePtr sample = TakeCurrent();
    const bool drawn = sample && WithFrameImage(sample.get(), [&](const QImage &image) {
                           if (image.format() == QImage::Format_BGR888) {
                               // Only the painted pixels are read and converted.
                               ScaleBgr(image, area);
                               painter.drawImage(area.topLeft(), FScaled);
                           } else {
                               painter.setClipRect(area);
                               painter.drawImage(rect(), image);
                           }
                       });
    if (!drawn)
        painter.fillRect(area,
                         parentWidget() ? parentWidget()->palette().window() : QBrush(Qt::black));
}

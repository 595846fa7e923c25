#pragma once

// The picture window: a child widget of the capture component that shows the
// newest frame of the renderer stage, scaled to its own size. The component
// places and sizes it; mouse input it does not use goes on to the component.

#include "capture/devices/GstHandles.h"
#include "capture/engine/PostedFlag.h"
#include "capture/engine/SampleSink.h"

#include <QColor>
#include <QImage>
#include <QWidget>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class TVideoWindow : public QWidget, public TSampleSink
{
    Q_OBJECT
public:
    explicit TVideoWindow(QWidget *parent);
    ~TVideoWindow() override;

    // Any thread: keeps `sample` as the frame to show and asks for one
    // repaint; never waits for the UI thread.
    void Present(GstSample *sample) override;
    // Frames presented so far.
    std::uint64_t FramesPresented() const { return FPresented; }
    // The newest frame as an image (a copy); null before the first frame.
    QImage CurrentImage() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    TSamplePtr TakeCurrent() const;
    // The part of `asked` (window coordinates) that the component shows.
    QRect VisibleArea(const QRect &asked) const;
    // Draws the part `area` of a BGR frame scaled to the window into FScaled
    // (nearest pixel), FScaled being `area`'s size.
    void ScaleBgr(const QImage &frame, const QRect &area);

    QImage FScaled;            // the painted part of the picture (UI thread)
    std::vector<int> FColumns; // source byte offset of each painted column
    // Frame width, window width, first column and column count FColumns is for.
    int FColumnsFor[4] = {0, 0, 0, 0};

    mutable std::mutex FLock;
    TSamplePtr FCurrent; // guarded by FLock
    TPostedFlagPtr FRepaintPending = std::make_shared<TPostedFlag>();
    std::atomic<std::uint64_t> FPresented{0};
};

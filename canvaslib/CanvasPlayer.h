#pragma once

#include "canvaslib/RecordFile.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

namespace karvo {

class CanvasDocument;

// Replays a stroke recording at its original pace inside a host widget,
// which it fills. The drawing is shown whole: scaled down to fit the host
// when it is larger, centred on black. Keyframes are read from the file as
// playback reaches them; one that cannot be read ends the playback there.
class CanvasPlayer : public QWidget
{
    Q_OBJECT

public:
    CanvasPlayer(QWidget *AHost, RecordFile::Recording ARecording);
    ~CanvasPlayer() override;

    bool finished() const { return FNext >= FSteps.size(); }

protected:
    void paintEvent(QPaintEvent *AEvent) override;
    bool eventFilter(QObject *AWatched, QEvent *AEvent) override;

private:
    // One thing to do at a moment of the recording.
    struct Step
    {
        enum Kind
        {
            Event, // apply FEvents[event] (not a stroke)
            StrokeBegin,
            StrokePoint,
            StrokeEnd,
        } kind = Event;
        qint64 time = 0;
        size_t event = 0;
        size_t point = 0;
    };

    void buildSteps();
    void runDue();
    void apply(const Step &AStep);
    void end();
    QTransform viewTransform() const;
    void onDocumentChanged(const QRect &ARect);

    RecordFile::Recording FRecording;
    std::vector<Step> FSteps;
    size_t FNext = 0;
    std::unique_ptr<CanvasDocument> FDoc;
    QTimer FTimer;
    QElapsedTimer FClock;
};

} // namespace karvo

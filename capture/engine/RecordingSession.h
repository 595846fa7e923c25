#pragma once

// One recording after another: the encoder and its frame input, the hand-over
// of grabbed frames to it, the recording clock and the recording's state. It
// lives on the UI thread; the encoder's worker reaches it only through posted
// calls, and the UI thread never waits for the worker.
//
// States and what moves them:
//   rsIdle       nothing recorded yet.
//   rsStarting   the recording is on, its encode waits for the previous
//                recording's encode to finish its file (looked at on a timer).
//   rsRecording  the encode runs; grabbed frames are handed over to it.
//   rsStopping   the recording is over; its encode finishes the file.
//   rsFinished   the file is finished.
// Start: from rsIdle, rsStopping or rsFinished to rsStarting or rsRecording.
// Stop, the encode ending on its own, a waiting start that cannot follow:
// from rsStarting or rsRecording to rsStopping (rsFinished when no encode
// runs), raising OnEnded exactly once. The encode's end: rsStopping to
// rsFinished.
//
// The grabber copies a frame whenever grabbing is on and posts the
// frame-ready message; while recording, its handler passes it to FrameReady,
// which marks the frame as new and turns grabbing on again, so the grabber
// buffer always holds the newest frame. The encoder's worker asks for a frame
// about 30 times a second; each request runs on the UI thread, copies the
// newest frame (or keeps the previous picture) and stamps it by the
// recording clock.

#include "encoding/RecordClock.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

class TFFEncoder;
class TFrameInputAdapter;
class TSampleGrabberCB;
struct TEncoderRequirements;
struct TInputFrameInfo;

enum TRecordState
{
    rsIdle,
    rsStarting,
    rsRecording,
    rsStopping,
    rsFinished
};

// What a recording is made of.
struct TRecordRequest
{
    QString FileName;
    int Width = 0, Height = 0; // of the grabbed frames
    int FrameRate = 20;        // of the file
    bool Sound = false;        // with the default recording device
};

class TRecordingSession : public QObject
{
    Q_OBJECT
public:
    // `grabber` gives the frames and outlives the session.
    explicit TRecordingSession(TSampleGrabberCB &grabber);
    ~TRecordingSession() override;

    // Creates the frame input and the encoder and checks the FFmpeg
    // libraries; false (and no recording possible) when they cannot record.
    bool LoadEncoder(const TEncoderRequirements &requirements);
    bool EncoderLoaded() const { return FEncoder != nullptr; }

    TRecordState State() const;
    // A recording is on (rsStarting or rsRecording).
    bool Active() const { return FState == rsStarting || FState == rsRecording; }
    // An encode still writes its file (also after the recording ended).
    bool Finishing() const;

    // Starts a recording; false when none began (the state is unchanged and
    // no file is created). Right after a stop the previous encode may still
    // be finishing its file: the recording then starts at once and its encode
    // follows once that file is finished.
    bool Start(const TRecordRequest &request);
    // Ends the recording, if one is on; its file is finished in the
    // background. Grabbing stops and frames already handed over are dropped.
    void Stop();
    // Marks a recording as on without an encode of its own: the frames are
    // held back from stills and its end is announced as any recording's.
    void Hold();

    // The frame-ready message: true when the recording took it.
    bool FrameReady(TSampleGrabberCB &cb);
    // The grabber buffer holds a new frame for the next frame request.
    void TakeFrame(TSampleGrabberCB &cb);

    // Raised on the UI thread (skipped when unassigned).
    // The recording is over, once per recording, whatever ended it; the
    // state has changed already.
    std::function<void()> OnEnded;
    // The encode ended on its own (a full disk) or a waiting start could not
    // follow: after OnEnded, the owner brings the live picture back.
    std::function<void()> OnBrokenOff;
    // Each frame request served: the frame's stamp in microseconds since the
    // recording started, the very stamp the file carries.
    std::function<void(std::int64_t stamp)> OnStamped;

    // The encoder (null when its libraries cannot record).
    TFFEncoder *Encoder() const { return FEncoder.get(); }

private:
    bool StartEncode();
    void StartWaitingEncode();
    void EncodeFinished(int encode);
    void End();
    int ReadFrame(std::uint8_t *data, TInputFrameInfo *info);

    TSampleGrabberCB &FGrabber;
    TRecordState FState = rsIdle;
    TRecordRequest FRequest;
    TRecordClock FClock;
    // The encoder is declared after the frame input it reads from, so it is
    // destroyed first.
    std::unique_ptr<TFrameInputAdapter> FFrameInput;
    std::unique_ptr<TFFEncoder> FEncoder;
    bool FFrameFlag = false; // the grabber buffer holds a frame not yet copied
    int FEncodes = 0;        // counts the encodes started
    // A waiting start looks for the previous encode's end until FWaitDue
    // (ms of the recording clock).
    QTimer FWaitTimer;
    std::int64_t FWaitDue = 0;
};

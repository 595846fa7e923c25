#pragma once

#include <QObject>

struct TFrameAdapterCore;

// Lives on an adapter's thread and serves the frame requests queued in its core when
// ServeQueued() is invoked there (a queued call posted by the worker).
class TRequestReceiver : public QObject
{
    Q_OBJECT
public:
    explicit TRequestReceiver(TFrameAdapterCore *core)
        : FCore(core)
    {}

public slots:
    void ServeQueued();

private:
    TFrameAdapterCore *FCore;
};

#pragma once

#include "encoding/EncodeOptions.h"
#include "encoding/FFHandles.h"
#include "encoding/RecordClock.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

// Number of sound recording devices the wave input can use: 1 when ALSA's default capture
// PCM can be opened, otherwise 0.
int WaveInputDeviceCount();

// The wave input of an encode task ("-f wavecapture"): records from an ALSA capture PCM.
//
// Capture starts when the input is opened. A capture thread reads the device in periods
// of PacketBytes() bytes and queues each period as a packet under the input's mutex;
// data arriving before the first Read() is discarded. Sound lost in an overrun is replaced
// by as much silence as the monotonic clock says went by, so sound and pictures (stamped
// by that clock) stay in step; on Close the last, partial period is queued too. Read() takes the
// oldest packet, waiting for one up to the given time and then answering "try again"; once the
// device has been closed or has failed and the queue is empty it answers end of file.
class TWaveInput
{
public:
    static constexpr size_t PeriodBytes = 4096;

    TWaveInput() = default;
    ~TWaveInput();
    TWaveInput(const TWaveInput &) = delete;
    TWaveInput &operator=(const TWaveInput &) = delete;

    // inputName: "-1" for the default recording device, a card number, or an ALSA PCM name.
    bool Open(const std::string &inputName, const TInputSettings &settings, std::string &error);

    // 0 with the packet in data; AVERROR(EAGAIN) when none came within wait (or stop was
    // requested); AVERROR_EOF after the device closed or failed and the queue ran dry.
    int Read(std::vector<uint8_t> &data,
             std::chrono::milliseconds wait = std::chrono::milliseconds(1000),
             std::stop_token stop = {});

    // Stops capturing and closes the device; later reads drain the queue, then end of file.
    void Close();

    // The ALSA device name actually opened, such as "default".
    const std::string &DeviceName() const { return FDeviceName; }
    int SampleRate() const { return FSampleRate; }
    int Channels() const { return FChannels; }
    AVSampleFormat SampleFormat() const { return FSampleFormat; }
    size_t PacketBytes() const { return FPacketBytes; }

private:
    void CaptureLoop(std::stop_token stop);
    // Restarts the device after an error; lostFrames: the frames to fill with silence.
    bool Recover(int err, size_t &lostFrames);
    void Queue(std::vector<uint8_t> packet);

    TPcmPtr FPcm;
    std::string FDeviceName;
    int FSampleRate = 0;
    int FChannels = 0;
    AVSampleFormat FSampleFormat = AV_SAMPLE_FMT_NONE;
    size_t FBlockBytes = 0;
    size_t FPacketBytes = 0;
    // Capture thread only: the start of the device's current run and the frames read since.
    TRecordClock::TClock::time_point FRunStart;
    uint64_t FRunFrames = 0;

    std::mutex FLock; // guards the queue and the flags below
    std::condition_variable_any FArrived;
    std::deque<std::vector<uint8_t>> FPackets;
    size_t FQueuedBytes = 0;
    bool FStarted = false;
    bool FEnded = false;
    bool FOverflowLogged = false;

    std::jthread FThread; // last: stopped and joined before the queue goes away
};

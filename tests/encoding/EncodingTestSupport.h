#pragma once

#include "TempHome.h"
#include "TestPicture.h"

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/rational.h>
}

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// Under ThreadSanitizer the UI thread's picture work and the encoder run so
// slowly that frame requests are served a few times a second and the rate
// control sees another picture stream: such a run checks the threads, not
// the timing or the bit rate.
#if defined(__SANITIZE_THREAD__)
constexpr bool TimingHolds = false;
#else
constexpr bool TimingHolds = true;
#endif

// ALSA configuration of a test: ~/.asoundrc in the test's own home folder, read afresh.
// UseTestSoundDevice makes "default" the timed test capture device (extra: more of its
// fields, such as "fail_after_ms 500"); with OVILEN_TEST_SYSTEM_SOUND set and no extra
// fields it keeps the system's own "default". UseSoundConfig writes any configuration.
void UseSoundConfig(const TempHome &home, const std::string &asoundrc);
void UseTestSoundDevice(const TempHome &home, const std::string &extra = {});
// A configuration whose "default" cannot be opened (a card that does not exist).
void UseNoSoundDevice(const TempHome &home);

// One stream of a media file, as libavformat reads it back packet by packet.
struct TProbedStream
{
    AVMediaType Type = AVMEDIA_TYPE_UNKNOWN;
    std::string Codec;
    int Width = 0;
    int Height = 0;
    AVRational FrameRate{0, 1}; // the stream's real base frame rate
    int SampleRate = 0;
    int Channels = 0;
    AVRational TimeBase{0, 1};
    std::vector<int64_t> Pts; // of every packet, in TimeBase units, in file order
    int64_t Bytes = 0;
    double Duration = 0; // from the first packet's start to the last packet's end, seconds
    double BitRate() const { return Duration > 0 ? Bytes * 8 / Duration : 0; }
};

struct TProbedFile
{
    bool Ok = false;
    std::string Error;
    std::string Format;
    std::vector<TProbedStream> Streams;
    const TProbedStream *Find(AVMediaType type) const;
};

TProbedFile ProbeFile(const std::string &path);

// Mean luma of the top and the bottom half of a video file's first picture.
struct THalves
{
    bool Ok = false;
    double Top = 0;
    double Bottom = 0;
};
THalves FirstPictureHalves(const std::string &path);

// Runs the test `testFilter` of this executable (a disabled one that records
// into the file named by OVILEN_TEST_KILLED_RECORDING) in a child process,
// waits up to `setupLimit` for the file to appear, lets the child record for
// `recordFor` (three seconds unless given) and kills it with SIGKILL. Returns the seconds between
// the file's appearance and the kill; a failed start or a child that ended by itself is a test
// failure.
constexpr const char *KilledRecordingVariable = "OVILEN_TEST_KILLED_RECORDING";
double RecordInChildUntilKilled(const std::string &file, const std::string &testFilter,
                                int setupLimitSeconds,
                                std::chrono::milliseconds recordFor = std::chrono::seconds(3));
// The file of a killed recording plays, with picture and sound, up to about
// a second before the kill.
void ExpectKilledRecordingPlays(const std::string &file, double recorded);

// The wave input on ALSA's "default" capture device, here a timed test device set up in
// the test's own ~/.asoundrc.
#include "EncodingTestSupport.h"
#include "encoding/WaveInput.h"

extern "C" {
#include <libavutil/error.h>
}

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

TInputSettings RecordingSound()
{
    TInputSettings s;
    std::string error;
    EXPECT_TRUE(ParseInputOptions("-f wavecapture -ar 44100 -ac 2 -sample_fmt u8", s, error))
        << error;
    return s;
}

} // namespace

TEST(WaveInputDevices, CountIsOneExactlyWhenTheDefaultCapturePcmOpens)
{
    TempHome home;
    UseTestSoundDevice(home);
    EXPECT_EQ(WaveInputDeviceCount(), 1);
    UseSoundConfig(home, "pcm.!default { type null }\n");
    EXPECT_EQ(WaveInputDeviceCount(), 1);
    UseNoSoundDevice(home);
    EXPECT_EQ(WaveInputDeviceCount(), 0);
}

TEST(WaveInput, OpenFailureNamesTheDevice)
{
    TempHome home;
    UseNoSoundDevice(home);
    TWaveInput input;
    std::string error;
    EXPECT_FALSE(input.Open("-1", RecordingSound(), error));
    EXPECT_NE(error.find("cannot open the sound recording device \"default\""), std::string::npos)
        << error;
}

TEST(WaveInput, DeliversPeriodsOfSoundInOrder)
{
    TempHome home;
    UseTestSoundDevice(home);
    TWaveInput input;
    std::string error;
    ASSERT_TRUE(input.Open("-1", RecordingSound(), error)) << error;
    EXPECT_EQ(input.DeviceName(), "default");
    EXPECT_EQ(input.PacketBytes(), 4096u);

    // The test device writes each frame's index (mod 256) into both channels: across
    // packets the values must run on without a gap.
    std::vector<uint8_t> all;
    std::vector<uint8_t> packet;
    while (all.size() < 12 * 4096) {
        ASSERT_EQ(input.Read(packet), 0);
        ASSERT_EQ(packet.size(), 4096u);
        all.insert(all.end(), packet.begin(), packet.end());
    }
    for (size_t i = 2; i < all.size(); i += 2) {
        ASSERT_EQ(all[i], all[i + 1]) << "frame " << i / 2;
        ASSERT_EQ(uint8_t(all[i] - all[i - 2]), 1) << "frame " << i / 2;
    }
}

TEST(WaveInput, SoundBeforeTheFirstReadIsDiscarded)
{
    TempHome home;
    UseTestSoundDevice(home);
    TWaveInput input;
    std::string error;
    ASSERT_TRUE(input.Open("-1", RecordingSound(), error)) << error;
    std::this_thread::sleep_for(400ms); // about eight periods captured and dropped
    std::vector<uint8_t> packet;
    EXPECT_EQ(input.Read(packet, 0ms), AVERROR(EAGAIN));
    EXPECT_EQ(input.Read(packet), 0);
}

TEST(WaveInput, SilentDeviceAnswersTryAgain)
{
    TempHome home;
    UseTestSoundDevice(home, "stall 1");
    TWaveInput input;
    std::string error;
    ASSERT_TRUE(input.Open("-1", RecordingSound(), error)) << error;
    std::vector<uint8_t> packet;
    EXPECT_EQ(input.Read(packet), AVERROR(EAGAIN)); // after waiting a second
}

TEST(WaveInput, FailedDeviceEndsWithEndOfFile)
{
    TempHome home;
    UseTestSoundDevice(home, "fail_after_ms 300");
    TWaveInput input;
    std::string error;
    ASSERT_TRUE(input.Open("-1", RecordingSound(), error)) << error;
    std::vector<uint8_t> packet;
    int packets = 0;
    int result = 0;
    const auto end = std::chrono::steady_clock::now() + 5s;
    while ((result = input.Read(packet)) == 0 && std::chrono::steady_clock::now() < end)
        ++packets;
    EXPECT_EQ(result, AVERROR_EOF);
    EXPECT_GT(packets, 0); // what came before the failure is kept
}

TEST(WaveInput, ClosedInputHandsOutWhatItHasThenEndOfFile)
{
    TempHome home;
    UseTestSoundDevice(home);
    TWaveInput input;
    std::string error;
    ASSERT_TRUE(input.Open("-1", RecordingSound(), error)) << error;
    std::vector<uint8_t> packet;
    ASSERT_EQ(input.Read(packet), 0);
    std::this_thread::sleep_for(300ms);
    input.Close();
    int queued = 0;
    int result = 0;
    while ((result = input.Read(packet)) == 0)
        ++queued;
    EXPECT_EQ(result, AVERROR_EOF);
    EXPECT_GE(queued, 3);
}

TEST(WaveInput, SoundLostInAnOverrunIsReplacedBySilence)
{
    // Nothing arrives from 300 ms to 700 ms, then the device reports an overrun: those
    // 400 ms of sound are lost, and silence takes their place so the sound keeps time.
    TempHome home;
    UseTestSoundDevice(home, "overrun_at_ms 300 overrun_ms 400");
    TWaveInput input;
    std::string error;
    ASSERT_TRUE(input.Open("-1", RecordingSound(), error)) << error;
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> all;
    std::vector<uint8_t> packet;
    while (std::chrono::steady_clock::now() - start < 1500ms)
        if (input.Read(packet, 200ms) == 0)
            all.insert(all.end(), packet.begin(), packet.end());
    input.Close();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    while (input.Read(packet) == 0)
        all.insert(all.end(), packet.begin(), packet.end());

    // U8 silence is 0x80; the test device never repeats a value in the next frame.
    size_t longestSilence = 0;
    for (size_t i = 0, run = 0; i < all.size(); ++i) {
        run = all[i] == 0x80 ? run + 1 : 0;
        longestSilence = std::max(longestSilence, run);
    }
    const double rate = 44100 * 2; // bytes a second
    // The gap is measured by the clock when reading resumes; under ThreadSanitizer
    // the reading thread resumes later and the gap measures longer.
    EXPECT_NEAR(longestSilence / rate, 0.4, TimingHolds ? 0.1 : 0.25);
    // Sound and wall time agree: nothing was dropped and nothing is missing.
    EXPECT_NEAR(all.size() / rate, seconds, 0.1);
}

TEST(WaveInput, CloseKeepsTheLastPartialPeriod)
{
    // 5000 frames: two whole periods of 2048 frames and 904 more.
    TempHome home;
    UseTestSoundDevice(home, "frames_total 5000");
    TWaveInput input;
    std::string error;
    ASSERT_TRUE(input.Open("-1", RecordingSound(), error)) << error;
    std::vector<uint8_t> all;
    std::vector<uint8_t> packet;
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(input.Read(packet), 0);
        all.insert(all.end(), packet.begin(), packet.end());
    }
    std::this_thread::sleep_for(200ms); // the device has delivered everything by now
    input.Close();
    while (input.Read(packet) == 0)
        all.insert(all.end(), packet.begin(), packet.end());
    ASSERT_EQ(all.size(), 5000u * 2);
    for (size_t i = 0; i < all.size(); i += 2)
        ASSERT_EQ(all[i], uint8_t(i / 2)) << "frame " << i / 2;
}

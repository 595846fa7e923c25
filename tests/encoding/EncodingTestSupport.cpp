#include "EncodingTestSupport.h"

extern "C" {
#include <alsa/asoundlib.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char **environ;

void UseSoundConfig(const TempHome &home, const std::string &asoundrc)
{
    writeFile(home.file(QStringLiteral(".asoundrc")), QByteArray::fromStdString(asoundrc));
    // ALSA keeps the configuration it read first; make it read the test's own.
    snd_config_update_free_global();
}

void UseTestSoundDevice(const TempHome &home, const std::string &extra)
{
    // In the VM (tests/encoding/vm-sound.sh) the system's own "default" is a real ALSA
    // driver: leave it in place.
    if (extra.empty() && qEnvironmentVariableIsSet("OVILEN_TEST_SYSTEM_SOUND")) {
        snd_config_update_free_global();
        return;
    }
    UseSoundConfig(home, std::string("pcm_type.ovilentimed { lib \"") + OVILEN_TEST_ALSA_PLUGIN +
                             "\" }\npcm.!default { type ovilentimed " + extra + " }\n");
}

void UseNoSoundDevice(const TempHome &home)
{
    UseSoundConfig(home, "pcm.!default { type hw card 99 }\n");
}

const TProbedStream *TProbedFile::Find(AVMediaType type) const
{
    for (const TProbedStream &s : Streams)
        if (s.Type == type)
            return &s;
    return nullptr;
}

TProbedFile ProbeFile(const std::string &path)
{
    TProbedFile result;
    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) {
        result.Error = "cannot open " + path;
        return result;
    }
    std::unique_ptr<AVFormatContext *, void (*)(AVFormatContext **)> context(
        new AVFormatContext *(raw), [](AVFormatContext **c) {
            avformat_close_input(c);
            delete c;
        });
    if (avformat_find_stream_info(raw, nullptr) < 0) {
        result.Error = "cannot read the streams of " + path;
        return result;
    }
    result.Format = raw->iformat->name;
    std::vector<int64_t> ends(raw->nb_streams, 0);
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        const AVStream *st = raw->streams[i];
        TProbedStream s;
        s.Type = st->codecpar->codec_type;
        s.Codec = avcodec_get_name(st->codecpar->codec_id);
        s.Width = st->codecpar->width;
        s.Height = st->codecpar->height;
        s.FrameRate = st->r_frame_rate;
        s.SampleRate = st->codecpar->sample_rate;
        s.Channels = st->codecpar->ch_layout.nb_channels;
        s.TimeBase = st->time_base;
        result.Streams.push_back(s);
    }
    AVPacket *packet = av_packet_alloc();
    while (av_read_frame(raw, packet) >= 0) {
        TProbedStream &s = result.Streams[size_t(packet->stream_index)];
        s.Pts.push_back(packet->pts);
        s.Bytes += packet->size;
        ends[size_t(packet->stream_index)] =
            std::max(ends[size_t(packet->stream_index)], packet->pts + packet->duration);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    for (size_t i = 0; i < result.Streams.size(); ++i) {
        TProbedStream &s = result.Streams[i];
        if (!s.Pts.empty()) {
            const int64_t first = *std::min_element(s.Pts.begin(), s.Pts.end());
            s.Duration = double(ends[i] - first) * av_q2d(s.TimeBase);
        }
    }
    result.Ok = true;
    return result;
}

THalves FirstPictureHalves(const std::string &path)
{
    THalves halves;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0)
        return halves;
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVCodecContext *decoder = nullptr;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    if (index >= 0) {
        const AVCodecParameters *par = format->streams[index]->codecpar;
        decoder = avcodec_alloc_context3(avcodec_find_decoder(par->codec_id));
        avcodec_parameters_to_context(decoder, par);
        avcodec_open2(decoder, decoder->codec, nullptr);
        bool got = false;
        while (!got && av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(decoder, packet) >= 0)
                got = avcodec_receive_frame(decoder, frame) >= 0;
            av_packet_unref(packet);
        }
        if (!got) {
            avcodec_send_packet(decoder, nullptr);
            got = avcodec_receive_frame(decoder, frame) >= 0;
        }
        if (got) {
            double sums[2] = {0, 0};
            for (int y = 0; y < frame->height; ++y)
                for (int x = 0; x < frame->width; ++x)
                    sums[y >= frame->height / 2] += frame->data[0][y * frame->linesize[0] + x];
            const double half = double(frame->width) * (frame->height / 2);
            halves = {true, sums[0] / half, sums[1] / half};
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return halves;
}

double RecordInChildUntilKilled(const std::string &file, const std::string &testFilter,
                                int setupLimitSeconds, std::chrono::milliseconds recordFor)
{
    using namespace std::chrono_literals;
    const std::string fileVariable = std::string(KilledRecordingVariable) + "=" + file;
    std::vector<char *> env;
    for (char **e = environ; *e; ++e)
        env.push_back(*e);
    env.push_back(const_cast<char *>(fileVariable.c_str()));
    env.push_back(nullptr);
    std::string self = QCoreApplication::applicationFilePath().toStdString();
    std::string filter = "--gtest_filter=" + testFilter;
    std::string disabled = "--gtest_also_run_disabled_tests";
    char *argv[] = {self.data(), filter.data(), disabled.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, env.data()) != 0) {
        ADD_FAILURE() << "the recording child does not start";
        return 0;
    }

    // The file appears (with its header) once the recording has started.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(setupLimitSeconds);
    while (!QFileInfo::exists(QString::fromStdString(file)) &&
           std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(10ms);
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(recordFor);
    kill(child, SIGKILL);
    const double recorded =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the recording child ended by itself";
    return recorded;
}

void ExpectKilledRecordingPlays(const std::string &file, double recorded)
{
    const TProbedFile probe = ProbeFile(file);
    ASSERT_TRUE(probe.Ok) << probe.Error;
    const TProbedStream *video = probe.Find(AVMEDIA_TYPE_VIDEO);
    const TProbedStream *audio = probe.Find(AVMEDIA_TYPE_AUDIO);
    ASSERT_TRUE(video && audio);
    // The file is written in fragments that end at the encoder's key pictures (0.6 s apart
    // at 20 fps) and last at most a second, so a kill loses at most the last second: the
    // fragment being written and what the encoder still held. Under ThreadSanitizer the
    // encoder trails the clock.
    const double lost = TimingHolds ? 1.0 : 2.0;
    EXPECT_GE(video->Duration, recorded - lost);
    EXPECT_LE(video->Duration, recorded + 0.1);
    EXPECT_GE(audio->Duration, recorded - lost);
}

#include "RecordingTestSupport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QFile>
#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TFormatCloser
{
    void operator()(AVFormatContext *c) const { avformat_close_input(&c); }
};
struct TCodecFreer
{
    void operator()(AVCodecContext *c) const { avcodec_free_context(&c); }
};
struct TFrameFreer
{
    void operator()(AVFrame *f) const { av_frame_free(&f); }
};
struct TPacketFreer
{
    void operator()(AVPacket *p) const { av_packet_free(&p); }
};

void Keep(const AVFrame *frame, TDecodedPicture &picture)
{
    picture.Width = frame->width;
    picture.Height = frame->height;
    const int cw = (frame->width + 1) / 2, ch = (frame->height + 1) / 2;
    picture.Y.resize(size_t(frame->width) * size_t(frame->height));
    picture.U.resize(size_t(cw) * size_t(ch));
    picture.V.resize(size_t(cw) * size_t(ch));
    for (int y = 0; y < frame->height; ++y)
        std::copy_n(frame->data[0] + y * frame->linesize[0], frame->width,
                    picture.Y.begin() + std::ptrdiff_t(y) * frame->width);
    for (int y = 0; y < ch; ++y) {
        std::copy_n(frame->data[1] + y * frame->linesize[1], cw,
                    picture.U.begin() + std::ptrdiff_t(y) * cw);
        std::copy_n(frame->data[2] + y * frame->linesize[2], cw,
                    picture.V.begin() + std::ptrdiff_t(y) * cw);
    }
    picture.Ok = true;
}

} // namespace

TDecodedPicture DecodePicture(const std::string &path, int index)
{
    TDecodedPicture picture;
    AVFormatContext *raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return picture;
    std::unique_ptr<AVFormatContext, TFormatCloser> format(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0)
        return picture;
    const int stream = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream < 0)
        return picture;
    const AVCodecParameters *par = raw->streams[stream]->codecpar;
    std::unique_ptr<AVCodecContext, TCodecFreer> decoder(
        avcodec_alloc_context3(avcodec_find_decoder(par->codec_id)));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), par) < 0 ||
        avcodec_open2(decoder.get(), decoder->codec, nullptr) < 0 ||
        decoder->pix_fmt != AV_PIX_FMT_YUV420P)
        return picture;
    std::unique_ptr<AVFrame, TFrameFreer> frame(av_frame_alloc());
    std::unique_ptr<AVPacket, TPacketFreer> packet(av_packet_alloc());
    int count = 0;
    const auto receive = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            if (index < 0 || count == index)
                Keep(frame.get(), picture);
            ++count;
            picture.Count = count;
            if (index >= 0 && count > index)
                return true;
        }
        return false;
    };
    bool done = false;
    while (!done && av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == stream && avcodec_send_packet(decoder.get(), packet.get()) >= 0)
            done = receive();
        av_packet_unref(packet.get());
    }
    if (!done) {
        avcodec_send_packet(decoder.get(), nullptr);
        receive();
    }
    return picture;
}

std::vector<double> BlockLuma(const TDecodedPicture &picture, int cols, int rows)
{
    std::vector<double> sums(size_t(cols) * size_t(rows), 0), counts(sums.size(), 0);
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) {
            const size_t b =
                size_t(y * rows / picture.Height) * size_t(cols) + size_t(x * cols / picture.Width);
            sums[b] += picture.Y[size_t(y) * size_t(picture.Width) + size_t(x)];
            counts[b] += 1;
        }
    for (size_t i = 0; i < sums.size(); ++i)
        sums[i] /= std::max(counts[i], 1.0);
    return sums;
}

std::vector<double> BlockLuma(const TGrabbed &frame, int cols, int rows)
{
    std::vector<double> sums(size_t(cols) * size_t(rows), 0), counts(sums.size(), 0);
    for (int y = 0; y < frame.Height; ++y)
        for (int x = 0; x < frame.Width; ++x) {
            const std::uint8_t *p = frame.Px(x, y);
            const double luma = 16 + (24.966 * p[0] + 128.553 * p[1] + 65.481 * p[2]) / 255;
            const size_t b =
                size_t(y * rows / frame.Height) * size_t(cols) + size_t(x * cols / frame.Width);
            sums[b] += luma;
            counts[b] += 1;
        }
    for (size_t i = 0; i < sums.size(); ++i)
        sums[i] /= std::max(counts[i], 1.0);
    return sums;
}

double LargestDifference(const std::vector<double> &a, const std::vector<double> &b)
{
    if (a.size() != b.size())
        return INFINITY;
    double largest = 0;
    for (size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

double ChromaStrength(const TDecodedPicture &picture)
{
    double sum = 0;
    for (size_t i = 0; i < picture.U.size(); ++i)
        sum += std::abs(picture.U[i] - 128.0) + std::abs(picture.V[i] - 128.0);
    return picture.U.empty() ? 0 : sum / double(picture.U.size());
}

std::vector<std::string> TopLevelBoxes(const std::string &path)
{
    std::vector<std::string> boxes;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return boxes;
    const qint64 size = file.size();
    qint64 at = 0;
    while (at + 8 <= size) {
        file.seek(at);
        const QByteArray head = file.read(16);
        if (head.size() < 8)
            break;
        const auto byte = [&](int i) {
            return std::uint64_t(std::uint8_t(head[i]));
        };
        std::uint64_t length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        if (length == 1 && head.size() == 16) {
            length = 0;
            for (int i = 8; i < 16; ++i)
                length = length << 8 | byte(i);
        } else if (length == 0) {
            length = std::uint64_t(size - at); // to the end of the file
        }
        boxes.push_back(head.mid(4, 4).toStdString());
        if (length < 8)
            break;
        at += qint64(length);
    }
    return boxes;
}

THeldOutput::THeldOutput(const std::string &path)
{
    if (mkfifo(path.c_str(), 0600) != 0)
        return;
    FFd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (FFd >= 0)
        fcntl(FFd, F_SETPIPE_SZ, 4096); // the encode blocks after a few kilobytes
}

THeldOutput::~THeldOutput()
{
    FStop = true;
    if (FDrain.joinable())
        FDrain.join();
    if (FFd >= 0)
        close(FFd);
}

void THeldOutput::Release()
{
    FDrain = std::thread([this] {
        while (!FStop) {
            pollfd p{FFd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0)
                continue;
            char buffer[65536];
            const ssize_t n = read(FFd, buffer, sizeof buffer);
            if (n == 0 && (p.revents & POLLHUP))
                break;
            if (n > 0)
                FBytes.append(buffer, size_t(n));
        }
    });
}

#pragma once

#include "encoding/EncodeOptions.h"
#include "encoding/FFHandles.h"

#include <optional>
#include <string>

namespace ovilen::encoding {

// The video stream an output is asked to carry.
struct TVideoStreamSetup
{
    int Width = 0;
    int Height = 0;
    AVRational FrameRate{20, 1};
};

// The audio stream an output is asked to carry.
struct TAudioStreamSetup
{
    int SampleRate = 44100;
    int Channels = 2;
};

// An output file with its encoders. Open() creates the file and writes its header, so
// every mistake of the settings shows before the encode starts.
//
// MP4 and MOV files are written as fragments of at most about one second that each stand
// on their own: a file whose writer is killed plays up to its last complete fragment.
class TOutputFile
{
public:
    TOutputFile() = default;
    ~TOutputFile();
    TOutputFile(const TOutputFile &) = delete;
    TOutputFile &operator=(const TOutputFile &) = delete;

    bool Open(const std::string &fileName, const TOutputSettings &settings,
              const std::optional<TVideoStreamSetup> &video,
              const std::optional<TAudioStreamSetup> &audio, std::string &error);
    bool IsOpen() const { return bool(FContext); }

    AVCodecContext *VideoEncoder() const { return FVideo.get(); }
    AVCodecContext *AudioEncoder() const { return FAudio.get(); }

    // Encode one frame (pts in the encoder's time base) and write what comes out; a null
    // frame drains the encoder. Negative: an FFmpeg error.
    int EncodeVideo(const AVFrame *frame);
    int EncodeAudio(const AVFrame *frame);

    // Writes the trailer and closes the file.
    int Finish();
    // Closes a file that was opened but never written to, and deletes it when Open()
    // created it.
    void Abandon();

    const std::string &FileName() const { return FFileName; }

private:
    int Encode(AVCodecContext *encoder, AVStream *stream, const AVFrame *frame);

    std::string FFileName;
    bool FCreatedFile = false;
    TOutputContextPtr FContext;
    TCodecContextPtr FVideo;
    TCodecContextPtr FAudio;
    AVStream *FVideoStream = nullptr;
    AVStream *FAudioStream = nullptr;
    TPacketPtr FPacket;
};

} // namespace ovilen::encoding

#pragma once

#include "encoding/EncodeOptions.h"
#include "encoding/FFHandles.h"

#include <optional>
#include <string>

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
// every mistake of the settings shows before the encode starts. A file that already exists
// is left as it was until the encode writes (the first encode call or Finish): until then
// the new file has a temporary name beside it, so a failed or abandoned start never
// destroys an existing file.
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
    // created it; an existing file it was to replace stays as it was.
    void Abandon();

    const std::string &FileName() const { return FFileName; }

private:
    // The steps of Open: each stream's encoder and stream, then the file (a temporary one
    // beside a file that exists). False with error set when a step fails.
    bool AddVideoStream(AVFormatContext *context, const TOutputSettings &settings,
                        const TVideoStreamSetup &video, std::string &error);
    bool AddAudioStream(AVFormatContext *context, const TOutputSettings &settings,
                        const TAudioStreamSetup &audio, std::string &error);
    bool OpenTarget(AVFormatContext *context, std::string &error);
    int Encode(AVCodecContext *encoder, AVStream *stream, const AVFrame *frame);
    // Creates an empty, uniquely named file in the folder of fileName.
    static bool CreateBeside(const std::string &fileName, std::string &temporary);
    // Moves the new file over the one it replaces; negative: an FFmpeg error.
    int Commit();
    void RemoveTemporary();

    std::string FFileName;
    bool FCreatedFile = false;
    std::string FReplacedPath;  // the existing file the new one replaces at Commit
    std::string FTemporaryPath; // the new file's name until then
    TOutputContextPtr FContext;
    TCodecContextPtr FVideo;
    TCodecContextPtr FAudio;
    AVStream *FVideoStream = nullptr;
    AVStream *FAudioStream = nullptr;
    TPacketPtr FPacket;
};

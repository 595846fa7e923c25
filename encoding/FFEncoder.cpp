#include "encoding/FFEncoder.h"

#include "encoding/EncodeTask.h"
#include "encoding/EncodingLog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

bool SameMajor(unsigned runtime, int compiled)
{
    return int(runtime >> 16) == compiled;
}

} // namespace

TFFEncoder::TFFEncoder() = default;

TFFEncoder::~TFFEncoder()
{
    Stop(true);
    ClearTasks();
}

int TFFEncoder::Fail(std::string text)
{
    qCWarning(lcEncoding, "%s", text.c_str());
    std::lock_guard lock(FLock);
    FError = std::move(text);
    return -1;
}

std::string TFFEncoder::LastErrorMsg() const
{
    std::lock_guard lock(FLock);
    return FError;
}

bool TFFEncoder::LoadLibraries(const TEncoderRequirements &requirements)
{
    InstallLibraryLogHandlers();
    FLoaded = false;
    if (!SameMajor(avutil_version(), LIBAVUTIL_VERSION_MAJOR) ||
        !SameMajor(avcodec_version(), LIBAVCODEC_VERSION_MAJOR) ||
        !SameMajor(avformat_version(), LIBAVFORMAT_VERSION_MAJOR) ||
        !SameMajor(swscale_version(), LIBSWSCALE_VERSION_MAJOR) ||
        !SameMajor(swresample_version(), LIBSWRESAMPLE_VERSION_MAJOR)) {
        Fail("the FFmpeg libraries found at run time do not match the ones the program was built "
             "with");
        return false;
    }
    const AVCodec *video = avcodec_find_encoder_by_name(requirements.VideoEncoder.c_str());
    if (!video || video->type != AVMEDIA_TYPE_VIDEO) {
        Fail("the FFmpeg video encoder \"" + requirements.VideoEncoder + "\" is not available");
        return false;
    }
    const AVCodec *audio = avcodec_find_encoder_by_name(requirements.AudioEncoder.c_str());
    if (!audio || audio->type != AVMEDIA_TYPE_AUDIO) {
        Fail("the FFmpeg audio encoder \"" + requirements.AudioEncoder + "\" is not available");
        return false;
    }
    if (!av_guess_format(requirements.Muxer.c_str(), nullptr, nullptr)) {
        Fail("the FFmpeg container \"" + requirements.Muxer + "\" is not available");
        return false;
    }
    FLoaded = true;
    return true;
}

void TFFEncoder::JoinWorkers()
{
    for (std::jthread &worker : FWorkers)
        if (worker.joinable())
            worker.join();
    FWorkers.clear();
    FRunList.clear();
}

bool TFFEncoder::ClearTasks()
{
    if (Working()) {
        Fail("the previous encode is still finishing its file");
        return false;
    }
    JoinWorkers();
    FTasks.clear();
    return true;
}

TEncodeTask *TFFEncoder::FindTask(int taskIndex)
{
    if (taskIndex < 0 || taskIndex >= int(FTasks.size()) || !FTasks[size_t(taskIndex)]) {
        Fail("there is no task " + std::to_string(taskIndex));
        return nullptr;
    }
    if (Working()) {
        Fail("task " + std::to_string(taskIndex) + " cannot change while an encode works");
        return nullptr;
    }
    return FTasks[size_t(taskIndex)].get();
}

int TFFEncoder::AddTask(const std::string &inputName, const TInputOptions &options)
{
    if (!FLoaded)
        return Fail("the FFmpeg libraries are not loaded");
    if (Working())
        return Fail("no task can be added while an encode works");
    TInputSettings settings;
    std::string error;
    if (!ParseInputOptions(options.Options, settings, error))
        return Fail(error);
    auto task = std::make_unique<TEncodeTask>();
    if (!task->AddInput(inputName, settings, error))
        return Fail(error);
    FTasks.push_back(std::move(task));
    return int(FTasks.size()) - 1;
}

int TFFEncoder::AddInput(int taskIndex, const std::string &inputName, const TInputOptions &options)
{
    if (!FLoaded)
        return Fail("the FFmpeg libraries are not loaded");
    TEncodeTask *task = FindTask(taskIndex);
    if (!task)
        return -1;
    TInputSettings settings;
    std::string error;
    if (!ParseInputOptions(options.Options, settings, error) ||
        !task->AddInput(inputName, settings, error))
        return Fail(error);
    return 0;
}

int TFFEncoder::SetOutput(int taskIndex, const std::string &fileName, const TOutputOptions &options)
{
    if (!FLoaded)
        return Fail("the FFmpeg libraries are not loaded");
    TEncodeTask *task = FindTask(taskIndex);
    if (!task)
        return -1;
    TOutputSettings settings;
    std::string error;
    if (!ParseOutputOptions(options.Options, settings, error) ||
        !task->SetOutput(fileName, settings, error))
        return Fail(error);
    return 0;
}

bool TFFEncoder::RemoveTask(int taskIndex)
{
    if (!FindTask(taskIndex))
        return false;
    FTasks[size_t(taskIndex)].reset();
    return true;
}

bool TFFEncoder::Start(int threadCount)
{
    if (!FLoaded)
        return Fail("the FFmpeg libraries are not loaded") >= 0;
    if (Working())
        return Fail("an encode is already working") >= 0;
    JoinWorkers();
    for (const auto &task : FTasks)
        if (task && task->HasOutput())
            FRunList.push_back(task.get());
    if (FRunList.empty())
        return Fail("no task has an output to encode to") >= 0;

    FStop = std::stop_source();
    FNextTask = 0;
    const size_t workers = std::clamp<size_t>(size_t(std::max(threadCount, 1)), 1, FRunList.size());
    FRunning = int(workers);
    for (size_t i = 0; i < workers; ++i)
        FWorkers.emplace_back([this, stop = FStop.get_token()] { WorkerLoop(stop); });
    return true;
}

void TFFEncoder::WorkerLoop(std::stop_token stop)
{
    for (;;) {
        const size_t index = FNextTask++;
        if (index >= FRunList.size())
            break;
        FRunList[index]->Run(stop, [this](const std::string &text) {
            std::lock_guard lock(FLock);
            FError = text;
        });
    }
    bool last;
    {
        std::lock_guard lock(FLock);
        last = --FRunning == 0;
        if (last)
            FFinished.notify_all();
    }
    if (last && FOnFinished)
        FOnFinished();
}

void TFFEncoder::Stop(bool wait)
{
    if (Working()) {
        // Cancel first: from here on no frame request reaches a handler.
        for (TEncodeTask *task : FRunList)
            task->Cancel();
        FStop.request_stop();
    }
    if (wait)
        JoinWorkers();
}

bool TFFEncoder::WaitForFinish(std::chrono::milliseconds timeout)
{
    {
        std::unique_lock lock(FLock);
        if (!FFinished.wait_for(lock, timeout, [this] { return FRunning.load() == 0; }))
            return false;
    }
    JoinWorkers();
    return true;
}

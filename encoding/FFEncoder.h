#pragma once

#include "encoding/EncodeOptions.h"
#include "encoding/FrameInputAdapter.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

class TEncodeTask;

// What LoadLibraries() checks the FFmpeg libraries for.
struct TEncoderRequirements
{
    std::string VideoEncoder = "mpeg4";
    std::string AudioEncoder = "aac";
    std::string Muxer = "mp4";
};

// The encoder: a list of encode tasks, each with its inputs and one output file, run on
// worker threads. Call it from one thread (the main thread); the encode itself runs on the
// workers. Failures give a negative or false result and a text in LastErrorMsg().
//
// A recording:
//   encoder.ClearTasks();
//   int task = encoder.AddTask(adapter.InputName(), {"-f frameinput ... -s 1280x720"});
//   encoder.AddInput(task, "-1", {"-f wavecapture -ar 44100 -ac 2 -sample_fmt u8"});
//   encoder.SetOutput(task, "/path/clip.mp4", {"-c:v mpeg4 -b:v 3000k ..."});
//   encoder.Start(1);
//   ...
//   encoder.Stop(false);  // the worker finishes the file on its own
class TFFEncoder
{
public:
    TFFEncoder();
    // Stops a running encode and waits for its worker (requests to the main thread are not
    // served any more, so this never waits on the main thread).
    ~TFFEncoder();
    TFFEncoder(const TFFEncoder &) = delete;
    TFFEncoder &operator=(const TFFEncoder &) = delete;

    // Checks that FFmpeg's libraries can record: matching versions, the encoders and the
    // container. False with LastErrorMsg() when they cannot; every other call then fails.
    bool LoadLibraries(const TEncoderRequirements &requirements = {});
    bool Loaded() const { return FLoaded; }

    // Empties the task list (deleting outputs of tasks that never ran). Refused (false)
    // while an encode still works.
    bool ClearTasks();
    // A new task with its first input. Returns the task index (>= 0) or -1.
    int AddTask(const std::string &inputName, const TInputOptions &options);
    // Another input of a task; its stream numbers follow the inputs' order (-map N:0).
    // Returns >= 0 on success, -1 on failure.
    int AddInput(int taskIndex, const std::string &inputName, const TInputOptions &options);
    // Creates the output file and writes its header. Returns >= 0 on success, -1 on failure
    // (the file is not left behind).
    int SetOutput(int taskIndex, const std::string &fileName, const TOutputOptions &options);
    // Drops a task that is not running.
    bool RemoveTask(int taskIndex);
    // This encoder never shows a preview of its own; kept for callers that switch it off.
    void DisablePreview() {}

    // Runs every task with an output on threadCount worker threads and returns at once.
    bool Start(int threadCount = 1);
    // Asks the encode to finish its files. Without wait it returns at once; the workers
    // take what was captured, write the last picture and close the files on their own.
    // No frame request reaches an adapter's handler after Stop() has returned.
    void Stop(bool wait = false);
    // An encode is running (until its files are finished).
    bool Working() const { return FRunning.load() > 0; }
    // Waits for the encode to finish; false when it still works after timeout.
    bool WaitForFinish(std::chrono::milliseconds timeout);

    std::string LastErrorMsg() const;

    // Called once an encode has finished all its files, whether stopped or ended on its own
    // (a full disk, a frame handler's failure). It runs on a worker thread and must not
    // call the encoder; post to the main thread from it. Set it before Start().
    void SetOnFinished(std::function<void()> handler) { FOnFinished = std::move(handler); }

private:
    int Fail(std::string text);
    TEncodeTask *FindTask(int taskIndex);
    void JoinWorkers();
    void WorkerLoop(std::stop_token stop);

    bool FLoaded = false;
    std::function<void()> FOnFinished;
    std::vector<std::unique_ptr<TEncodeTask>> FTasks;
    std::vector<TEncodeTask *> FRunList; // the tasks of the running encode

    mutable std::mutex FLock; // guards FError and the finishing of workers
    std::condition_variable FFinished;
    std::string FError;
    std::atomic<int> FRunning{0};
    std::atomic<size_t> FNextTask{0};
    std::stop_source FStop;
    std::vector<std::jthread> FWorkers;
};

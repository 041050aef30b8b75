#pragma once
// One effects plug-in instance's services thread: a single-threaded COM apartment that runs
// numbered commands handed to it by the host's threads, one at a time, and pumps the
// messages that reach it meanwhile. The caller of Run waits until its command has run; a
// command issued on the thread itself runs at once. Nudge asks for kNudgeCommand without
// waiting (the host's parameter calls use it); nudges that come before it runs count once.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class ServicesThread
{
public:
    // Runs a command on the thread; answers true when the thread is to end. A thread that a
    // quit message ends calls it once more with kQuitCommand, before it leaves its apartment.
    using Handler = std::function<bool(int32_t command)>;
    static constexpr int32_t kQuitCommand = -1;
    static constexpr int32_t kNudgeCommand = -2;

    ServicesThread() = default;
    ~ServicesThread();
    ServicesThread(const ServicesThread&) = delete;
    ServicesThread& operator=(const ServicesThread&) = delete;

    // False when the events or the thread cannot be made.
    bool Start(Handler handler);
    // Runs the command and returns once it is done; false when no thread runs (nothing ran).
    bool Run(int32_t command);
    // Any thread: kNudgeCommand runs on the thread soon; the caller does not wait for it.
    void Nudge();
    // Waits up to timeoutMs for the thread to end; true when it has.
    bool Join(uint32_t timeoutMs);
    bool IsRunning() const;
    bool IsCurrent() const;

private:
    void Main();
    // The thread's wait for a command, which also delivers the thread's messages; false when
    // the thread is to end without one (a quit message or a failed wait).
    bool WaitForCommand();

    Handler handler_;
    std::thread thread_;
    std::thread::id threadId_; // set before the thread starts, read by any thread
    std::mutex runLock_;       // one Run at a time
    mutable std::mutex lock_;  // guards the fields below
    std::condition_variable changed_;
    int32_t pending_ = 0;           // the command waiting to run, 0 for none
    bool commandSignalled_ = false; // portable build: the command event
    bool replied_ = false;
    bool running_ = false; // from Start until the thread's loop has ended
    std::atomic<bool> nudged_{false};
#ifdef _WIN32
    void* commandEvent_ = nullptr; // auto-reset event the thread's message wait watches
#endif
};

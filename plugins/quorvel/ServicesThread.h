#pragma once
// One effects plug-in instance's services thread: a single-threaded COM apartment that runs
// numbered commands handed to it by the host's threads, one at a time, and pumps the
// messages that reach it meanwhile.
//
// Thread contract:
// - The threads are workers of a process-wide pool (ServicesPool). Start binds a worker to the
//   instance; once the instance's last command ran (End) the worker waits, apartment and all,
//   for the next instance. A process thus makes no more apartments than it had instances
//   alive at once: Wine gives each apartment that ever exported a sink an RPC endpoint of its
//   own and stops listening past 64, so a thread per lifetime hung the 65th.
// - The handler runs on the worker only. Run, Nudge and End come from the instance's other
//   threads, one Run at a time (Run takes the instance's command lock with the same bound;
//   End has a slot of its own); a command issued on the worker itself runs at once.
// - No caller waits without bound for a worker busy elsewhere. Run hands its command in and
//   waits up to the bound: a command the worker has not taken by then is withdrawn (not run);
//   one it took and has not finished answers Late and finishes on its own, unless the caller
//   asked to wait until it is done (its arguments are the caller's: only then is the wait the
//   command's own length). While a taken command is late, nothing else waits for the worker:
//   Run answers NotRun at once and End hands over at once.
// - End hands in the instance's last command. When it does not finish within the bound, the
//   worker finishes it later and then calls the `orphan` function the caller gave: whatever
//   the worker still uses lives until then, and the orphan function frees it. Without an
//   orphan function End waits until the command is done.
// - Nudge asks for kNudgeCommand without waiting (the host's parameter calls use it); nudges
//   that come before it runs count once.
// - A quit message to the worker ends the instance's thread: the handler gets kQuitCommand,
//   and from then on Run answers NotRun; the worker serves the next instance after End.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class ServicesWorker;

class ServicesPool
{
public:
    ServicesPool();
    // Ends the workers; every thread of this pool has ended (End) and gone.
    ~ServicesPool();
    ServicesPool(const ServicesPool&) = delete;
    ServicesPool& operator=(const ServicesPool&) = delete;

    // The plug-in file's pool: it lives, with its workers, as long as the process.
    static ServicesPool& Process();

    // Workers made so far, and those waiting for an instance.
    size_t Made() const;
    size_t Idle() const;

private:
    friend class ServicesThread;
    // An idle worker, or a new one; null when no thread can be made.
    ServicesWorker* Take();
    void GiveBack(ServicesWorker* worker);

    mutable std::mutex lock_;
    std::vector<std::unique_ptr<ServicesWorker>> workers_; // lock_; every worker made
    std::vector<ServicesWorker*> idle_;                    // lock_; borrowed from workers_
};

class ServicesThread
{
public:
    // Runs a command on the thread; answers true when the thread is to end. A thread that a
    // quit message ends calls it once more with kQuitCommand, before it serves anyone else.
    using Handler = std::function<bool(int32_t command)>;
    static constexpr int32_t kQuitCommand = -1;
    static constexpr int32_t kNudgeCommand = -2;

    enum class Outcome
    {
        Ran,
        NotRun, // no thread runs, or it did not take the command in time
        Late,   // taken, still running past the bound
    };

    explicit ServicesThread(ServicesPool& pool = ServicesPool::Process()) : pool_(pool) {}
    // Gives the worker back to the pool; End came first.
    ~ServicesThread();
    ServicesThread(const ServicesThread&) = delete;
    ServicesThread& operator=(const ServicesThread&) = delete;

    // False when no worker can be had. boundMs is every wait's bound.
    bool Start(Handler handler, uint32_t boundMs);
    // Runs the command; untilDone waits for a taken command however long it takes.
    Outcome Run(int32_t command, bool untilDone);
    // Any thread: kNudgeCommand runs on the thread soon; the caller does not wait for it.
    void Nudge();
    // The instance's last command. True when it ran (or the thread had ended) within the
    // bound; false when the worker still runs it, and calls `orphan` once done. A null orphan
    // waits until it is done.
    bool End(int32_t command, std::function<void()> orphan);
    bool IsRunning() const;
    bool IsCurrent() const;

private:
    ServicesPool& pool_;
    ServicesWorker* worker_ = nullptr; // borrowed from the pool from Start to the destructor
    uint32_t boundMs_ = 0;
    // The command lock: one Run at a time, taken with the bound (a flag under a mutex rather
    // than a timed mutex, whose timed lock the thread checker of the native build misreads).
    std::mutex commandLock_;
    std::condition_variable commandFree_;
    bool commandBusy_ = false; // commandLock_
};

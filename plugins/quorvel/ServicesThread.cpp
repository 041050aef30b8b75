#include "plugins/quorvel/ServicesThread.h"

#include <chrono>
#include <condition_variable>
#include <new>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <objbase.h>
#include <windows.h>
#endif

namespace
{

using Clock = std::chrono::steady_clock;

#ifdef _WIN32
// Workers outlive the instances they served, and a host may unload the file once its last
// instance closed: the file stays loaded while the process lives, so no worker runs code
// that is gone.
void PinThisFile()
{
    static const bool pinned = [] {
        HMODULE module = nullptr;
        return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                  reinterpret_cast<LPCSTR>(&PinThisFile), &module) != 0;
    }();
    (void)pinned;
}
#endif

} // namespace

// One thread of the pool with its apartment; serves one instance at a time.
class ServicesWorker
{
public:
    ServicesWorker() = default;
    // Pool's end only: the worker serves nobody.
    ~ServicesWorker();
    ServicesWorker(const ServicesWorker&) = delete;
    ServicesWorker& operator=(const ServicesWorker&) = delete;

    bool Launch();
    void Bind(ServicesThread::Handler handler);
    // The instance is done with the worker: its last command has finished.
    void Unbind();
    ServicesThread::Outcome Run(int32_t command, bool untilDone, uint32_t boundMs);
    bool End(int32_t command, std::function<void()> orphan, uint32_t boundMs);
    void Nudge();
    bool IsServing() const;
    bool IsCurrent() const { return std::this_thread::get_id() == id_; }
    // A worker whose wait failed serves nobody after its instance.
    bool IsBroken() const;
    // Only on the worker, for a command issued there.
    bool RunHere(int32_t command) { return handler_(command); }

private:
    enum class Woken
    {
        Command,
        Quit,
        Failed
    };
    void Main();
    Woken Wait();
    void Signal(); // lock_ held
    // After a command (ticket) or a quit (ticket 0): the instance's thread ended when `ended`.
    void Finish(uint64_t ticket, bool ended);

    std::thread thread_;
    std::thread::id id_; // set before the thread runs anything
    mutable std::mutex lock_;
    std::condition_variable changed_;
    // Set by Bind and cleared by Unbind, both while no command runs; called on the worker.
    ServicesThread::Handler handler_;
    // lock_
    bool bound_ = false;
    bool ended_ = false;  // the instance's thread ended: its last command ran, or a quit came
    bool late_ = false;   // the command running is past its caller's bound
    bool retire_ = false; // the pool ends: the thread leaves
    bool broken_ = false;
    bool hasCommand_ = false;
    int32_t pending_ = 0;        // with hasCommand_: Run's command
    uint64_t pendingTicket_ = 0; // its ticket
    uint64_t issued_ = 0;        // tickets of the commands handed in
    uint64_t taken_ = 0;         // the last one the worker took
    uint64_t finished_ = 0;      // the last one it finished
    int32_t endCommand_ = 0;
    uint64_t endTicket_ = 0; // End's command, 0 for none: the instance's thread ends with it
    std::function<void()> orphan_;
    bool signalled_ = false; // portable build: the command event
    std::atomic<bool> nudged_{false};
#ifdef _WIN32
    HANDLE event_ = nullptr; // auto-reset event the worker's message wait watches
#endif
};

ServicesWorker::~ServicesWorker()
{
    if (thread_.joinable())
    {
        {
            std::lock_guard<std::mutex> hold(lock_);
            retire_ = true;
            Signal();
        }
        changed_.notify_all();
        thread_.join();
    }
#ifdef _WIN32
    if (event_)
    {
        CloseHandle(event_);
    }
#endif
}

bool ServicesWorker::Launch()
{
#ifdef _WIN32
    PinThisFile();
    event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!event_)
    {
        return false;
    }
#endif
    std::lock_guard<std::mutex> hold(lock_);
    try
    {
        thread_ = std::thread(&ServicesWorker::Main, this);
    }
    catch (...)
    {
        return false;
    }
    id_ = thread_.get_id();
    return true;
}

void ServicesWorker::Bind(ServicesThread::Handler handler)
{
    std::lock_guard<std::mutex> hold(lock_);
    handler_ = std::move(handler);
    bound_ = true;
    ended_ = false;
    late_ = false;
    endTicket_ = 0;
    nudged_.store(false);
}

void ServicesWorker::Unbind()
{
    std::unique_lock<std::mutex> hold(lock_);
    // An instance that never ended its thread (no End) still lets no command of its own run on.
    changed_.wait(hold, [this] { return finished_ == taken_; });
    bound_ = false;
    ended_ = false;
    late_ = false;
    hasCommand_ = false;
    orphan_ = nullptr;
    ServicesThread::Handler handler = std::move(handler_);
    handler_ = nullptr;
    hold.unlock();
    // The handler's captures go outside the lock.
}

bool ServicesWorker::IsServing() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return bound_ && !ended_;
}

bool ServicesWorker::IsBroken() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return broken_;
}

void ServicesWorker::Signal()
{
    signalled_ = true;
#ifdef _WIN32
    SetEvent(event_);
#endif
}

ServicesThread::Outcome ServicesWorker::Run(int32_t command, bool untilDone, uint32_t boundMs)
{
    using Outcome = ServicesThread::Outcome;
    std::unique_lock<std::mutex> hold(lock_);
    if (!bound_ || ended_ || late_ || endTicket_ != 0)
    {
        return Outcome::NotRun;
    }
    pending_ = command;
    hasCommand_ = true;
    const uint64_t ticket = ++issued_;
    pendingTicket_ = ticket;
    Signal();
    changed_.notify_all();
    const auto done = [&] { return finished_ >= ticket || (ended_ && taken_ < ticket); };
    if (!changed_.wait_until(hold, Clock::now() + std::chrono::milliseconds(boundMs), done))
    {
        if (taken_ < ticket)
        {
            hasCommand_ = false; // withdrawn: the worker never runs it
            return Outcome::NotRun;
        }
        late_ = true;
        if (!untilDone)
        {
            return Outcome::Late;
        }
        changed_.wait(hold, done);
    }
    return finished_ >= ticket ? Outcome::Ran : Outcome::NotRun;
}

bool ServicesWorker::End(int32_t command, std::function<void()> orphan, uint32_t boundMs)
{
    std::unique_lock<std::mutex> hold(lock_);
    if (!bound_ || ended_)
    {
        return true;
    }
    // A slot of its own: it runs after a command another thread is still waiting for.
    endCommand_ = command;
    endTicket_ = ++issued_;
    Signal();
    changed_.notify_all();
    const auto done = [this] { return ended_; };
    if (!orphan)
    {
        changed_.wait(hold, done);
        return true;
    }
    if (!late_ && changed_.wait_until(hold, Clock::now() + std::chrono::milliseconds(boundMs), done))
    {
        return true;
    }
    orphan_ = std::move(orphan);
    return false;
}

void ServicesWorker::Nudge()
{
    if (nudged_.exchange(true))
    {
        return; // the worker has not taken the last one yet
    }
    {
        std::lock_guard<std::mutex> hold(lock_);
        Signal();
    }
    changed_.notify_all();
}

ServicesWorker::Woken ServicesWorker::Wait()
{
#ifdef _WIN32
    for (;;)
    {
        HANDLE event = event_;
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_POSTMESSAGE | QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0)
        {
            return Woken::Command;
        }
        if (result == WAIT_OBJECT_0 + 1)
        {
            MSG message;
            bool quit = false;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            {
                if (message.message == WM_QUIT)
                {
                    quit = true;
                }
                else
                {
                    DispatchMessageA(&message);
                }
            }
            if (quit)
            {
                return Woken::Quit;
            }
            continue;
        }
        if (result == WAIT_FAILED || (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + 1))
        {
            return Woken::Failed;
        }
    }
#else
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return signalled_; });
    return Woken::Command;
#endif
}

void ServicesWorker::Finish(uint64_t ticket, bool ended)
{
    std::function<void()> orphan;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (ticket != 0)
        {
            finished_ = ticket;
            late_ = false;
            ended = ended || ticket == endTicket_;
        }
        if (ended)
        {
            ended_ = true;
            hasCommand_ = false; // a command handed in meanwhile is not run
        }
        if (ended_ && orphan_)
        {
            orphan = std::move(orphan_);
            orphan_ = nullptr;
        }
    }
    changed_.notify_all();
    if (orphan)
    {
        // The instance that gave up waiting goes now; it hands this worker back.
        orphan();
    }
}

void ServicesWorker::Main()
{
#ifdef _WIN32
    const bool com = SUCCEEDED(CoInitialize(nullptr));
#endif
    for (;;)
    {
        const Woken woken = Wait();
        std::unique_lock<std::mutex> hold(lock_);
        signalled_ = false;
        if (retire_)
        {
            break;
        }
        const bool serving = bound_ && !ended_;
        if (woken != Woken::Command)
        {
            broken_ = woken == Woken::Failed;
            hold.unlock();
            if (serving)
            {
                handler_(ServicesThread::kQuitCommand);
                Finish(0, true);
            }
            if (woken == Woken::Failed)
            {
                break;
            }
            continue;
        }
        const bool has = hasCommand_ && serving;
        const int32_t command = pending_;
        uint64_t ticket = 0;
        if (has)
        {
            hasCommand_ = false;
            ticket = pendingTicket_;
            taken_ = ticket;
        }
        hold.unlock();
        if (serving && nudged_.exchange(false))
        {
            handler_(ServicesThread::kNudgeCommand);
        }
        if (has)
        {
            Finish(ticket, handler_(command));
        }
        hold.lock();
        const bool last = endTicket_ != 0 && bound_ && !ended_;
        const int32_t endCommand = endCommand_;
        const uint64_t endTicket = endTicket_;
        if (last)
        {
            taken_ = endTicket;
        }
        hold.unlock();
        if (last)
        {
            handler_(endCommand);
            Finish(endTicket, true);
        }
    }
#ifdef _WIN32
    if (com)
    {
        CoUninitialize();
    }
#endif
}

ServicesPool::ServicesPool() = default;

ServicesPool::~ServicesPool()
{
    // Each worker ends its thread in its destructor.
    std::lock_guard<std::mutex> hold(lock_);
    idle_.clear();
    workers_.clear();
}

ServicesPool& ServicesPool::Process()
{
    // Never destroyed: its threads wait for instances until the process ends.
    static ServicesPool* pool = new ServicesPool;
    return *pool;
}

size_t ServicesPool::Made() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return workers_.size();
}

size_t ServicesPool::Idle() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return idle_.size();
}

ServicesWorker* ServicesPool::Take()
{
    std::lock_guard<std::mutex> hold(lock_);
    if (!idle_.empty())
    {
        ServicesWorker* worker = idle_.back();
        idle_.pop_back();
        return worker;
    }
    auto* worker = new (std::nothrow) ServicesWorker;
    if (!worker)
    {
        return nullptr;
    }
    workers_.emplace_back(worker);
    if (!worker->Launch())
    {
        workers_.pop_back();
        return nullptr;
    }
    return worker;
}

void ServicesPool::GiveBack(ServicesWorker* worker)
{
    const bool broken = worker->IsBroken();
    std::lock_guard<std::mutex> hold(lock_);
    if (!broken)
    {
        idle_.push_back(worker);
    }
}

ServicesThread::~ServicesThread()
{
    if (worker_)
    {
        worker_->Unbind();
        pool_.GiveBack(worker_);
    }
}

bool ServicesThread::Start(Handler handler, uint32_t boundMs)
{
    boundMs_ = boundMs;
    worker_ = pool_.Take();
    if (!worker_)
    {
        return false;
    }
    worker_->Bind(std::move(handler));
    return true;
}

ServicesThread::Outcome ServicesThread::Run(int32_t command, bool untilDone)
{
    if (!worker_)
    {
        return Outcome::NotRun;
    }
    if (worker_->IsCurrent())
    {
        worker_->RunHere(command);
        return Outcome::Ran;
    }
    {
        std::unique_lock<std::mutex> hold(commandLock_);
        if (!commandFree_.wait_for(hold, std::chrono::milliseconds(boundMs_), [this] { return !commandBusy_; }))
        {
            return Outcome::NotRun;
        }
        commandBusy_ = true;
    }
    const Outcome outcome = worker_->Run(command, untilDone, boundMs_);
    {
        std::lock_guard<std::mutex> hold(commandLock_);
        commandBusy_ = false;
    }
    commandFree_.notify_one();
    return outcome;
}

void ServicesThread::Nudge()
{
    if (worker_)
    {
        worker_->Nudge();
    }
}

bool ServicesThread::End(int32_t command, std::function<void()> orphan)
{
    return !worker_ || worker_->End(command, std::move(orphan), boundMs_);
}

bool ServicesThread::IsRunning() const
{
    return worker_ && worker_->IsServing();
}

bool ServicesThread::IsCurrent() const
{
    return worker_ && worker_->IsCurrent();
}

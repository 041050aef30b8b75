#include "plugins/quorvel/ServicesThread.h"

#include <chrono>

#ifdef _WIN32
#include <objbase.h>
#include <windows.h>
#endif

ServicesThread::~ServicesThread()
{
    if (thread_.joinable())
    {
        // The owner gave up waiting: the thread ends on its own and must not outlive its data.
        thread_.join();
    }
#ifdef _WIN32
    if (commandEvent_)
    {
        CloseHandle(commandEvent_);
    }
#endif
}

bool ServicesThread::Start(Handler handler)
{
    handler_ = std::move(handler);
#ifdef _WIN32
    commandEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!commandEvent_)
    {
        return false;
    }
#endif
    {
        std::lock_guard<std::mutex> hold(lock_);
        running_ = true;
    }
    try
    {
        thread_ = std::thread(&ServicesThread::Main, this);
    }
    catch (...)
    {
        std::lock_guard<std::mutex> hold(lock_);
        running_ = false;
        return false;
    }
    threadId_ = thread_.get_id();
    return true;
}

bool ServicesThread::IsRunning() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return running_;
}

bool ServicesThread::IsCurrent() const
{
    return std::this_thread::get_id() == threadId_;
}

bool ServicesThread::Run(int32_t command)
{
    if (IsCurrent())
    {
        handler_(command);
        return true;
    }
    std::lock_guard<std::mutex> one(runLock_);
    std::unique_lock<std::mutex> hold(lock_);
    if (!running_)
    {
        return false;
    }
    pending_ = command;
    replied_ = false;
    commandSignalled_ = true;
#ifdef _WIN32
    SetEvent(commandEvent_);
#endif
    changed_.notify_all();
    // The thread replies, or ends without running it (a quit message): either way this ends.
    changed_.wait(hold, [this] { return replied_ || !running_; });
    const bool ran = replied_;
    pending_ = 0; // not taken when the thread ended first
    return ran;
}

void ServicesThread::Nudge()
{
    if (nudged_.exchange(true))
    {
        return; // the thread has not taken the last one yet
    }
#ifdef _WIN32
    SetEvent(commandEvent_);
#else
    std::lock_guard<std::mutex> hold(lock_);
    commandSignalled_ = true;
    changed_.notify_all();
#endif
}

bool ServicesThread::WaitForCommand()
{
#ifdef _WIN32
    for (;;)
    {
        HANDLE event = commandEvent_;
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_POSTMESSAGE | QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result == WAIT_OBJECT_0)
        {
            return true;
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
                return false;
            }
            continue;
        }
        if (result == WAIT_FAILED || (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + 1))
        {
            return false;
        }
    }
#else
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return commandSignalled_; });
    return true;
#endif
}

void ServicesThread::Main()
{
#ifdef _WIN32
    const bool com = SUCCEEDED(CoInitialize(nullptr));
#endif
    bool ended = false;
    while (!ended && WaitForCommand())
    {
        int32_t command = 0;
        {
            std::lock_guard<std::mutex> hold(lock_);
            // Taken once: a wake-up by a nudge does not run (or answer) it again.
            command = pending_;
            pending_ = 0;
            commandSignalled_ = false;
        }
        if (nudged_.exchange(false))
        {
            handler_(kNudgeCommand);
        }
        if (command == 0)
        {
            continue;
        }
        ended = handler_(command);
        {
            std::lock_guard<std::mutex> hold(lock_);
            replied_ = true;
        }
        changed_.notify_all();
    }
    if (!ended)
    {
        handler_(kQuitCommand);
    }
#ifdef _WIN32
    if (com)
    {
        CoUninitialize();
    }
#endif
    {
        std::lock_guard<std::mutex> hold(lock_);
        running_ = false;
    }
    changed_.notify_all();
}

bool ServicesThread::Join(uint32_t timeoutMs)
{
    if (!thread_.joinable())
    {
        return true;
    }
    std::unique_lock<std::mutex> hold(lock_);
    if (!changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return !running_; }))
    {
        return false;
    }
    hold.unlock();
    thread_.join();
    return true;
}

#include "plugins/quorvel/ServicesThread.h"

#include <chrono>

#ifdef _WIN32
#include <objbase.h>
#include <windows.h>
#endif

ServicesThread::~ServicesThread()
{
    if (m_thread.joinable())
    {
        // The owner gave up waiting: the thread ends on its own and must not outlive its data.
        m_thread.join();
    }
#ifdef _WIN32
    if (m_commandEvent)
    {
        CloseHandle(m_commandEvent);
    }
#endif
}

bool ServicesThread::Start(Handler handler)
{
    m_handler = std::move(handler);
#ifdef _WIN32
    m_commandEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!m_commandEvent)
    {
        return false;
    }
#endif
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_running = true;
    }
    try
    {
        m_thread = std::thread(&ServicesThread::Main, this);
    }
    catch (...)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_running = false;
        return false;
    }
    m_threadId = m_thread.get_id();
    return true;
}

bool ServicesThread::IsRunning() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_running;
}

bool ServicesThread::IsCurrent() const
{
    return std::this_thread::get_id() == m_threadId;
}

bool ServicesThread::Run(int32_t command)
{
    if (IsCurrent())
    {
        m_handler(command);
        return true;
    }
    std::lock_guard<std::mutex> one(m_runLock);
    std::unique_lock<std::mutex> hold(m_lock);
    if (!m_running)
    {
        return false;
    }
    m_pending = command;
    m_replied = false;
    m_commandSignalled = true;
#ifdef _WIN32
    SetEvent(m_commandEvent);
#endif
    m_changed.notify_all();
    // The thread replies, or ends without running it (a quit message): either way this ends.
    m_changed.wait(hold, [this] { return m_replied || !m_running; });
    const bool ran = m_replied;
    m_pending = 0; // not taken when the thread ended first
    return ran;
}

void ServicesThread::Nudge()
{
    if (m_nudged.exchange(true))
    {
        return; // the thread has not taken the last one yet
    }
#ifdef _WIN32
    SetEvent(m_commandEvent);
#else
    std::lock_guard<std::mutex> hold(m_lock);
    m_commandSignalled = true;
    m_changed.notify_all();
#endif
}

bool ServicesThread::WaitForCommand()
{
#ifdef _WIN32
    for (;;)
    {
        HANDLE event = m_commandEvent;
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
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [this] { return m_commandSignalled; });
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
            std::lock_guard<std::mutex> hold(m_lock);
            // Taken once: a wake-up by a nudge does not run (or answer) it again.
            command = m_pending;
            m_pending = 0;
            m_commandSignalled = false;
        }
        if (m_nudged.exchange(false))
        {
            m_handler(kNudgeCommand);
        }
        if (command == 0)
        {
            continue;
        }
        ended = m_handler(command);
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_replied = true;
        }
        m_changed.notify_all();
    }
    if (!ended)
    {
        m_handler(kQuitCommand);
    }
#ifdef _WIN32
    if (com)
    {
        CoUninitialize();
    }
#endif
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_running = false;
    }
    m_changed.notify_all();
}

bool ServicesThread::Join(uint32_t timeoutMs)
{
    if (!m_thread.joinable())
    {
        return true;
    }
    std::unique_lock<std::mutex> hold(m_lock);
    if (!m_changed.wait_for(hold, std::chrono::milliseconds(timeoutMs), [this] { return !m_running; }))
    {
        return false;
    }
    hold.unlock();
    m_thread.join();
    return true;
}

// The control channel's named pipe (Windows): one client at a time, one request message and
// one reply message per connection; every wait also watches the stop event, so destroying the
// channel never waits for a client.
#include <windows.h>

#include <thread>
#include <vector>

#include "standins/engine/EngineControl.h"

namespace
{
class ControlPipe final : public ControlChannel
{
public:
    ControlPipe(HANDLE pipe, std::function<std::string(const std::string&)> handler)
        : pipe_(pipe), handler_(std::move(handler)), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_([this] { Serve(); })
    {
    }

    ~ControlPipe() override
    {
        SetEvent(stop_);
        thread_.join();
        CloseHandle(pipe_);
        CloseHandle(done_);
        CloseHandle(stop_);
    }

private:
    // Waits for an overlapped operation or the stop event: false on stop, else true with its
    // result (succeeded, and GetLastError when it did not).
    bool Wait(OVERLAPPED& overlapped, BOOL started, DWORD& transferred, bool& succeeded)
    {
        transferred = 0;
        succeeded = false;
        if (!started)
        {
            DWORD error = GetLastError();
            if (error == ERROR_PIPE_CONNECTED)
            {
                succeeded = true;
                return true;
            }
            if (error != ERROR_IO_PENDING && error != ERROR_MORE_DATA)
                return true;
        }
        HANDLE events[2] = {stop_, overlapped.hEvent};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
        {
            CancelIo(pipe_);
            GetOverlappedResult(pipe_, &overlapped, &transferred, TRUE);
            return false;
        }
        succeeded = GetOverlappedResult(pipe_, &overlapped, &transferred, FALSE) != FALSE;
        return true;
    }

    // Starts an operation with a fresh OVERLAPPED on done_ and waits for it as above.
    template <class Start>
    bool Run(Start start, DWORD& transferred, bool& succeeded)
    {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = done_;
        ResetEvent(done_);
        return Wait(overlapped, start(&overlapped), transferred, succeeded);
    }

    void Serve()
    {
        for (;;)
        {
            DWORD transferred = 0;
            bool connected = false;
            if (!Run([&](OVERLAPPED* o) { return ConnectNamedPipe(pipe_, o); }, transferred, connected))
                return;
            if (connected && !ServeClient())
                return;
            DisconnectNamedPipe(pipe_);
        }
    }

    // Reads one request, writes its reply and waits until the client has closed its end (a
    // disconnection would throw away a reply not yet read); false on stop.
    bool ServeClient()
    {
        std::string request;
        std::vector<char> buffer(EngineControl::kMaxRequest + 1);
        DWORD transferred = 0;
        bool succeeded = false;
        for (;;)
        {
            auto read = [&](OVERLAPPED* o) {
                return ReadFile(pipe_, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, o);
            };
            if (!Run(read, transferred, succeeded))
                return false;
            // A message longer than the buffer arrives in parts; only its length matters then
            // (it is refused), so the parts beyond the limit are not kept.
            if (request.size() <= EngineControl::kMaxRequest)
                request.append(buffer.data(), transferred);
            if (succeeded)
                break;
            if (GetLastError() != ERROR_MORE_DATA)
                return true; // the client went
        }
        const std::string reply = handler_(request);
        auto write = [&](OVERLAPPED* o) {
            return WriteFile(pipe_, reply.data(), static_cast<DWORD>(reply.size()), nullptr, o);
        };
        if (!Run(write, transferred, succeeded))
            return false;
        char ignored = 0;
        do
        {
            auto closed = [&](OVERLAPPED* o) { return ReadFile(pipe_, &ignored, 1, nullptr, o); };
            if (!Run(closed, transferred, succeeded))
                return false;
        } while (succeeded || GetLastError() == ERROR_MORE_DATA);
        return true;
    }

    HANDLE pipe_;
    std::function<std::string(const std::string&)> handler_;
    HANDLE stop_, done_;
    std::thread thread_;
};
} // namespace

std::unique_ptr<ControlChannel> OpenControlChannel(std::function<std::string(const std::string&)> handler)
{
    const std::string name = ControlChannelName(GetCurrentProcessId());
    HANDLE pipe =
        CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                         PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 1 << 16,
                         1 << 12, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::make_unique<ControlPipe>(pipe, std::move(handler));
}

bool SendControlRequest(unsigned long processId, const std::string& request, std::string& reply,
                        unsigned long timeoutMs)
{
    const std::string name = ControlChannelName(processId);
    std::vector<char> buffer(8 << 20); // the whole call log of a long run
    DWORD read = 0;
    if (!CallNamedPipeA(name.c_str(), const_cast<char*>(request.data()), static_cast<DWORD>(request.size()),
                        buffer.data(), static_cast<DWORD>(buffer.size()), &read, timeoutMs))
        return false;
    reply.assign(buffer.data(), read);
    return true;
}

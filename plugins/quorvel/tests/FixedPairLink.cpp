// Test builds only: a services link that holds the pair named by the environment variable
// KIV_QUORVEL_TEST_PAIR ("send return", pair indices) without the mixer program, so the audio
// path can run on the simulated card before the plug-in connects to the mixer. Its insert chain
// is the last one a chunk restored, kept as that chunk, so the host's chunks go round.
#include "plugins/quorvel/ServicesConnection.h"
#include "plugins/quorvel/StateChunk.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

class FixedPairLink final : public ServicesConnection
{
public:
    // Read at every question, so a test can take the pair away or change it.
    bool GetSendReturnPair(int32_t* sendPair, int32_t* returnPair) override
    {
        char text[64] = {};
#ifdef _WIN32
        if (GetEnvironmentVariableA("KIV_QUORVEL_TEST_PAIR", text, sizeof(text)) == 0)
        {
            return false;
        }
#else
        const char* value = std::getenv("KIV_QUORVEL_TEST_PAIR");
        if (!value)
        {
            return false;
        }
        std::snprintf(text, sizeof(text), "%s", value);
#endif
        int send = -1;
        int ret = -1;
        if (std::sscanf(text, "%d %d", &send, &ret) != 2)
        {
            return false;
        }
        *sendPair = send;
        *returnPair = ret;
        return true;
    }

    // Its chain is the last one restored, kept as its chunk.
    bool CaptureInserts(InsertStateList* states) override
    {
        states->Clear();
        return !chain_ || ParseStateChunk(chain_->Data(), chain_->Size(), nullptr, states);
    }
    bool RestoreInserts(const InsertStateList& states) override
    {
        std::unique_ptr<AlignedBuffer> chain = MakeStateChunk(states);
        chain_ = std::move(chain);
        return chain_ != nullptr;
    }

private:
    std::unique_ptr<AlignedBuffer> chain_;
};

} // namespace

ServicesConnection* CreateServicesLink(ServicesLinkOwner*)
{
    return new (std::nothrow) FixedPairLink;
}

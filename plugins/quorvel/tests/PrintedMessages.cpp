// Test builds of the plug-in file: driver and render messages are printed by the host's
// process instead of waiting for someone to close a box.
#include "plugins/base/asio/AsioSystem.h"

#include <cstdio>

namespace
{

class PrintedMessages final : public AsioSystem
{
public:
    PrintedMessages() { AsioSystem::Use(this); }
    HRESULT CreateObject(const GUID& id, void** object) override { return Default().CreateObject(id, object); }
    std::string LoadText(int id) override { return Default().LoadText(id); }
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        std::printf("plug-in message: %s | %s\n", text.c_str(), caption.c_str());
        std::fflush(stdout);
    }
};

PrintedMessages gPrinted;

} // namespace

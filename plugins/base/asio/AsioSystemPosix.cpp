#include "plugins/base/asio/AsioSystem.h"

namespace
{

// No COM and no string tables here: the native build runs the link on fakes only.
class PosixAsioSystem final : public AsioSystem
{
public:
    HRESULT CreateObject(const GUID&, void** object) override
    {
        *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    std::string LoadText(int) override { return std::string(); }
    void ShowMessage(const std::string&, const std::string&) override {}
};

} // namespace

AsioSystem& AsioSystem::Default()
{
    static PosixAsioSystem system;
    return system;
}

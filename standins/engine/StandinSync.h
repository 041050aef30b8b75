#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "mixer/engine/VarnServices.h"

// The simulated sync card: it keeps the values and texts the program sets and logs every call
// with its arguments. Its status (53) and time code (54) come from the control channel's
// "raise". Called from the program's threads; lock_ guards the values.
class StandinSync final : public IVarnSync
{
public:
    int VARN_CALL StartStriping() override;
    int VARN_CALL StopStriping() override;
    int VARN_CALL TerminationOn() override;
    int VARN_CALL TerminationOff() override;
    int VARN_CALL Attach() override;
    int VARN_CALL Reset(int flags) override;
    int VARN_CALL SetOutputLevel(int level) override;
    int VARN_CALL SetRawParameter(int parameter, int count, const std::uint8_t* bytes, int notify) override;
    int VARN_CALL SetValue(const char* name, int value, int reserved, int notify) override;
    int VARN_CALL GetValue(const char* name, int* value) override;
    int VARN_CALL SetText(const char* name, const char16_t* text, int reserved, int notify) override;
    int VARN_CALL GetText(const char* name, char16_t* buffer, int capacity) override;

    std::function<void(std::string)> log; // set before the object is handed out

    // A raw parameter takes at most this many bytes.
    static constexpr int kMaxRawBytes = 16;

private:
    int Note(const std::string& entry);

    std::mutex lock_;
    std::map<std::string, int> values_;           // lock_
    std::map<std::string, std::u16string> texts_; // lock_
};

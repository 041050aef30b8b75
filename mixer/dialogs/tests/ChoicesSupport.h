#pragma once
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "mixer/names/PortNames.h"
#include "standins/engine/EngineModel.h"

// What the choice tests share: a string table that answers every id (with its id, and "From
// ASIO" for the ASIO label) and a stand-in system of the card some lines describe.
namespace choices
{
class Strings : public StringTable
{
public:
    const String* FindStringById(const char* id) override
    {
        auto found = texts_.find(id);
        if (found == texts_.end())
        {
            auto text = std::make_unique<String>();
            text->AssignAscii(std::string(id) == "IDS_ASIO_FROM" ? "From ASIO" : id);
            found = texts_.emplace(id, std::move(text)).first;
        }
        return found->second.get();
    }

private:
    std::map<std::string, std::unique_ptr<String>> texts_;
};

inline std::string Narrow(const String& text)
{
    std::string out;
    for (const char16_t* unit = text.Text(); *unit; ++unit)
        out += static_cast<char>(*unit);
    return out;
}

// A stand-in system of the card the lines describe, with its calls logged.
struct Card
{
    explicit Card(const std::string& lines)
    {
        profile.present = true;
        std::istringstream in(lines);
        for (std::string line; std::getline(in, line);)
            EXPECT_TRUE(profile.ReadLine(line)) << line;
        mixer = std::make_unique<StandinMixer>(profile, [this](std::string entry) { log.push_back(entry); });
    }
    IVarnHardware* System() { return mixer->GetSystem(0); }
    int Calls(const std::string& prefix)
    {
        int count = 0;
        for (const std::string& entry : log)
            count += entry.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }

    HardwareProfile profile;
    std::unique_ptr<StandinMixer> mixer;
    std::vector<std::string> log;
    Strings strings;
};

} // namespace choices

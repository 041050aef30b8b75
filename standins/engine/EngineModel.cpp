#include "standins/engine/EngineModel.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace
{
std::string Utf8(const std::u16string& text)
{
    return fs::path(text).u8string();
}

std::u16string Utf16(const std::string& utf8)
{
    return fs::u8path(utf8).u16string();
}

std::vector<std::u16string> SubfolderNames(const fs::path& folder)
{
    std::vector<std::u16string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    {
        if (it->is_directory(error))
            names.push_back(it->path().filename().u16string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

HardwareProfile HardwareProfile::Read(const fs::path& file)
{
    HardwareProfile profile;
    std::ifstream in(file);
    if (!in)
        return profile;
    profile.present = true;
    std::string line;
    while (std::getline(in, line))
    {
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string name = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (name == "features")
        {
            std::istringstream list(value);
            std::string item;
            while (std::getline(list, item, ','))
                profile.features.push_back(std::atoi(item.c_str()));
            continue;
        }
        int number = std::atoi(value.c_str());
        if (name == "present")
            profile.present = number != 0;
        else if (name == "model")
            profile.model = number;
        else if (name == "systems")
            profile.systems = std::max(0, number);
        else if (name == "inputs")
            profile.inputs = number;
        else if (name == "outputs")
            profile.outputs = number;
        else if (name == "rate")
            profile.rateCode = number;
    }
    return profile;
}

int VARN_CALL StandinSettings::SetValue(const char* name, int value, int, int)
{
    if (!name)
        return 0;
    values[name] = value;
    return 1;
}

int VARN_CALL StandinSettings::GetValue(const char* name, int* value)
{
    if (!name || !value)
        return 0;
    auto found = values.find(name);
    if (found == values.end())
        return 0;
    *value = found->second;
    return 1;
}

int VARN_CALL StandinHardware::HasFeature(int feature)
{
    return std::find(profile_.features.begin(), profile_.features.end(), feature) !=
                   profile_.features.end()
               ? 1
               : 0;
}

StandinMixer::StandinMixer(const HardwareProfile& profile) : rateCode(profile.rateCode)
{
    for (int i = 0; i < (profile.present ? profile.systems : 0); ++i)
        systems_.push_back(std::make_unique<StandinHardware>(profile));
}

IVarnHardware* VARN_CALL StandinMixer::GetSystem(int index)
{
    if (index < 0 || index >= SystemCount())
        return nullptr;
    return systems_[index].get();
}

bool SessionFile::Save(const fs::path& file, StandinMixer& mixer)
{
    std::ofstream out(file, std::ios::trunc);
    if (!out)
        return false;
    out << "KivCorvanSession " << formatVersion << "\n";
    out << "rate=" << mixer.rateCode << "\n";
    out << "systems=" << mixer.SystemCount() << "\n";
    out << "name=" << Utf8(mixer.sessionName) << "\n";
    for (int i = 0; i < mixer.SystemCount(); ++i)
    {
        auto* system = static_cast<StandinHardware*>(mixer.GetSystem(i));
        for (const auto& setting : system->settings.values)
            out << "setting " << i << " " << setting.first << "=" << setting.second << "\n";
        out << "level " << i << " " << system->level.level << "\n";
    }
    return static_cast<bool>(out.flush());
}

int SessionFile::Load(const fs::path& file, StandinMixer& mixer, int& systemsWanted)
{
    std::ifstream in(file);
    std::string tag;
    int version = 0;
    if (!(in >> tag >> version) || tag != "KivCorvanSession" || version <= 0)
        return 0;
    if (version > formatVersion)
        return version;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line))
    {
        std::istringstream fields(line);
        std::string word;
        fields >> word;
        int system = 0;
        if (word.rfind("rate=", 0) == 0)
            mixer.rateCode = std::atoi(word.c_str() + 5);
        else if (word.rfind("systems=", 0) == 0)
            systemsWanted = std::atoi(word.c_str() + 8);
        else if (line.rfind("name=", 0) == 0)
            mixer.sessionName = Utf16(line.substr(5));
        else if (word == "setting" && fields >> system)
        {
            std::string rest;
            fields >> rest;
            size_t equals = rest.find('=');
            auto* hardware = static_cast<StandinHardware*>(mixer.GetSystem(system));
            if (hardware && equals != std::string::npos)
                hardware->settings.values[rest.substr(0, equals)] = std::atoi(rest.c_str() + equals + 1);
        }
        else if (word == "level" && fields >> system)
        {
            float level = 0;
            auto* hardware = static_cast<StandinHardware*>(mixer.GetSystem(system));
            if (hardware && fields >> level)
                hardware->level.level = level;
        }
    }
    return version;
}

int SessionFile::ReadRate(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    if (line.rfind("KivCorvanSession ", 0) != 0)
        return 6;
    while (std::getline(in, line))
    {
        if (line.rfind("rate=", 0) == 0)
            return std::atoi(line.c_str() + 5);
    }
    return 6;
}

int VARN_CALL StandinFxLibrary::LoadCoreEffects()
{
    coreEffects = SubfolderNames(folder_ / "Core Effects" / "Presets");
    return 1;
}

int VARN_CALL StandinFxLibrary::LoadCategories()
{
    categories = SubfolderNames(folder_ / "Effect Presets");
    return 1;
}

int VARN_CALL StandinFxLibrary::GetCategoryInfo(int index, void* record)
{
    if (!record || index < 0 || index >= GetCategoryCount())
        return 0;
    unsigned char* bytes = static_cast<unsigned char*>(record);
    std::memset(bytes, 0, 264);
    const std::u16string& name = categories[index];
    std::memcpy(bytes, name.data(), std::min<size_t>(name.size(), 127) * sizeof(char16_t));
    return 1;
}

int VARN_CALL StandinFxLibrary::ImportLibrary(const char16_t* corePresetsFolder,
                                              const char16_t* effectPresetsFolder)
{
    if (!corePresetsFolder || !effectPresetsFolder)
        return 0;
    std::error_code error;
    const auto options = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
    fs::create_directories(folder_ / "Core Effects" / "Presets", error);
    fs::copy(fs::path(corePresetsFolder), folder_ / "Core Effects" / "Presets", options, error);
    if (error)
        return 0;
    fs::create_directories(folder_ / "Effect Presets", error);
    fs::copy(fs::path(effectPresetsFolder), folder_ / "Effect Presets", options, error);
    return error ? 0 : 1;
}

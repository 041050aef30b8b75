#pragma once
#include "framework/skin/Skin.h"
#include "mixer/names/PortNames.h"

// The mixer skin's strings as the name builders read them.
class SkinStringTable final : public StringTable
{
public:
    explicit SkinStringTable(Skin& skin) : skin_(skin) {}
    const String* FindStringById(const char* id) override { return skin_.FindStringById(id); }

private:
    Skin& skin_;
};

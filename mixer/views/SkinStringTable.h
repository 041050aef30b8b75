#pragma once
#include "framework/skin/Skin.h"
#include "mixer/names/PortNames.h"

// The port names' texts from the mixer skin's string table.
class SkinStringTable : public StringTable
{
public:
    explicit SkinStringTable(Skin& skin) : skin_(skin) {}
    const String* FindStringById(const char* id) override { return skin_.FindStringById(id); }

private:
    Skin& skin_;
};

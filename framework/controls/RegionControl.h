#pragma once

#include "framework/controls/Control.h"

// A named, invisible hit area with an id: never drawn, never pressed; the panel finds it by
// name or id.
class RegionControl : public Control
{
public:
    RegionControl() : Control(TypeRegion) {}

    int Setup(const String& name, int x, int y, int width, int height, int id);
    int GetId() const { return id_; }
    void Draw() override {}

private:
    int id_ = 0;
};

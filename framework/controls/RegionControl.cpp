#include "framework/controls/RegionControl.h"

int RegionControl::Setup(const String& name, int x, int y, int width, int height, int id)
{
    SetPosition(x, y);
    SetSize(width, height);
    id_ = id;
    return SetName(name);
}

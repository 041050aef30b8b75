#pragma once
#include "framework/base/Object.h"
#include "mixer/engine/VarnServices.h"

// What the application hands the engine as its view interface: the program shows nothing of
// the engine's through it, so it keeps the interface's operations, which do nothing. The
// application holds one.
class StubHandler : public Object, public IVarnView
{
public:
    int Init() { return 1; }
    IVarnView* GetViewInterface() { return this; }
};

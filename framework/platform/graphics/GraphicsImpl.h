#pragma once

#include "framework/base/Object.h"

#include "framework/platform/Win32Api.h"

// The GDI side of Graphics: the device context and whether it must be released.
class GraphicsImpl : public Object
{
public:
    GraphicsImpl() = default;
    ~GraphicsImpl() override;
    GraphicsImpl(const GraphicsImpl&) = delete;
    GraphicsImpl& operator=(const GraphicsImpl&) = delete;

    void AttachDC(HDC dc);
    int AttachWindow(HWND window);
    HDC DC() const { return dc_; }

private:
    void Detach();

    HDC dc_ = nullptr;
    HWND window_ = nullptr; // the window dc_ was obtained for; released against it
    bool owned_ = false;    // dc_ came from GetDC and is released here
};

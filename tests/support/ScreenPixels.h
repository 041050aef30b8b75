// What the screen shows, for Windows tests that watch another program's windows: the pixels of
// a rectangle, and a picture of the whole screen kept as a PNG file among the test run's
// screenshots.
#pragma once

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <string>
#include <vector>

// The pixels of a rectangle in screen coordinates, row by row from the top (0x00RRGGBB); empty
// when the screen cannot be read.
inline std::vector<DWORD> ScreenPixels(const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::vector<DWORD> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap)
    {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + width * height);
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Saves what the whole screen shows as a PNG file (the system's image codecs write it); false
// when it cannot. The calling thread has set up COM.
inline bool SaveScreenPicture(const std::wstring& path)
{
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::vector<DWORD> pixels = ScreenPixels(screen);
    if (pixels.empty())
        return false;
    const UINT width = static_cast<UINT>(screen.right);
    const UINT height = static_cast<UINT>(screen.bottom);
    IWICImagingFactory* factory = nullptr;
    IWICBitmap* picture = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    bool saved = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
                 SUCCEEDED(factory->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppBGR, width * 4,
                                                           width * height * 4, reinterpret_cast<BYTE*>(pixels.data()),
                                                           &picture)) &&
                 SUCCEEDED(factory->CreateStream(&stream)) &&
                 SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
                 SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
                 SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
                 SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
                 SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->WriteSource(picture, nullptr)) &&
                 SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    for (IUnknown* object : std::vector<IUnknown*>{options, frame, encoder, stream, picture, factory})
        if (object)
            object->Release();
    return saved;
}

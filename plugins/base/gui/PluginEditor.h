#pragma once
// The editor of a toolkit plug-in: a fixed rectangle and the frame that holds its views.

#include "plugins/base/vst/EditorBase.h"

#include <cstdint>

class Frame;

class PluginEditor : public EditorBase
{
public:
    // Attaches itself to the effect as its editor (the effect owns it from now on).
    explicit PluginEditor(VstEffect* effect);
    ~PluginEditor() override;

    bool GetRect(VstRect** rect) override;
    VstValue Open(void* parentWindow) override;
    void Close() override;
    void Idle() override;
    virtual void SetParameter(int32_t index, float value);
    // Draws the whole frame now.
    virtual void Redraw();

    // Controls call this while they track the mouse: at most one idle pass every 50 ms, and
    // the host is asked for its own.
    void DoIdle();

    Frame* GetFrame() const { return frame_; }

    static constexpr uint32_t kIdleInterval = 50; // ms

protected:
    void SetRect(int32_t width, int32_t height);

    VstRect rect_{};
    Frame* frame_ = nullptr; // owned
    uint32_t lastIdle_;      // GUI thread: tick count of the last throttled idle
};

#pragma once
// The editor interface that the effect base calls for the host's editor opcodes. The effect
// owns its editor and deletes it with itself.

#include "plugins/base/vst/VstRecord.h"

#include <atomic>

class VstEffect;

class EditorBase
{
public:
    explicit EditorBase(VstEffect* effect);
    virtual ~EditorBase();
    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    // The editor's rectangle for the host; the base has none.
    virtual bool GetRect(VstRect** rect);
    // Keeps the host's parent window; 0 is the answer to the host.
    virtual VstValue Open(void* parentWindow);
    virtual void Close();
    // Runs a requested update on the GUI thread.
    virtual void Idle();
    virtual void Update();
    // Any thread may ask for an update; the next Idle runs it.
    void PostUpdate();
    // Keys, knob mode and wheel of the later hosts; the base takes none of them (answer 0).
    virtual VstValue OnKeyDown(const VstKeyCode& key);
    virtual VstValue OnKeyUp(const VstKeyCode& key);
    virtual VstValue SetKnobMode(int32_t mode);
    virtual bool OnWheel(float distance);

    VstEffect* GetEffect() const { return effect_; }
    void* GetSystemWindow() const { return systemWindow_; }

private:
    VstEffect* effect_;                        // borrowed: the effect owns this editor
    void* systemWindow_ = nullptr;             // GUI thread
    std::atomic<bool> updateRequested_{false}; // set by any thread, cleared by Idle
};

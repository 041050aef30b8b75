#pragma once
// A view that holds a value, draws it and reports each change to its listener.

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/View.h"

#include <atomic>
#include <cstdint>

class PluginControl;

class ControlListener
{
public:
    virtual void OnValueChanged(DrawContext* context, PluginControl* control) = 0;

protected:
    ~ControlListener() = default;
};

class PluginControl : public View
{
public:
    PluginControl(const Rect& size, ControlListener* listener, int32_t tag);
    ~PluginControl() override;

    void Draw(DrawContext* context) override = 0;
    // Draws when the value differs from the one drawn last.
    void Update(DrawContext* context) override;
    // The editor's throttled idle, for tracking loops.
    virtual void DoIdle();

    // The setters store only; the next frame idle draws what changed. Any thread may set the
    // value (a plain store).
    virtual void SetValue(float value) { value_.store(value, std::memory_order_relaxed); }
    virtual float GetValue() const { return value_.load(std::memory_order_relaxed); }
    virtual void SetMin(float value) { min_ = value; }
    virtual float GetMin() const { return min_; }
    virtual void SetMax(float value) { max_ = value; }
    virtual float GetMax() const { return max_; }
    virtual void SetOldValue(float value) { oldValue_ = value; }
    virtual float GetOldValue() const { return oldValue_; }
    virtual void SetDefaultValue(float value) { default_ = value; }
    virtual float GetDefaultValue() const { return default_; }
    virtual void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
    virtual bool GetMouseEnabled() const { return mouseEnabled_; }

    int32_t GetTag() const { return tag_; }
    ControlListener* GetListener() const { return listener_; }

protected:
    void Notify(DrawContext* context);
    // Left button with alt (exactly): the default value, drawn and notified when it differs
    // from the value drawn last. True when it was such a click.
    bool TakeDefaultOnAltClick(DrawContext* context);
    // Hands the press and then every mouse position to step until no button is down; each
    // change is drawn and notified, and the editor idles between steps.
    template <typename Step>
    void Track(DrawContext* context, const Point& press, Step step)
    {
        Point where = press;
        int32_t buttons = MouseButtons();
        for (;;)
        {
            step(where, buttons);
            DrawIfChanged(context);
            buttons = MouseButtons();
            if ((buttons & kMouseAnyButton) == 0 || !frame_)
            {
                return;
            }
            DoIdle();
            where = frame_->GetMousePosition();
        }
    }
    void DrawIfChanged(DrawContext* context);
    // The frame's mouse state; the system's for a control not in a frame.
    int32_t MouseButtons() const;

    ControlListener* listener_; // borrowed, may be null
    int32_t tag_;
    bool mouseEnabled_ = true;
    float oldValue_ = -1.0f; // so that the first Update draws
    float default_ = 0.5f;
    // Written by the GUI thread and, for signal lights, by one other thread; the next idle
    // reads it.
    std::atomic<float> value_{0.0f};
    float min_ = 0.0f;
    float max_ = 1.0f;
};

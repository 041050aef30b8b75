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
    virtual void SetValue(float value) { m_value.store(value, std::memory_order_relaxed); }
    virtual float GetValue() const { return m_value.load(std::memory_order_relaxed); }
    virtual void SetMin(float value) { m_min = value; }
    virtual float GetMin() const { return m_min; }
    virtual void SetMax(float value) { m_max = value; }
    virtual float GetMax() const { return m_max; }
    virtual void SetOldValue(float value) { m_oldValue = value; }
    virtual float GetOldValue() const { return m_oldValue; }
    virtual void SetDefaultValue(float value) { m_default = value; }
    virtual float GetDefaultValue() const { return m_default; }
    virtual void SetMouseEnabled(bool enabled) { m_mouseEnabled = enabled; }
    virtual bool GetMouseEnabled() const { return m_mouseEnabled; }

    int32_t GetTag() const { return m_tag; }
    ControlListener* GetListener() const { return m_listener; }

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
            if ((buttons & kMouseAnyButton) == 0 || !m_frame)
            {
                return;
            }
            DoIdle();
            where = m_frame->GetMousePosition();
        }
    }
    void DrawIfChanged(DrawContext* context);
    // The frame's mouse state; the system's for a control not in a frame.
    int32_t MouseButtons() const;

    ControlListener* m_listener; // borrowed, may be null
    int32_t m_tag;
    bool m_mouseEnabled = true;
    float m_oldValue = -1.0f; // so that the first Update draws
    float m_default = 0.5f;
    // Written by the GUI thread and, for signal lights, by one other thread; the next idle
    // reads it.
    std::atomic<float> m_value{0.0f};
    float m_min = 0.0f;
    float m_max = 1.0f;
};

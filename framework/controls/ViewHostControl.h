#pragma once

#include "framework/controls/Control.h"

#include <memory>

class Panel;
class Window;

// Places a view window (a tree or icon view) in a panel. The panel creates the view's
// window when its own is created; the view paints itself, so the control draws nothing.
class ViewHostControl : public Control
{
public:
    ViewHostControl() : Control(TypeViewHost) {}
    // Deletes the view.
    ~ViewHostControl() override;

    // Takes the view.
    int Setup(const String& name, int x, int y, int width, int height, Window* view, int border);
    Window* GetView() const { return view_.get(); }
    int HasBorder() const { return border_; }
    // Creates the view's window as a child of the panel at the control's rectangle.
    int CreateView(Panel& panel, int childId);

    void SetInvisible(int flag) override;
    void Draw() override {}
    void OnDataItemChanged() override;

private:
    std::unique_ptr<Window> view_;
    int border_ = 0;
};

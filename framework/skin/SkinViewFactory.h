#pragma once

class String;
class Window;

// Lets the owner of a skin supply its own tree and icon views for the skin's view elements.
class SkinViewFactory
{
public:
    enum Kind
    {
        KindTreeView = 12,
        KindIconView = 14
    };

    // A new view for the element's name and kind, or null for the standard one.
    virtual Window* CreateView(const String& name, int kind) = 0;
    // Every view that was created and set up, whether it came from the factory or not.
    virtual void ViewCreated(Window* view) = 0;

protected:
    ~SkinViewFactory() = default;
};

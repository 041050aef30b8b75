#pragma once
#include <memory>
#include <vector>

#include "framework/windows/Window.h"
#include "mixer/engine/VarnServices.h"

class MainWindowLink;
class StripSection;
class StripView;

// The strip views of one engine system, side by side in the engine's order, as a child of
// the strip section. It adds, removes and moves views when the engine reports it, keeps the
// index labels and runs the new-strip command. User-interface thread only.
class StripGroup : public Window
{
public:
    StripGroup();
    ~StripGroup() override;

    // A visible child of the section at (0, 0), 20 x 20, with the index as its id; builds a
    // view for each strip of the system's list.
    int Create(StripSection* section, MainWindowLink& link, int index, IVarnHardware* engineGroup);

    // A view at the next position, appended; 0 (nothing added) when it cannot be built.
    int AddStripView(IVarnStrip* strip);
    // The engine added the strip: a view (none when one shows it already) and the group grows
    // by its width; the width added.
    int AddNewStripView(IVarnStrip* strip);
    void RemoveStripView(StripView* view);
    void MoveStripView(StripView* view);
    StripView* FindStripViewById(int id) const;
    StripView* FindFocusedStripView() const;
    int GetWidth() const;
    int GetHeight() const;
    int IndexInSection() const;
    int Count() const { return static_cast<int>(strips_.size()); }
    StripView* ViewAt(int index) const;
    int PositionOf(const StripView* view) const;
    IVarnHardware* GetEngineGroup() const { return engineGroup_; }
    StripSection* GetSection() const { return section_; }
    // The new-strip command: "newstrip", then the engine; true when a strip was made.
    bool NewStrip();

    // A view for each strip of the system's list.
    void BuildViews();
    int OnSize(WPARAM type, int width, int height) override;
    int OnEraseBackground(Graphics& graphics) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;

private:
    void Layout();
    void SetModified();
    // The group's x in the section, a view's x in the group.
    int StripX0() const;
    int StripXInGroup(StripView* view) const;

    StripSection* section_ = nullptr; // borrowed: the parent
    MainWindowLink* link_ = nullptr;  // borrowed
    int index_ = -1;
    std::vector<std::unique_ptr<StripView>> strips_;
    IVarnHardware* engineGroup_ = nullptr; // the engine's
};

class Skin;
// The strip area's background: the skin's "mixerGroupBackgroundCol" over the window.
int PaintGroupBackground(Window& window, Skin& skin, Graphics& graphics);

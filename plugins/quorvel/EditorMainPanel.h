#pragma once
// The editor's one panel, "vstPluginPanel": the FX palette with the preset inspector, the
// send/return lamps and the tool buttons. It is also where the link's messages to the editor
// arrive (GUI thread): views register for a group of ids and each message goes to them in
// registration order, its payload freed afterwards.

#include "framework/base/String.h"
#include "framework/controls/Panel.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class EditorInsertSlot;
class EditorPresetInspector;
class EffectView;
class FlagItem;
class FxPalette;
class KivQuorvelEditor;
class ServicesConnection;
class Skin;
class TreeItem;

// A view that takes the editor's messages of some groups.
class EditorMessageListener
{
public:
    virtual void OnEditorMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam, intptr_t cookie) = 0;

protected:
    ~EditorMessageListener() = default;
};

// Written by the meter thread, read by the panel on its messages (lock-free: a lamp read a
// pass late is harmless). A message is queued only when the last one was handled.
struct EditorMeters
{
    static constexpr int32_t kLamps = 4; // send left, send right, return left, return right
    std::atomic<bool> lit[kLamps] = {};
    std::atomic<bool> tickQueued{false};
    std::atomic<bool> lampsQueued{false};

    void Reset()
    {
        for (std::atomic<bool>& lamp : lit)
            lamp.store(false);
        tickQueued.store(false);
        lampsQueued.store(false);
    }
};

class EditorMainPanel final : public Panel
{
public:
    enum Group : uint32_t
    {
        kGroupLibrary = 1, // 0x1100
        kGroupChain = 2,   // 0x1200
        kGroupInsert = 4,  // 0x1300
        kGroupLink = 8,    // 0x1400
    };

    // services: the instance's link (borrowed, may be null); help: the help file's path.
    EditorMainPanel(KivQuorvelEditor& editor, ServicesConnection* services, const String& help);
    ~EditorMainPanel() override;

    // Builds "vstPluginPanel" and creates the window in parent at (x, y); false when the
    // skin lacks the panel or the window cannot be made.
    bool Create(Skin& skin, Window* parent, int x, int y);

    bool RegisterListener(EditorMessageListener* listener, uint32_t groups, intptr_t cookie);
    bool UnregisterListener(EditorMessageListener* listener);

    // The link is going: the views forget it (messages may still be dispatched by a modal
    // loop that runs).
    void Disconnect();
    // Ends this editor's modal dialogs and closes its menus (the editor is closing).
    void EndModalRuns();

    EditorMeters& Meters() { return meters_; }
    KivQuorvelEditor& Editor() { return editor_; }
    ServicesConnection* Services() const { return services_; }
    const String& HelpPath() const { return help_; }
    FxPalette* Palette() const { return palette_; }
    EditorPresetInspector* Inspector() const { return inspector_.get(); }
    EffectView* GetEffectView() const { return effectView_.get(); }
    // Null when the skin has no "insertsScrollbar".
    EditorInsertSlot* Slots() const { return slots_.get(); }
    // A library name's rule (as the mixer's palette keeps it): false after its message.
    bool CheckName(const String& name);
    // The effect view shows the insert of that identity (0: none); force rebuilds its rows.
    void ShowInsert(uint32_t identity, bool force);

    // The palette's selection, shown in the inspector; an item that goes is cleared from it.
    void ShowItem(TreeItem* item);
    void ClearItem(TreeItem* item);

    void OnCreate() override;
    void OnDestroy() override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    void OnMouseMove(WPARAM flags, int x, int y) override;
    void OnRightButtonUp(WPARAM flags, int x, int y) override;
    void OnMouseWheel(WPARAM flags, int x, int y) override;
    int OnDragOver(int x, int y, intptr_t value1, intptr_t value2) override;
    int OnDrop(int x, int y, intptr_t value1, intptr_t value2) override;

    // The drag of an insert from its slot (value: its chain row); cursor kinds of a drag.
    static constexpr intptr_t kDragInsert = 1;
    static constexpr int kCursorDrop = 103;
    static constexpr int kCursorScrollDrop = 105;
    static constexpr int kCursorNoDrop = 3;

private:
    void Dispatch(uint32_t group, uint32_t id, uintptr_t wParam, uintptr_t lParam);
    void ShowLamps();
    // 5633-5636: the insert of the notify id lParam re-reads parameter wParam, then the
    // effect view follows.
    void OnParamModelMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam);
    void RunPreferences();
    // The visible slot (0-13) under a point, -1 for none.
    int SlotAt(int x, int y) const;
    // Above (-1) or below (1) the insert area, 0 within or beside it.
    int OutsideInserts(int y) const;
    // The first of the fourteen rows whose bottom lies below y, -1 for none.
    int RowBelow(int y) const;

    struct Registration
    {
        EditorMessageListener* listener; // borrowed
        intptr_t cookie;
    };

    KivQuorvelEditor& editor_;
    ServicesConnection* services_; // borrowed; null once disconnected
    String help_;
    std::vector<Registration> listeners_[4];     // by group: 0x1100, 0x1200, 0x1300, 0x1400
    FlagItem* lamps_[EditorMeters::kLamps] = {}; // owned by the panel's items
    FxPalette* palette_ = nullptr;               // borrowed: the "presets" control owns it
    std::unique_ptr<EditorPresetInspector> inspector_;
    std::unique_ptr<EffectView> effectView_;  // null when the skin lacks its panel
    std::unique_ptr<EditorInsertSlot> slots_; // null without "insertsScrollbar"
    EditorMeters meters_;
};

#pragma once
// The effects plug-in's editor: the skin's panel "vstPluginPanel" inside the host's window,
// and the meter thread that drives its lamps, meters and timers.
//
// Threads: the host's GUI thread opens, closes, idles and runs the panel; the meter thread
// only reads the stream's levels and the process mode and posts to the panel's window; the
// services thread posts through PostToPanel. The window handle they post to is published
// atomically and cleared before the window goes, and the messages still queued for it are
// freed then, so a payload is never lost nor read from a panel being destroyed.
//
// One skin and one application object serve every editor of the plug-in file (use-counted,
// GUI thread). Dialogs the editor runs count on the editor: a close while one runs ends this
// editor's dialogs and tears the panel down only once the outermost modal loop has returned;
// an effect deleted meanwhile leaves its editor to be deleted then.

#include "framework/base/String.h"
#include "plugins/base/vst/EditorBase.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

class Dialog;
class EditorMainPanel;
class KivQuorvelEffect;
class Window;

class KivQuorvelEditor final : public EditorBase
{
public:
    static constexpr int32_t kWidth = 600;
    static constexpr int32_t kHeight = 418;
    static constexpr uint32_t kMeterPeriodMs = 20;
    static constexpr int32_t kLampPasses = 5; // lamps every fifth meter pass

    explicit KivQuorvelEditor(KivQuorvelEffect* effect);
    ~KivQuorvelEditor() override;

    bool GetRect(VstRect** rect) override;
    VstValue Open(void* parentWindow) override;
    void Close() override;
    // Delete (VST key 22) goes to the panel as VK_DELETE and is used (1); the editor uses
    // no other key (0), so the host's own shortcuts keep working.
    VstValue OnKeyDown(const VstKeyCode& key) override;
    VstValue OnKeyUp(const VstKeyCode& key) override;

    // Any thread: posts to the panel's window; false when it was not posted (no panel, no
    // window, or the window went), and then the caller frees the payload.
    bool PostToPanel(uint32_t id, uintptr_t wParam, uintptr_t lParam);

    // The effect is going (its destructor, GUI thread): the editor closes; when a modal
    // loop of this editor still runs, it answers false and deletes itself once that loop
    // has returned (the effect must not delete it then).
    bool ReleaseFromEffect();

    // Runs a dialog of this editor modally over the panel. Answers 0 when the editor was
    // closed meanwhile (the caller then touches nothing of the panel).
    int RunModal(Dialog& dialog, const char* skinDialog);
    // A skin message box of this editor; 0 when it was closed meanwhile.
    int ShowMessage(const char* box);
    bool IsOpen() const { return panel_ != nullptr && !closing_; }
    EditorMainPanel* GetPanel() const { return panel_.get(); }
    // The index in the framework's modal list of this editor's outermost dialog, -1 while
    // none runs.
    int ModalBase() const { return modalDepth_ > 0 ? modalBase_ : -1; }

    static bool ReadInstallPath(String& out);
    static bool ReadHelpFileName(String& out);
    bool GetHelpPath(String& out);
    // The skin's custom element "presets" (a tree view) is the FX palette.
    static bool AcquireSkin();
    static void ReleaseSkin();
    // Editors of this plug-in file holding the skin (tests).
    static int SkinUseCount();

private:
    void StartMeterThread();
    void StopMeterThread();
    void MeterLoop();
    void TearDown();
    // After a modal loop of a closed editor has returned: the tear-down (and, for an editor
    // its effect left, the deletion) runs from the message loop once the handlers that ran
    // the dialog have returned too.
    void ScheduleTearDown();
    static void CALLBACK RunScheduledTearDowns(HWND, UINT, UINT_PTR, DWORD);
    void FinishClose();
    template <typename Run>
    int RunModalLoop(Run run);
    // Frees the payloads of the messages still queued for the window.
    static void DropQueuedMessages(HWND window);

    KivQuorvelEffect* effect_; // borrowed: the effect owns this editor (until released)
    VstRect rect_{0, 0, kHeight, kWidth};
    std::unique_ptr<Window> hostWindow_;
    std::unique_ptr<EditorMainPanel> panel_;
    std::atomic<HWND> panelWindow_{nullptr}; // what other threads post to
    HANDLE stopEvent_ = nullptr;
    std::thread meterThread_;
    int modalDepth_ = 0;    // GUI thread: modal loops of this editor that run
    int modalBase_ = 0;     // GUI thread: the modal count before the outermost one
    bool closing_ = false;  // GUI thread: closed while a modal loop ran
    bool released_ = false; // GUI thread: the effect went while a modal loop ran
};

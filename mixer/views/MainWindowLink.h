#pragma once
#include "framework/base/String.h"
#include "mixer/engine/VarnServices.h"

class RegistryKey;
class Skin;

// What the main frame, its toolbars and the views ask of the main window that owns them.
// The main window (mixer/app) implements it; the views never include the application, and
// their tests hand them a recorder instead.
class MainWindowLink
{
public:
    // The mixer skin, which is also the process-wide skin: every element, popup menu, message
    // box and dialog of the views comes from it.
    virtual Skin& GetSkin() = 0;
    // HKEY_CURRENT_USER "Software\Halvorn Professional\KivCorvanDSP\CorvanView".
    virtual RegistryKey& GetSettings() = 0;
    // The engine, or null without one.
    virtual IVarnServices* GetServices() = 0;
    // The engine-event dispatcher: the frame's message 2023 and the main section's event 78.
    virtual void RebuildView(int id, VarnEventArg argument) = 0;
    // The system of the frame's current strip group, else system 0 of the mixer model, else
    // null.
    virtual IVarnHardware* GetCurrentSystem() = 0;
    // The mixer model's session name; false when there is no engine or the model gives no
    // name at all (the frame then shows the stored name).
    virtual bool GetSessionName(String& name) = 0;

    // Session commands of the main toolbar and the frame; their results are not used.
    virtual void NewSession() = 0;
    virtual void OpenSession() = 0;
    virtual void EditSessionSettings() = 0;
    virtual void SaveSession() = 0;
    virtual void SaveSessionAs() = 0;
    virtual void EditGlobalPreferences() = 0;
    // The skin popup "SaveSessionMenu" at a screen point; its commands 24 and 25 reach the
    // frame's popup-menu listener.
    virtual void ShowSaveMenu(int screenX, int screenY) = 0;
    // The frame's caption close button.
    virtual void Close() = 0;

protected:
    ~MainWindowLink() = default;
};

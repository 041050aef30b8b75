#pragma once
#include "framework/dialogs/Dialog.h"
#include "mixer/engine/VarnServices.h"

// The base of the mixer dialogs that follow the engine while they are open: it listens to
// the engine for its lifetime and turns each event into message 1124 to its own window, so
// that every reaction runs on the user-interface thread inside the modal loop.
class AppDialog : public Dialog, public IVarnListener
{
public:
    // Listens when the application gives an engine.
    AppDialog();
    ~AppDialog() override;

    // Engine threads: only posts.
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Event 55: the session's settings changed.
    virtual void OnSettingsChanged() {}

private:
    IVarnServices* services_ = nullptr; // borrowed from the application while listening
};

#pragma once
#include <memory>

#include "framework/dialogs/Dialog.h"
#include "mixer/engine/VarnServices.h"

class Skin;
class SystemInfo;
class Window;

// The about box ("aboutinfo"): the program's name, version, build date and file version, the
// driver's version and the firmware of the card's parts, labelled by the hardware model.
// hardware is the mixer model's hardware description (its settings give the firmware texts),
// system the current engine system (whose features say which parts there are); either may be
// null.
class AboutDialog : public Dialog
{
public:
    AboutDialog(IVarnHardware* hardware, IVarnHardware* system);
    ~AboutDialog() override;

    int Init();
    int Run(Skin& skin, Window* parent);
    int OnInitDialog() override;

    // Constructs, initialises and runs the box over parent.
    static void Show(Skin& skin, IVarnHardware* hardware, IVarnHardware* system, Window* parent);

private:
    void SetText(const char* name, const String& text);
    void SetTextFromSkin(const char* name, const char* stringId);
    void ShowFirmware(const char* control, const char* setting);
    void Hide(const char* name);

    IVarnHardware* hardware_; // borrowed from the engine
    IVarnHardware* system_;   // borrowed from the engine
    std::unique_ptr<SystemInfo> version_;
    Skin* skin_ = nullptr; // borrowed while it runs: the labels' texts
};

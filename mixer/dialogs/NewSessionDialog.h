#pragma once
#include <memory>
#include <vector>

#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/ListModel.h"
#include "framework/platform/RegistryKey.h"
#include "mixer/engine/VarnServices.h"

class FlagItem;
class ListBox;
class Skin;
class TextItem;
class Window;

// One entry of the new session dialog: the engine's template record, handed back unchanged.
class SessionTemplateItem : public Object
{
public:
    VarnTemplateRecord record = {};
};

// The new session dialog ("newsession"): the engine's templates for the installed hardware,
// one list per rate page, the new session's name, a comment and whether to open the session
// settings afterwards ("launchsyncdlg", kept as "LaunchSyncDlg").
class NewSessionDialog : public Dialog, public ListBoxComparer, public ListBoxListener
{
public:
    static constexpr int kPages = 6;

    explicit NewSessionDialog(IVarnServices* services);
    ~NewSessionDialog() override;

    // restrict keeps the user on the initial rate's page (a rate change asks for one of the
    // card's rate).
    int Init(int initialRate, int restrict);
    int Run(Skin& skin, Window* parent);
    // The chosen template, or null (no name, no page, no selection); valid while the dialog
    // lives.
    const VarnTemplateRecord* GetResult(int& rateCode, String& name, String& path, String& comment,
                                        int& launchSettings);

    int OnInitDialog() override;
    int OnCommand(Panel* sender, Control* control, int argument) override;
    void OnTabPageChanged(const String& tabName, int page) override;
    int GoesBefore(ListBoxItem* added, ListBoxItem* existing) override;
    void OnSelectionChanged(ListBox* list, ListBoxItem* item) override;
    void OnItemDoubleClick(ListBox* list, int x, int y, ListBoxItem* item, uint32_t keys) override;

    // The program-wide old-driver mark: set once a driver is read as old, never cleared.
    static bool OldDriverSeen();

private:
    ListBox* PageList(int page) const;
    int VisiblePage() const;
    void SelectFirst(int page);
    void Fill();
    void Finish();

    IVarnServices* services_; // borrowed from the engine
    RegistryKey view_;
    String name_, folder_;
    TextItem* comment_ = nullptr;    // owned by the panel
    FlagItem* launchSync_ = nullptr; // owned by the panel
    ListBox* lists_[kPages] = {};    // owned by the panel's view hosts
    Control* summary_ = nullptr;     // owned by the panel
    std::vector<std::unique_ptr<SessionTemplateItem>> items_;
    int initialRate_ = 0;
    int restrict_ = 0;
};

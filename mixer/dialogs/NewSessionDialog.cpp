#include "mixer/dialogs/NewSessionDialog.h"

#include <cstdint>

#include "framework/controls/Control.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/PageTab.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/dialogs/ListBox.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/system/SystemInfo.h"
#include "framework/skin/Skin.h"
#include "mixer/dialogs/OldDriverRule.h"
#include "mixer/dialogs/SessionRules.h"
#include "mixer/dialogs/TemplateRules.h"
#include "mixer/names/ViewSettings.h"

namespace
{
bool gOldDriver = false;

const char* const kListNames[NewSessionDialog::kPages] = {"44k_items", "48k_items",  "88k_items",
                                                          "96k_items", "176k_items", "192k_items"};

String Ascii(const char* text)
{
    String result;
    result.AppendAscii(text);
    return result;
}

std::u16string ToText(const String& text)
{
    return std::u16string(text.Text() ? text.Text() : u"", static_cast<size_t>(text.Length()));
}

String FromText(const std::u16string& text)
{
    String result;
    result.AppendWide(text.c_str());
    return result;
}
} // namespace

bool NewSessionDialog::OldDriverSeen()
{
    return gOldDriver;
}

NewSessionDialog::NewSessionDialog(IVarnServices* services) : services_(services)
{
    view_.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1);
}

NewSessionDialog::~NewSessionDialog()
{
    // The lists go with the panel; they must not call back into a dialog half gone.
    for (ListBox* list : lists_)
        if (list)
        {
            list->SetSelectionListener(nullptr);
            list->SetComparer(nullptr);
        }
}

int NewSessionDialog::Init(int initialRate, int restrict)
{
    initialRate_ = initialRate;
    restrict_ = restrict;
    if (services_)
        services_->PrepareTemplates();
    name_ = Ascii("Untitled");
    folder_ = Ascii("c:\\My Documents\\My Sessions\\");
    comment_ = AddTextItem("comment", Ascii("Summarize session purpose here."), 0, 0);
    launchSync_ = AddFlagItem("launchsyncdlg", view_.ReadBool(ViewSettings::kLaunchSyncDlg, 1), 0, 0);
    char16_t path[400] = {};
    if (services_ && services_->GetSessionPath(path, 399, 0))
    {
        const std::u16string folder = SessionRules::FolderOf(path);
        if (!folder.empty())
            folder_ = FromText(folder);
    }
    return 1;
}

int NewSessionDialog::Run(Skin& skin, Window* parent)
{
    return SkinDialogs(skin).ShowDialogPanel("newsession", this, parent);
}

ListBox* NewSessionDialog::PageList(int page) const
{
    const int rate = TemplateRules::RateOfPage(page);
    return rate < 0 ? nullptr : lists_[TemplateRules::PageOfRate(rate)];
}

int NewSessionDialog::VisiblePage() const
{
    const int page = GetTabPage(Ascii("sessioncategories"));
    return page < 0 ? 0 : page;
}

void NewSessionDialog::SelectFirst(int page)
{
    ListBox* list = page >= 0 && page < kPages ? lists_[page] : nullptr;
    if (list && list->Count())
        list->SelectIndex(0, true, true, true);
}

int NewSessionDialog::OnInitDialog()
{
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    uint32_t a = 0, b = 0, c = 0, d = 0;
    if (IsOldDriver(SystemInfo::GetDriverVersion(a, b, c, d), a, b, c, d))
        gOldDriver = true;
    const String tab = Ascii("sessioncategories");
    for (int page = 0; page < kPages; ++page)
    {
        auto* host = dynamic_cast<ViewHostControl*>(FindControl(Ascii(kListNames[page])));
        lists_[page] = host ? dynamic_cast<ListBox*>(host->GetView()) : nullptr;
        if (lists_[page])
            lists_[page]->SetComparer(this);
    }
    summary_ = FindControl(Ascii("summary"));
    Fill();
    // Without the 192 and 176.4 kHz pages the lists on them are not offered.
    if (hardware && hardware->HasFeature(4) && gOldDriver)
    {
        RemoveTabPage(tab, 5);
        RemoveTabPage(tab, 4);
        lists_[5] = lists_[4] = nullptr;
    }
    SelectFirst(0);
    const int page = TemplateRules::PageOfRate(initialRate_);
    if (page >= 0)
        SelectTabPage(tab, page);
    if (restrict_)
    {
        if (PageTab* pages = FindPageTab(tab))
            for (int i = 0; i < pages->PageCount(); ++i)
                if (i != page)
                    SetTabPageDisabled(tab, i, 1);
        for (const char* name : {"launchsyncdlg", "launchsyncdlgtag"})
            if (Control* control = FindControl(Ascii(name)))
                control->SetDisabled(1, 0, 1);
    }
    return Dialog::OnInitDialog();
}

void NewSessionDialog::Fill()
{
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    TemplateRules::Hardware features;
    for (int feature = 0; feature < 12; ++feature)
        features.f[feature] = hardware && hardware->HasFeature(feature);
    for (ListBox* list : lists_)
        if (list)
            list->SetSelectionListener(this);
    Skin* skin = Skin::Current();
    SkinBitmap* icon = skin ? skin->FindBitmap(Ascii("session_32x32_01")) : nullptr;
    const int count = services_ ? services_->GetTemplateCount() : 0;
    for (int index = 0; index < count; ++index)
    {
        auto item = std::make_unique<SessionTemplateItem>();
        if (!services_->GetTemplate(index, &item->record))
            continue;
        // The engine's text ends within its field, whatever it wrote.
        item->record.name[767] = 0;
        item->record.summary[249] = 0;
        item->record.file[249] = 0;
        std::u16string text;
        const bool listed =
            TemplateRules::ListedText(item->record.name, item->record.rateCode, features, gOldDriver, text);
        const int page = TemplateRules::PageOfRate(item->record.rateCode);
        const int32_t position = static_cast<int32_t>(items_.size());
        items_.push_back(std::move(item));
        if (listed && page >= 0 && lists_[page])
            lists_[page]->AddItem(icon, FromText(text), position, 0, true);
    }
}

int NewSessionDialog::GoesBefore(ListBoxItem* added, ListBoxItem* existing)
{
    return TemplateRules::GoesBefore(ToText(added->GetText()), ToText(existing->GetText())) ? 1 : 0;
}

void NewSessionDialog::OnTabPageChanged(const String& tabName, int page)
{
    if (tabName.CompareLiteral("sessioncategories") == 0)
        SelectFirst(TemplateRules::PageOfRate(TemplateRules::RateOfPage(page)));
}

void NewSessionDialog::OnSelectionChanged(ListBox*, ListBoxItem* item)
{
    if (!summary_ || summary_->GetType() != Control::TypeText)
        return;
    String text;
    const SessionTemplateItem* chosen =
        item && item->Data1() >= 0 && item->Data1() < static_cast<int32_t>(items_.size()) ? items_[item->Data1()].get()
                                                                                          : nullptr;
    if (chosen)
        text.AppendWide(chosen->record.summary);
    else
    {
        Skin* skin = Skin::Current();
        const String* blank = skin ? skin->FindStringById("IDS_BLANK_SESSION_SUMMARY") : nullptr;
        if (blank)
            text.Append(*blank);
        else
            text.AppendAscii("Start from scratch with this template.");
    }
    static_cast<TextControl*>(summary_)->SetText(text, 1);
}

void NewSessionDialog::Finish()
{
    if (launchSync_)
        view_.WriteBool(ViewSettings::kLaunchSyncDlg, launchSync_->GetValue() != 0);
}

// A double click ends the dialog the way "OK" does, so the choice is stored the same way.
void NewSessionDialog::OnItemDoubleClick(ListBox*, int, int, ListBoxItem* item, uint32_t)
{
    if (!item)
        return;
    Finish();
    End(1);
}

int NewSessionDialog::OnCommand(Panel* sender, Control* control, int argument)
{
    if (control && control->GetName().CompareLiteral("OK") == 0)
        Finish();
    return Dialog::OnCommand(sender, control, argument);
}

const VarnTemplateRecord* NewSessionDialog::GetResult(int& rateCode, String& name, String& path, String& comment,
                                                      int& launchSettings)
{
    const int page = VisiblePage();
    name.Assign(name_);
    comment.Clear();
    if (comment_)
        comment.Assign(comment_->text);
    launchSettings = launchSync_ && launchSync_->GetValue() != 0;
    if (!name_.Length())
        return nullptr;
    path = FromText(SessionRules::NewSessionPath(ToText(folder_), ToText(name_)));
    rateCode = TemplateRules::RateOfPage(page);
    ListBox* list = PageList(page);
    ListBoxItem* selected = list ? list->SelectedItem() : nullptr;
    if (rateCode < 0 || !selected || selected->Data1() < 0 || selected->Data1() >= static_cast<int32_t>(items_.size()))
        return nullptr;
    return &items_[selected->Data1()]->record;
}

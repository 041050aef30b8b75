#include "plugins/dentrak/DentrakEditor.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/OptionMenu.h"
#include "plugins/base/gui/PluginBitmap.h"
#include "plugins/dentrak/DentrakEffect.h"

#include <cstdio>

DentrakEditor::DentrakEditor(DentrakEffect* effect)
    : PluginEditor(effect), effect_(effect), background_(new PluginBitmap(101)), menuBitmap_(new PluginBitmap(103))
{
    SetRect(kWidth, kHeight);
}

DentrakEditor::~DentrakEditor()
{
    Close();
    background_->Forget();
    menuBitmap_->Forget();
}

VstValue DentrakEditor::Open(void* parentWindow)
{
    PluginEditor::Open(parentWindow);
    if (frame_)
    {
        return 1;
    }
    frame_ = new Frame(Rect(0, 0, kWidth, kHeight), static_cast<HWND>(parentWindow), this);
    frame_->SetBackground(background_);
    menu_ = new OptionMenu(Rect(94, 65, 194, 81), this, kAmountMenu, menuBitmap_);
    menu_->SetFont(4);
    menu_->SetFontColor(Colors::kBlack);
    for (int i = 1; i <= 10; ++i)
    {
        char text[8];
        std::snprintf(text, sizeof(text), "%d", i);
        menu_->AddEntry(text);
    }
    frame_->AddView(menu_);
    Update();
    return 1;
}

void DentrakEditor::Close()
{
    delete frame_;
    frame_ = nullptr;
    menu_ = nullptr;
}

void DentrakEditor::Update()
{
    if (!menu_ || !effect_)
    {
        return;
    }
    const int32_t amount = effect_->GetAmount();
    // Amount 0 (only from a chunk) selects nothing: no entry stands for it.
    menu_->SetCurrent(amount <= 10 ? amount - 1 : 9);
}

void DentrakEditor::OnValueChanged(DrawContext*, PluginControl* control)
{
    if (control && control->GetTag() == kAmountMenu && effect_ && menu_)
    {
        effect_->SetAmount(menu_->GetCurrent() + 1);
    }
}

#include "plugins/dentrak/DentrakEditor.h"

#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/OptionMenu.h"
#include "plugins/base/gui/PluginBitmap.h"
#include "plugins/dentrak/DentrakEffect.h"

#include <cstdio>

DentrakEditor::DentrakEditor(DentrakEffect* effect)
    : PluginEditor(effect), m_effect(effect), m_background(new PluginBitmap(101)), m_menuBitmap(new PluginBitmap(103))
{
    SetRect(kWidth, kHeight);
}

DentrakEditor::~DentrakEditor()
{
    Close();
    m_background->Forget();
    m_menuBitmap->Forget();
}

VstValue DentrakEditor::Open(void* parentWindow)
{
    PluginEditor::Open(parentWindow);
    if (m_frame)
    {
        return 1;
    }
    m_frame = new Frame(Rect(0, 0, kWidth, kHeight), static_cast<HWND>(parentWindow), this);
    m_frame->SetBackground(m_background);
    m_menu = new OptionMenu(Rect(94, 65, 194, 81), this, kAmountMenu, m_menuBitmap);
    m_menu->SetFont(4);
    m_menu->SetFontColor(Colors::kBlack);
    for (int i = 1; i <= 10; ++i)
    {
        char text[8];
        std::snprintf(text, sizeof(text), "%d", i);
        m_menu->AddEntry(text);
    }
    m_frame->AddView(m_menu);
    Update();
    return 1;
}

void DentrakEditor::Close()
{
    delete m_frame;
    m_frame = nullptr;
    m_menu = nullptr;
}

void DentrakEditor::Update()
{
    if (!m_menu || !m_effect)
    {
        return;
    }
    const int32_t amount = m_effect->GetAmount();
    // Amount 0 (only from a chunk) selects nothing: no entry stands for it.
    m_menu->SetCurrent(amount <= 10 ? amount - 1 : 9);
}

void DentrakEditor::OnValueChanged(DrawContext*, PluginControl* control)
{
    if (control && control->GetTag() == kAmountMenu && m_effect && m_menu)
    {
        m_effect->SetAmount(m_menu->GetCurrent() + 1);
    }
}

#include "framework/controls/TextControl.h"

#include "framework/controls/ControlLayout.h"
#include "framework/controls/InPlaceEditor.h"
#include "framework/controls/Panel.h"
#include "framework/platform/graphics/FontInterface.h"

#include <memory>

TextControl::~TextControl()
{
    CloseOwnEditor();
}

int TextControl::Setup(int x, int y, const String& name, const String& text, FontInterface* font,
                       FontInterface* editFont, uint32_t textColour, uint32_t disabledTextColour, int width,
                       int alignment, SkinBitmap* background, int leftWidth, int midWidth, int rightWidth, int margin,
                       int value)
{
    editFont_ = editFont;
    value_ = value;
    return SetupLabel(x, y, name, text, font, textColour, disabledTextColour, width, alignment, background, leftWidth,
                      midWidth, rightWidth, margin);
}

void TextControl::UpdateText()
{
    DataItem* item = GetItem();
    if (item && item->GetKind() == DataItem::KindText)
        text_.Assign(static_cast<TextItem*>(item)->text);
}

void TextControl::Draw()
{
    UpdateText();
    DrawLabel();
}

void TextControl::OnDataItemChanged()
{
    // The editor opens with the text even before the control was drawn.
    UpdateText();
    Redraw();
}

void TextControl::OnMouseDown(WPARAM, int, int)
{
    if (IsHidden() || IsDisabled() || !GetItem())
        return;
    OpenEditor();
}

void TextControl::OpenEditor()
{
    InPlaceEditor::CloseCurrent();
    Panel* panel = GetParent();
    String text;
    if (!panel || !EditorText(text))
        return;
    const FontInterface* font = editFont_ ? editFont_ : GetFont();
    Rect rect;
    GetRect(rect);
    const Rect box = ControlLayout::EditorBox(rect, GetMargin(), font ? font->Height() : 0,
                                              font ? EditorTextWidth(*font, text) : -1);
    // Deleting an editor whose box could not be made gives the tooltips back.
    auto editor = std::make_unique<InPlaceEditor>(*this);
    if (editor->CreateBox(*panel, box, text, font))
        editor.release();
}

int TextControl::EditorText(String& out) const
{
    return out.Assign(text_);
}

void TextControl::Commit(const String& typed)
{
    DataItem* item = GetItem();
    if (!item || item->GetKind() != DataItem::KindText)
        return;
    static_cast<TextItem*>(item)->text.Assign(typed);
    item->RefreshControls(nullptr);
    item->NotifyOwner(0);
    text_.Assign(typed);
}

void TextControl::CloseOwnEditor()
{
    if (EditedControl() == this)
        InPlaceEditor::CloseCurrent();
}

void TextControl::CancelEditor()
{
    delete InPlaceEditor::Current();
}

void TextControl::SetEditorText(const String& text)
{
    InPlaceEditor* editor = InPlaceEditor::Current();
    if (!editor)
        return;
    TextControl& control = editor->GetControl();
    DataItem* item = control.GetItem();
    if (!item || item->GetKind() != DataItem::KindText)
        return;
    control.text_.Assign(text);
    editor->SetText(text);
}

TextControl* TextControl::EditedControl()
{
    InPlaceEditor* editor = InPlaceEditor::Current();
    return editor ? &editor->GetControl() : nullptr;
}

#include "framework/dialogs/MessageBox.h"

#include "framework/controls/Button.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/DialogGeometry.h"
#include "framework/dialogs/TextLayout.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/windows/AppBase.h"

#include <algorithm>

namespace
{
int ImageWidth(SkinBitmap* image)
{
    return image && image->GetDib() ? image->Width() : 0;
}

String Ascii(const char* text)
{
    String s;
    s.AssignAscii(text);
    return s;
}
} // namespace

int MessageBox::Run(const DialogStyle* style, const String& title, const String& text, int type,
                    const String* helpTopic, int wrap, const String* helpDocument)
{
    if (!IsCompleteStyle(style))
        return 0;
    type_ = type;
    if (!text_.Assign(text) || (helpDocument && !helpDocument_.Assign(*helpDocument)) ||
        (helpTopic && !SetHelpTopic(*helpTopic)))
        return 0;
    const FontInterface& font = *style->buttonFont;
    const int side = style->frame[CenterLeft]->Width();
    const int lineHeight = font.Height();
    RECT work = {};
    Window::GetWorkArea(work);
    // The title shows whole between its side offset and the title bar's buttons.
    const int titleWidth =
        std::max(style->titleSideOffset, 0) + style->titleFont->TextWidth(title) + TitleBarRightRoom(*style);

    // Without button images there are no buttons, and no room is made for them.
    const int hasButtons = style->buttonImages && style->buttonImages->GetDib();
    DialogGeometry::ButtonRow row;
    row.ok = font.TextWidth(style->ok);
    row.cancel = font.TextWidth(style->cancel);
    row.yes = font.TextWidth(style->yes);
    row.no = font.TextWidth(style->no);
    row.segments = std::max(style->leftSeg, 0) + std::max(style->rightSeg, 0);
    row.tick = ImageWidth(style->tickIcon);
    row.cross = ImageWidth(style->crossIcon);
    const int buttonsWidth = hasButtons ? DialogGeometry::ButtonRowWidth(type, row) : 0;
    int width = DialogGeometry::MessageBoxWidth(work.right - work.left, titleWidth, buttonsWidth + 2 * side);

    std::vector<String> lines;
    int textWidth = 0;
    if (wrap)
    {
        textWidth = TextLayout::WrapLines(width - 2 * side, text, lines, font);
        if (textWidth < 0)
            return 0;
    }
    else
    {
        lines.emplace_back();
        if (!lines.back().Assign(text))
            return 0;
        textWidth = font.TextWidth(text);
    }
    // The layout needs a line, even an empty one.
    if (lines.empty())
        lines.emplace_back();
    // Blanks are not counted while wrapping, and a word may be wider than the box: the box
    // grows to its widest line rather than cut it.
    width = std::max(width, textWidth + 2 * side);

    const int textTop = style->frame[TopMid]->Height() + lineHeight;
    const int textBottom = textTop + lineHeight * static_cast<int>(lines.size());
    const int buttonHeight = hasButtons ? style->buttonImages->Height() / 4 : 0;
    int height = textBottom + 2 * lineHeight + buttonHeight + style->frame[BotMid]->Height();
    if (!DialogGeometry::RoundToTiles(width, side, style->frame[CenterRight]->Width(), style->frame[CenterMid]->Width(),
                                      width) ||
        !DialogGeometry::RoundToTiles(height, style->frame[TopMid]->Height(), style->frame[BotMid]->Height(),
                                      style->frame[CenterMid]->Height(), height))
        return 0;

    // The buttons and lines need the copied style; Create copies it again with the frame.
    if (!Dialog::Create(style, width, height, &title))
        return 0;
    AddTextLines(lines, textTop, textWidth, lineHeight, width);
    AddButtons(textBottom + (height - textBottom - buttonHeight) / 2, width, buttonsWidth);
    return 1;
}

void MessageBox::AddTextLines(const std::vector<String>& lines, int top, int textWidth, int lineHeight, int width)
{
    const DialogStyle& style = GetDialogStyle();
    const int x = std::max(style.frame[CenterLeft]->Width(), (width - textWidth) / 2);
    for (size_t i = 0; i < lines.size(); ++i)
    {
        auto* text = new TextControl();
        text->Setup(x, top + static_cast<int>(i) * lineHeight, Ascii("msg"), lines[i], style.buttonFont, nullptr,
                    style.normalColour, 0x808080, -1, 0, nullptr, -1, -1, -1, 0, 0);
        AddControl(text, nullptr);
    }
}

void MessageBox::AddButtons(int y, int width, int buttonsWidth)
{
    const DialogStyle& style = GetDialogStyle();
    struct RowButton
    {
        const char* name;
        const String* caption;
        SkinBitmap* icon;
        int widen;
    };
    const String save = Ascii("Save");
    const String saveAs = Ascii("SaveAs");
    const String no = Ascii("No");
    const RowButton ok = {"OK", &style.ok, style.tickIcon, 0};
    const RowButton cancel = {"CANCEL", &style.cancel, style.crossIcon, 0};
    const RowButton yes = {"YES", &style.yes, style.tickIcon, 0};
    const RowButton noButton = {"NO", &style.no, style.crossIcon, 0};
    // The save-changes question: "SaveAs" answers 2 and "No" 0.
    const RowButton saveButton = {"YES", &save, nullptr, 0};
    const RowButton saveAsButton = {"NO", &saveAs, nullptr, 10};
    const RowButton dontSave = {"CANCEL", &no, nullptr, 0};
    RowButton row[3] = {};
    int count = 0;
    int x = (width - buttonsWidth) / 2;
    switch (type_)
    {
    case TypeOk:
        row[count++] = ok;
        break;
    case TypeOkCancel:
        row[count++] = ok;
        row[count++] = cancel;
        break;
    case TypeYesNoCancel:
        row[count++] = yes;
        row[count++] = noButton;
        row[count++] = cancel;
        row[count - 1].icon = nullptr;
        break;
    case TypeYesNo:
        row[count++] = yes;
        row[count++] = noButton;
        break;
    case TypeSaveAsNo:
        row[count++] = saveAsButton;
        row[count++] = dontSave;
        x += 20;
        break;
    case TypeSaveSaveAsNo:
        row[count++] = saveButton;
        row[count++] = saveAsButton;
        row[count++] = dontSave;
        x += 15;
        break;
    default:
        break;
    }
    const int segments = std::max(style.leftSeg, 0) + std::max(style.rightSeg, 0);
    for (int i = 0; i < count; ++i)
    {
        const RowButton& entry = row[i];
        const Button* button = AddStyleButton(entry.name, x, y, *entry.caption, entry.icon, entry.widen);
        if (!button)
            return;
        x += button->Width() + segments;
    }
}

int MessageBox::OnCommand(Panel* sender, Control* control, int argument)
{
    if (!control)
        return Dialog::OnCommand(sender, control, argument);
    const String& name = control->GetName();
    if (helpDocument_.Length() && name.CompareLiteral("dialoghelp") == 0)
    {
        AppBase::OpenWithShell(helpDocument_);
        return 1;
    }
    if (name.CompareLiteral("YES") == 0)
    {
        End(3);
        return 1;
    }
    if (name.CompareLiteral("NO") == 0)
    {
        End(2);
        return 1;
    }
    return Dialog::OnCommand(sender, control, argument);
}

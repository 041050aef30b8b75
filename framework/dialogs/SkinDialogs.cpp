#include "framework/dialogs/SkinDialogs.h"

#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/FrameWindow.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/skin/Skin.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlUtil.h"

namespace
{
String Name(const char* name)
{
    String wide;
    wide.AppendAnsi(name ? name : "");
    return wide;
}

int IsYes(const XmlElement* element, const char* name)
{
    String value;
    return XmlUtil::GetAttribute(element, name, value) && value.CompareLiteral("yes") == 0 ? 1 : 0;
}

// A missing or negative size is 100.
int Size(const XmlElement* element, const char* name)
{
    const int value = XmlUtil::GetAttributeInt(element, name);
    return value < 0 ? 100 : value;
}

// The box type of a mode; a mode of no known name shows OK alone.
int BoxType(const String& mode)
{
    const char* const modes[] = {"OKONLY", "OKCANCEL", "YESNOCANCEL", "YESNO"};
    for (int type = 0; type < 4; ++type)
        if (mode.CompareLiteral(modes[type]) == 0)
            return type;
    return MessageBox::TypeOk;
}
} // namespace

int SkinDialogs::RunModal(Dialog& dialog, Window* owner)
{
    skin_.EnterModal();
    const int result = dialog.DoModal(owner);
    skin_.LeaveModal();
    return result;
}

int SkinDialogs::ShowDialogPanel(const char* name, Dialog* dialog, Window* owner)
{
    const String wideName = Name(name);
    const XmlElement* element = skin_.FindDefinition("dialogpanels", "dialogpanel", wideName);
    if (!element || !dialog || !skin_.CheckGeometry(element))
        return 0;
    const DialogStyle* style = nullptr;
    String styleName;
    if (XmlUtil::GetAttribute(element, "style", styleName))
        style = skin_.FindDialogStyle(styleName);
    if (!style)
        style = skin_.FirstDialogStyle();
    if (!style)
        return 0;
    String title;
    String titleId;
    if (!XmlUtil::GetAttribute(element, "title", title) && XmlUtil::GetAttribute(element, "titleId", titleId))
        if (const String* found = skin_.FindString(titleId))
            title.Assign(*found);
    String help;
    if (XmlUtil::GetAttribute(element, "help", help))
        dialog->SetHelpTopic(help);
    dialog->SetSourceName(wideName);
    // The dialog is a panel: its children become its controls, the frame comes around them.
    PanelBuilder(skin_).ReadPanelControls(*element, *dialog);
    if (!dialog->Create(style, Size(element, "w"), Size(element, "h"), &title))
        return 0;
    if (IsYes(element, "okcancel"))
        dialog->AddOkCancelButtons(XmlUtil::GetAttributeInt(element, "okx"), XmlUtil::GetAttributeInt(element, "oky"),
                                   XmlUtil::GetAttributeInt(element, "cancelx"),
                                   XmlUtil::GetAttributeInt(element, "cancely"));
    if (IsYes(element, "yesno"))
        dialog->AddYesNoButtons(XmlUtil::GetAttributeInt(element, "yesx"), XmlUtil::GetAttributeInt(element, "yesy"),
                                XmlUtil::GetAttributeInt(element, "nox"), XmlUtil::GetAttributeInt(element, "noy"));
    return RunModal(*dialog, owner);
}

int SkinDialogs::RunBox(const String& title, const String& text, int type, Window* owner, const String* helpTopic,
                        const String* helpDocument, const String& sourceName)
{
    MessageBox box;
    box.SetSourceName(sourceName);
    if (!box.Run(skin_.MessageBoxStyle(), title, text, type, helpTopic, 1, helpDocument))
        return 0;
    return RunModal(box, owner);
}

int SkinDialogs::ShowMessageBox(const String& titleId, const String& messageId, int type, Window* owner,
                                const String* helpTopic, const String* helpDocument)
{
    if (!skin_.MessageBoxStyle())
        return 0;
    const String* title = skin_.FindString(titleId);
    const String* message = skin_.FindString(messageId);
    if (!title || !message)
        return 0;
    return RunBox(*title, *message, type, owner, helpTopic, helpDocument, messageId);
}

int SkinDialogs::ShowDefinedMessageBox(const char* name, Window* owner, const String* helpDocument)
{
    const String wideName = Name(name);
    const XmlElement* element = skin_.FindDefinition("messageboxes", "messagebox", wideName);
    if (!element)
    {
        skin_.ReportError("Could not find message box definition in skin file!", &wideName);
        return 0;
    }
    String messageId;
    String mode;
    if (!XmlUtil::GetAttribute(element, "messageId", messageId) || !XmlUtil::GetAttribute(element, "mode", mode))
        return 0;
    String titleId;
    XmlUtil::GetAttribute(element, "titleId", titleId);
    String help;
    const int hasHelp = XmlUtil::GetAttribute(element, "help", help);
    return ShowMessageBox(titleId, messageId, BoxType(mode), owner, hasHelp ? &help : nullptr, helpDocument);
}

int SkinDialogs::ShowMessageBoxText(const String& titleId, const String& text, int type, Window* owner,
                                    const String* helpTopic)
{
    if (!skin_.MessageBoxStyle())
        return 0;
    const String* title = skin_.FindString(titleId);
    if (!title)
        return 0;
    return RunBox(*title, text, type, owner, helpTopic, nullptr, titleId);
}

int SkinDialogs::ShowPlainMessageBox(const String& title, const String& text, Window* owner, const String* helpTopic)
{
    if (!skin_.MessageBoxStyle())
        return 0;
    return RunBox(title, text, MessageBox::TypeOk, owner, helpTopic, nullptr, String());
}

int SkinDialogs::CreateFrameWindow2(const char* name, FrameWindow* frame)
{
    const XmlElement* element = skin_.FindDefinition("framewindows", "framewindow", Name(name));
    String styleName;
    if (!element || !frame || !XmlUtil::GetAttribute(element, "style", styleName))
        return 0;
    const FrameStyle2* style = skin_.FindFrameStyle2(styleName);
    return style ? frame->ApplyStyle2(style) : 0;
}

#include "framework/controls/FormWindow.h"
#include "framework/controls/InPlaceEditor.h"
#include "framework/controls/NumericDisplay.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/Tooltip.h"
#include "framework/controls/UrlTextControl.h"
#include "framework/controls/tests/ControlsTestSupport.h"
#include "framework/platform/graphics/Font.h"
#include "framework/windows/AppBase.h"

#include <gtest/gtest.h>

using namespace controlstest;

namespace
{
// Colours that read the same as COLORREF and as pixels.
constexpr uint32_t kInk = 0x00FF00;
constexpr uint32_t kGreyInk = 0x808080;
constexpr uint32_t kCover = 0x505050;

std::string WindowText(HWND window)
{
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// A 160 x 64 panel of tiles in a hidden host, with a bold font for its texts.
struct Fixture
{
    Host host;
    Composite images;
    Font font;
    TestPanel panel;

    Fixture()
    {
        EXPECT_EQ(font.Create(Font::FamilyArial, Font::StyleBold, 12), 1);
        panel.Setup(nullptr, 0, 0, kBackground);
        panel.AddBackgroundSection(&images.tile, 0, 0, 10, 4, -1);
        EXPECT_EQ(panel.Create(&host.window, 0, 0, 7), 1);
    }

    TextControl* AddText(const char* name, int x, int y, DataItem* item, const char* text = "",
                         SkinBitmap* background = nullptr, int width = -1, int margin = 0)
    {
        auto* control = new TextControl();
        EXPECT_EQ(control->Setup(x, y, Text(name), Text(text), &font, nullptr, kInk, kGreyInk, width, 0, background, -1,
                                 0, 0, margin, 0),
                  1);
        panel.AddControl(control, item);
        return control;
    }

    NumericDisplay* AddNumber(const char* name, int x, int y, DataItem* item)
    {
        auto* control = new NumericDisplay();
        EXPECT_EQ(control->Setup(x, y, Text(name), &font, nullptr, kInk, kGreyInk, 2, 60, 2, nullptr, -1, 0, 0), 1);
        panel.AddControl(control, item);
        return control;
    }

    // The panel's edit boxes: the open editor's, when there is one.
    int EditBoxCount() const
    {
        int count = 0;
        for (HWND box = nullptr; (box = ::FindWindowExA(panel.GetHandle(), box, "EDIT", nullptr));)
            ++count;
        return count;
    }
    HWND EditBox() const { return ::FindWindowExA(panel.GetHandle(), nullptr, "EDIT", nullptr); }

    void Click(const Control& control)
    {
        panel.OnMouseDown(MK_LBUTTON, control.X() + 2, control.Y() + 2);
        panel.OnMouseUp(0, control.X() + 2, control.Y() + 2);
    }

    int CountColour(const Control& control, uint32_t colour) const
    {
        const Bitmap* shown = panel.ComposedBackground();
        int count = 0;
        for (int y = control.Y(); shown && y < control.Y() + control.Height(); ++y)
            for (int x = control.X(); x < control.X() + control.Width(); ++x)
                count += PixelAt(*shown, x, y) == colour;
        return count;
    }
};

// Tooltips are on unless a case says otherwise; every test leaves the switch as it found it.
class TooltipSwitch
{
public:
    explicit TooltipSwitch(int value) : saved_(Tooltip::TooltipsEnabled) { Tooltip::TooltipsEnabled = value; }
    ~TooltipSwitch() { Tooltip::TooltipsEnabled = saved_; }

private:
    int saved_;
};

TEST(TextControl, SizeFromTheBackgroundTheGivenWidthOrTheText)
{
    Fixture f;
    SkinBitmap missing;
    const int nameWidth = f.font.TextWidth(Text("Name"));
    ASSERT_GT(nameWidth, 0);
    struct Case
    {
        const char* label;
        const char* text;
        SkinBitmap* background;
        int leftWidth;
        int width;
        int expectedWidth;
        int expectedHeight;
    } cases[] = {
        {"the text's width in the font's height", "Name", nullptr, -1, -1, nameWidth, f.font.Height()},
        {"no text: no width", "", nullptr, -1, -1, 0, f.font.Height()},
        {"a given width replaces the text's", "Name", nullptr, -1, 80, 80, f.font.Height()},
        {"a whole background gives its size", "Name", &f.images.tile, -1, 80, 16, 16},
        {"a sliced background: the given width, the image's height", "Name", &f.images.segmented, 3, 50, 50, 16},
        {"an image that did not load counts as none", "Name", &missing, -1, -1, nameWidth, f.font.Height()},
    };
    for (const Case& c : cases)
    {
        TextControl control;
        ASSERT_EQ(control.Setup(4, 5, Text("t"), Text(c.text), &f.font, nullptr, kInk, kGreyInk, c.width, 0,
                                c.background, c.leftWidth, 6, 3, 0, 0),
                  1)
            << c.label;
        EXPECT_EQ(control.Width(), c.expectedWidth) << c.label;
        EXPECT_EQ(control.Height(), c.expectedHeight) << c.label;
    }

    TextControl* sized = f.AddText("sized", 0, 0, nullptr, "Name");
    TextControl* fixed = f.AddText("fixed", 0, 30, nullptr, "Name", nullptr, 80);
    sized->SetText(Text("A longer name"), 1);
    fixed->SetText(Text("A longer name"), 1);
    EXPECT_EQ(sized->Width(), f.font.TextWidth(Text("A longer name"))) << "set up without a width: follows its text";
    EXPECT_EQ(fixed->Width(), 80);
}

TEST(TextControl, DrawsSlicesAndItsTextInTheColourOfItsState)
{
    Fixture f;
    auto* control = new TextControl();
    ASSERT_EQ(control->Setup(10, 20, Text("label"), Text("WWW"), &f.font, nullptr, kInk, kGreyInk, 100, 2,
                             &f.images.segmented, 3, 6, 3, 4, 0),
              1);
    f.panel.AddControl(control, nullptr);
    f.panel.RedrawArea(nullptr, 0);
    const Bitmap* shown = f.panel.ComposedBackground();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(PixelAt(*shown, 11, 21), kFrames[0] + kSlices[0]) << "the left slice";
    EXPECT_EQ(PixelAt(*shown, 108, 21), kFrames[0] + kSlices[2]) << "the right slice ends at the width";
    EXPECT_GT(f.CountColour(*control, kInk), 0);
    EXPECT_EQ(f.CountColour(*control, kGreyInk), 0);
    // Right-aligned inside the margin: no ink left of where the text starts or past the margin.
    const int start = 10 + 100 - 4 - f.font.TextWidth(Text("WWW"));
    for (int y = 20; y < 36; ++y)
        for (int x = 10; x < 110; ++x)
        {
            if (x < start || x >= 106)
            {
                ASSERT_NE(PixelAt(*shown, x, y), kInk) << x << "," << y;
            }
        }

    control->SetDisabled(1, 0, 1);
    EXPECT_EQ(f.CountColour(*control, kInk), 0);
    EXPECT_GT(f.CountColour(*control, kGreyInk), 0) << "a disabled text is grey";
}

TEST(TextControl, ShowsItsTextItemAndRedrawsWhenItChanges)
{
    Fixture f;
    TextItem* name = f.panel.AddTextItem("name", Text("Wide text here"), 0, 0);
    TextControl* control = f.AddText("name", 0, 0, name, "", nullptr, 150);
    EXPECT_EQ(Narrow(control->GetText()), "Wide text here");
    f.panel.RedrawArea(nullptr, 0);
    const int wide = f.CountColour(*control, kInk);
    EXPECT_GT(wide, 0);
    name->text.Assign(Text("i"));
    name->RefreshControls(nullptr);
    EXPECT_EQ(Narrow(control->GetText()), "i");
    EXPECT_LT(f.CountColour(*control, kInk), wide / 3) << "the longer text's ink is gone";
}

TEST(InPlaceEditor, EnterTabAndEscapeCommitTheTypedText)
{
    struct Case
    {
        const char* label;
        WPARAM key;
        int tooltips;
    } cases[] = {
        {"Enter", VK_RETURN, 1},
        {"Tab", VK_TAB, 1},
        {"Escape keeps the typed text as well", VK_ESCAPE, 1},
        {"tooltips that were off stay off", VK_RETURN, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        TooltipSwitch tooltips(c.tooltips);
        Fixture f;
        TextItem* name = f.panel.AddTextItem("name", Text("Old"), 0, 0);
        TextControl* control = f.AddText("label", 10, 10, name, "", nullptr, 100, 2);
        f.Click(*control);
        ASSERT_EQ(TextControl::EditedControl(), control);
        HWND box = f.EditBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), "Old");
        EXPECT_EQ(::GetDlgCtrlID(box), 10);
        EXPECT_EQ(Tooltip::TooltipsEnabled, 0) << "no hints while typing";
        RECT rect;
        ::GetWindowRect(box, &rect);
        ::MapWindowPoints(nullptr, f.panel.GetHandle(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, 12) << "inset by the margin";
        EXPECT_EQ(rect.right, 108);

        ::SendMessageA(box, WM_CHAR, 'x', 0);
        EXPECT_EQ(WindowText(box), "x") << "other keys reach the box; the text was all selected";
        ::SetWindowTextA(box, "New");
        ::SendMessageA(box, WM_CHAR, c.key, 0);
        EXPECT_EQ(TextControl::EditedControl(), nullptr);
        EXPECT_EQ(f.EditBoxCount(), 0);
        EXPECT_EQ(Narrow(name->text), "New");
        EXPECT_EQ(Narrow(control->GetText()), "New");
        EXPECT_EQ(f.panel.log, (Log{"item name 0"}));
        EXPECT_EQ(Tooltip::TooltipsEnabled, c.tooltips) << "the switch comes back as it was";
    }
}

TEST(InPlaceEditor, ANumericDisplayStoresWhatItsItemAccepts)
{
    struct Case
    {
        const char* typed;
        int stored;
    } cases[] = {
        {"1.5", 1},
        {"20", 3},
        {"10", 10},
        {"-1", 3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.typed);
        Fixture f;
        IntItem* steps = f.panel.AddIntItem("steps", 3, 0, 10, 0, 0);
        NumericDisplay* display = f.AddNumber("steps", 10, 10, steps);
        EXPECT_EQ(Narrow(display->GetText()), "3.0");
        display->OpenEditor();
        HWND box = f.EditBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), "3.0") << "the item's value with the display's decimals";
        ::SetWindowTextA(box, c.typed);
        ::SendMessageA(box, WM_CHAR, VK_RETURN, 0);
        EXPECT_EQ(steps->value, c.stored);
        if (c.stored != 3)
            EXPECT_EQ(f.panel.log, (Log{"item steps " + std::to_string(c.stored)}));
        else
            EXPECT_TRUE(f.panel.log.empty()) << "a refused value tells nobody";
    }
}

TEST(InPlaceEditor, ANumberWiderThanTheDisplayWidensTheBox)
{
    Fixture f;
    RealItem* gain = f.panel.AddRealItem("gain", -3.25f, -100000.0f, 100000.0f, 0, 0);
    auto* display = new NumericDisplay();
    ASSERT_EQ(display->Setup(40, 10, Text("gain"), &f.font, nullptr, kInk, kGreyInk, 2, 10, 0, nullptr, -1, 0, 0), 1);
    f.panel.AddControl(display, gain);
    display->OpenEditor();
    HWND box = f.EditBox();
    ASSERT_NE(box, nullptr);
    RECT rect;
    ::GetClientRect(box, &rect);
    EXPECT_GE(rect.right, f.font.TextWidth(Text("-3.25")) + 4) << "the number and 2 pixels each side";
    TextControl::CancelEditor();
}

TEST(InPlaceEditor, ANumericDisplayWithoutAnItemShowsADashAndOpensNothing)
{
    Fixture f;
    NumericDisplay* display = f.AddNumber("none", 10, 10, nullptr);
    f.panel.RedrawArea(nullptr, 0);
    EXPECT_EQ(Narrow(display->GetText()), "-");
    f.Click(*display);
    EXPECT_EQ(TextControl::EditedControl(), nullptr);
    EXPECT_EQ(f.EditBoxCount(), 0);
}

TEST(InPlaceEditor, OnlyBoundEnabledAndShownControlsOpenIt)
{
    Fixture f;
    TextItem* name = f.panel.AddTextItem("name", Text("Old"), 0, 0);
    TextControl* unbound = f.AddText("unbound", 0, 0, nullptr, "Static", nullptr, 60);
    TextControl* disabled = f.AddText("disabled", 0, 20, name, "", nullptr, 60);
    disabled->SetDisabled(1, 0, 0);
    TextControl* hidden = f.AddText("hidden", 80, 20, name, "", nullptr, 60);
    hidden->SetHidden(1);
    for (const TextControl* control : {unbound, disabled, hidden})
    {
        f.Click(*control);
        EXPECT_EQ(TextControl::EditedControl(), nullptr) << Narrow(control->GetName());
    }
    EXPECT_EQ(f.EditBoxCount(), 0);
}

TEST(InPlaceEditor, OneEditorAtATimeAndWhatClosesIt)
{
    TooltipSwitch tooltips(1);
    Fixture f;
    TextItem* first = f.panel.AddTextItem("first", Text("One"), 0, 0);
    TextItem* second = f.panel.AddTextItem("second", Text("Two"), 0, 0);
    TextControl* a = f.AddText("a", 0, 0, first, "", nullptr, 70);
    TextControl* b = f.AddText("b", 80, 0, second, "", nullptr, 70);
    ProbeControl* probe = new ProbeControl(f.panel.log, "probe", 0, 40, 20, 20);
    f.panel.AddControl(probe, nullptr);

    f.Click(*a);
    ::SetWindowTextA(f.EditBox(), "One typed");
    f.Click(*b);
    EXPECT_EQ(Narrow(first->text), "One typed") << "opening another editor commits the first";
    EXPECT_EQ(TextControl::EditedControl(), b);
    EXPECT_EQ(f.EditBoxCount(), 1);
    EXPECT_EQ(Tooltip::TooltipsEnabled, 0) << "the second editor saved the switch as the user set it";
    EXPECT_EQ(WindowText(f.EditBox()), "Two");

    ::SetWindowTextA(f.EditBox(), "Two typed");
    f.panel.OnMouseDown(MK_LBUTTON, 150, 60);
    f.panel.OnMouseUp(0, 150, 60);
    EXPECT_EQ(Narrow(second->text), "Two typed") << "a press anywhere on a panel commits";
    EXPECT_EQ(TextControl::EditedControl(), nullptr);
    EXPECT_EQ(Tooltip::TooltipsEnabled, 1);

    a->OpenEditor();
    ::SetWindowTextA(f.EditBox(), "By notice");
    probe->Notify(5);
    EXPECT_EQ(Narrow(first->text), "By notice") << "a control's notification commits first";
    EXPECT_EQ(f.panel.log.back(), "control probe 5");

    a->OpenEditor();
    TextControl::SetEditorText(Text("Set by code"));
    EXPECT_EQ(WindowText(f.EditBox()), "Set by code");
    EXPECT_EQ(Narrow(a->GetText()), "Set by code");
    TextControl::CancelEditor();
    EXPECT_EQ(Narrow(first->text), "By notice") << "a cancelled editor stores nothing";
    EXPECT_EQ(f.EditBoxCount(), 0);
    EXPECT_EQ(Tooltip::TooltipsEnabled, 1);

    b->OpenEditor();
    ::SetWindowTextA(f.EditBox(), "Dropped");
    f.panel.DropControl(b, 1, 0);
    EXPECT_EQ(Narrow(second->text), "Dropped") << "the control's deletion commits";
    EXPECT_EQ(TextControl::EditedControl(), nullptr);
    EXPECT_EQ(Tooltip::TooltipsEnabled, 1);
}

TEST(InPlaceEditor, APanelThatGoesTakesItsEditorAlong)
{
    TooltipSwitch tooltips(1);
    {
        Fixture f;
        TextItem* name = f.panel.AddTextItem("name", Text("Kept"), 0, 0);
        TextControl* control = f.AddText("label", 0, 0, name, "", nullptr, 70);
        control->OpenEditor();
        ::SetWindowTextA(f.EditBox(), "Lost with the window");
        f.panel.Destroy();
        EXPECT_EQ(TextControl::EditedControl(), control) << "the editor waits for its control";
        InPlaceEditor::CloseCurrent();
        EXPECT_EQ(Narrow(name->text), "Kept") << "a box that is gone has nothing to commit";
        EXPECT_EQ(Tooltip::TooltipsEnabled, 1);

        control->OpenEditor();
        EXPECT_EQ(TextControl::EditedControl(), nullptr) << "a panel without a window gets no box";
        EXPECT_EQ(Tooltip::TooltipsEnabled, 1);
    }
    {
        Fixture f;
        TextItem* name = f.panel.AddTextItem("name", Text("Old"), 0, 0);
        f.AddText("label", 0, 0, name, "", nullptr, 70)->OpenEditor();
        ASSERT_NE(TextControl::EditedControl(), nullptr);
    }
    EXPECT_EQ(TextControl::EditedControl(), nullptr) << "deleting the panel closed the editor";
    EXPECT_EQ(Tooltip::TooltipsEnabled, 1);
}

class RecordingDesktop : public DesktopShell
{
public:
    std::vector<std::string> opened;
    int ShowMessageBox(const char*, const char*) override { return IDOK; }
    void Open(const char* path) override { opened.push_back(path); }
};

struct LinkFixture : Fixture
{
    RecordingDesktop desktop;
    UrlTextControl* link = nullptr;

    explicit LinkFixture(const String& address)
    {
        AppBase::SetDesktopShell(&desktop);
        link = new UrlTextControl();
        EXPECT_EQ(link->Setup(10, 10, Text("link"), address, &font, kInk, kGreyInk, 140, 0, nullptr, -1, 0, 0, 0), 1);
        panel.AddControl(link, nullptr);
        panel.RedrawArea(nullptr, 0);
    }
    ~LinkFixture() { AppBase::SetDesktopShell(nullptr); }

    // Paints over the link in the panel's picture: only a redraw brings it back.
    void Cover() { panel.ComposedBackground()->FillRect(link->X(), link->Y(), link->Width(), link->Height(), kCover); }
};

TEST(UrlTextControl, EveryClickOpensTheLinkAndTheVisitedColourIsSetOnce)
{
    LinkFixture f(Text("http://www.example.invalid/support"));
    EXPECT_GT(f.CountColour(*f.link, kInk), 0);
    f.Click(*f.link);
    EXPECT_EQ(f.link->GetColour(), UrlTextControl::kVisitedColour);
    EXPECT_GT(f.CountColour(*f.link, UrlTextControl::kVisitedColour), 0) << "redrawn in the visited colour";
    f.Cover();
    f.Click(*f.link);
    EXPECT_EQ(f.desktop.opened,
              (std::vector<std::string>{"http://www.example.invalid/support", "http://www.example.invalid/support"}));
    EXPECT_EQ(f.CountColour(*f.link, kCover), f.link->Width() * f.link->Height())
        << "the second click does not draw again";
}

TEST(UrlTextControl, ALinkTooLongForTheShellIsRefusedNotCut)
{
    String address = Text("http://www.example.invalid/");
    while (address.Length() < 300)
        address.AppendAscii("a");
    LinkFixture f(address);
    f.Click(*f.link);
    EXPECT_TRUE(f.desktop.opened.empty());
    EXPECT_EQ(f.link->GetColour(), kInk) << "not visited";
}

TEST(UrlTextControl, ADisabledOrEmptyLinkDoesNothing)
{
    LinkFixture f(Text("http://www.example.invalid/"));
    f.link->SetDisabled(1, 0, 1);
    EXPECT_GT(f.CountColour(*f.link, kGreyInk), 0);
    f.Click(*f.link);
    EXPECT_TRUE(f.desktop.opened.empty());

    f.link->SetDisabled(0, 0, 0);
    f.link->SetText(String(), 1);
    EXPECT_EQ(f.CountColour(*f.link, kInk), 0) << "an empty link draws nothing";
}

struct FormFixture
{
    Composite images;
    Font font;
    FormWindow form;

    explicit FormFixture(SkinBitmap& background)
    {
        EXPECT_EQ(font.Create(Font::FamilyArial, 0, 10), 1);
        form.Setup(nullptr, 0, 0, kBackground);
        form.AddBackgroundSection(&background, 0, 0, 8, 4, -1);
    }
};

TEST(FormWindow, CentredInTheWorkAreaAndShapedWhenItsBackgroundIsKeyed)
{
    struct Case
    {
        const char* label;
        bool keyed;
    } cases[] = {{"plain", false}, {"keyed", true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Composite images;
        FormFixture f(c.keyed ? images.shaped : images.tile);
        ASSERT_EQ(f.form.Create(nullptr), 1);
        RECT work;
        Window::GetWorkArea(work);
        RECT rect;
        ASSERT_TRUE(::GetWindowRect(f.form.GetHandle(), &rect));
        EXPECT_EQ(rect.right - rect.left, 128);
        EXPECT_EQ(rect.bottom - rect.top, 64);
        EXPECT_EQ(rect.left, work.left + (work.right - work.left - 128) / 2);
        EXPECT_EQ(rect.top, work.top + (work.bottom - work.top - 64) / 2);
        EXPECT_TRUE(f.form.IsVisible());
        const LONG_PTR style = ::GetWindowLongPtrA(f.form.GetHandle(), GWL_STYLE);
        EXPECT_TRUE(style & WS_POPUP);
        HRGN region = ::CreateRectRgn(0, 0, 0, 0);
        const int kind = ::GetWindowRgn(f.form.GetHandle(), region);
        if (c.keyed)
        {
            EXPECT_EQ(kind, COMPLEXREGION);
            EXPECT_FALSE(::PtInRegion(region, 0, 0)) << "the keyed corner is cut away";
            EXPECT_TRUE(::PtInRegion(region, 8, 8));
        }
        else
        {
            EXPECT_EQ(kind, ERROR) << "a plain form has no shape";
        }
        ::DeleteObject(region);
    }
}

TEST(FormWindow, TheFormMadeLastIsTheInstanceUntilItGoes)
{
    EXPECT_EQ(FormWindow::Instance(), nullptr);
    auto first = std::make_unique<FormWindow>();
    EXPECT_EQ(FormWindow::Instance(), first.get());
    {
        FormWindow second;
        EXPECT_EQ(FormWindow::Instance(), &second);
        first.reset();
        EXPECT_EQ(FormWindow::Instance(), &second) << "an earlier form that goes leaves the current one";
    }
    EXPECT_EQ(FormWindow::Instance(), nullptr);
}

TEST(FormWindow, ChildTextsOfTextControlsOnly)
{
    Composite images;
    FormFixture f(images.tile);
    auto* title = new TextControl();
    ASSERT_EQ(title->Setup(4, 4, Text("title"), Text("Starting up"), &f.font, nullptr, kInk, kGreyInk, 100, 0, nullptr,
                           -1, 0, 0, 0, 0),
              1);
    f.form.AddControl(title, nullptr);
    auto* number = new NumericDisplay();
    ASSERT_EQ(number->Setup(4, 30, Text("number"), &f.font, nullptr, kInk, kGreyInk, 2, 40, 0, nullptr, -1, 0, 0), 1);
    f.form.AddControl(number, nullptr);
    ASSERT_EQ(f.form.Create(nullptr), 1);

    char16_t buffer[32];
    EXPECT_EQ(f.form.GetChildText("title", buffer, 32), 1);
    EXPECT_EQ(std::u16string(buffer), u"Starting up");
    std::u16string room(16, u'#');
    EXPECT_EQ(f.form.GetChildText("title", &room[0], 6), 0) << "cut to the given size";
    EXPECT_EQ(room, std::u16string(u"Start") + u'\0' + std::u16string(10, u'#')) << "nothing written past it";

    f.form.SetChildText("title", Text("Ready"));
    EXPECT_EQ(Narrow(title->GetText()), "Ready");

    f.form.SetChildText("number", Text("7"));
    EXPECT_EQ(f.form.GetChildText("number", buffer, 32), 0) << "a numeric display is not a text control";
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(f.form.GetChildText("nothing", buffer, 32), 0);
    f.form.SetChildText("nothing", Text("x"));
}
} // namespace

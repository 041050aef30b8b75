// The framework's drag and drop and the busy window, on plain and framework windows.

#include "framework/platform/cursor/Cursor.h"
#include "framework/windows/AppBase.h"
#include "framework/windows/BusyWindow.h"
#include "framework/windows/DragDrop.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace
{
HCURSOR System(LPCSTR id)
{
    return LoadCursorA(nullptr, id);
}

// A plain top-level window standing in for a framework window. Test windows live until the
// process ends: hiding or destroying a window makes Wine wait about two seconds for a
// window manager that Xvfb does not have.
class PlainWindow
{
public:
    PlainWindow(int x, int y, int width, int height)
    {
        WNDCLASSA windowClass = {};
        if (!GetClassInfoA(GetModuleHandleA(nullptr), "KivCursorTestWindow", &windowClass))
        {
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "KivCursorTestWindow";
            RegisterClassA(&windowClass);
        }
        handle = CreateWindowExA(WS_EX_TOPMOST, "KivCursorTestWindow", "", WS_POPUP | WS_VISIBLE, x, y, width, height,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        Pump();
    }
    static void Pump()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    HWND handle;
};

// Deletions of drag cursors, counted.
class CountedCursor : public Cursor
{
public:
    explicit CountedCursor(int& deleted) : deleted_(deleted) { LoadStandard(SizeNorthSouth); }
    ~CountedCursor() override { ++deleted_; }

private:
    int& deleted_;
};

struct Offer
{
    HWND window;
    int x, y;
    intptr_t value1, value2;
};

// Framework windows as the tests have them: plain windows known by handle. A window's
// answer to drag-over comes from accepts.
class FakeWindows : public DragWindows
{
public:
    FakeWindows() { previous_ = DragDrop::InstallWindows(this); }
    ~FakeWindows() { DragDrop::InstallWindows(previous_); }

    Window* Add(HWND handle, int accept)
    {
        Window* token = reinterpret_cast<Window*>(handle);
        known_[token] = handle;
        accepts[handle] = accept;
        return token;
    }
    Window* FromPoint(int x, int y) override
    {
        HWND handle = WindowFromPoint(POINT{x, y});
        auto found = known_.find(reinterpret_cast<Window*>(handle));
        return found == known_.end() ? nullptr : found->first;
    }
    HWND Handle(Window* window) override { return known_.at(window); }
    int OnDragOver(Window* window, int x, int y, intptr_t value1, intptr_t value2) override
    {
        dragOvers.push_back({Handle(window), x, y, value1, value2});
        return accepts[Handle(window)];
    }
    int OnDrop(Window* window, int x, int y, intptr_t value1, intptr_t value2) override
    {
        drops.push_back({Handle(window), x, y, value1, value2});
        return 1;
    }

    std::map<HWND, int> accepts;
    std::vector<Offer> dragOvers;
    std::vector<Offer> drops;

private:
    std::map<Window*, HWND> known_;
    DragWindows* previous_;
};

// A framework window that records the drags offered to it; accept is its drag-over answer.
class DropTarget : public Window
{
public:
    DropTarget(int x, int y, int accept) : accept(accept)
    {
        CreateEx(nullptr, WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, x, y, 100, 100, 0, nullptr);
        PlainWindow::Pump();
    }
    int OnDragOver(int x, int y, intptr_t value1, intptr_t value2) override
    {
        dragOvers.push_back({GetHandle(), x, y, value1, value2});
        return accept;
    }
    int OnDrop(int x, int y, intptr_t value1, intptr_t value2) override
    {
        drops.push_back({GetHandle(), x, y, value1, value2});
        return 1;
    }

    int accept;
    std::vector<Offer> dragOvers;
    std::vector<Offer> drops;
};

struct TestWindows
{
    PlainWindow source{100, 100, 100, 100};
    PlainWindow target{300, 100, 100, 100};
    PlainWindow foreign{500, 100, 100, 100};
    DropTarget frameworkSource{700, 100, 0};
    DropTarget frameworkTarget{900, 100, 0};
    DropTarget parent{100, 300, 0};
    DropTarget main{400, 300, 0};
};

TestWindows& Shared()
{
    static TestWindows* windows = new TestWindows();
    return *windows;
}

class DragDropTest : public testing::Test
{
protected:
    const PlainWindow& sourceWindow_ = Shared().source;
    const PlainWindow& targetWindow_ = Shared().target;
    FakeWindows windows_;
    Window* source_ = windows_.Add(sourceWindow_.handle, 0);
    Window* target_ = windows_.Add(targetWindow_.handle, 0);
    int deleted_ = 0;
};

TEST_F(DragDropTest, OffersTheDragToTheWindowUnderThePointer)
{
    auto* dragCursor = new CountedCursor(deleted_);
    DragDrop::Begin(dragCursor, source_, 7, 8);
    EXPECT_TRUE(DragDrop::IsSource(source_));
    EXPECT_FALSE(DragDrop::IsSource(target_));
    EXPECT_EQ(GetCapture(), sourceWindow_.handle);
    EXPECT_EQ(GetCursor(), dragCursor->Handle());

    // A second drag while one runs is ignored; the cursor handed over is not lost.
    int otherDeleted = 0;
    DragDrop::Begin(new CountedCursor(otherDeleted), target_, 1, 2);
    EXPECT_FALSE(DragDrop::IsSource(target_));
    EXPECT_EQ(otherDeleted, 1);

    // Over the refusing source itself: never the refusal shape.
    Cursor::SetShape(Cursor::Arrow);
    SetCursorPos(150, 150);
    DragDrop::OnMouseMove();
    EXPECT_EQ(GetCursor(), System(IDC_ARROW));

    // Over a refusing target: the drag cursor.
    SetCursorPos(350, 160);
    DragDrop::OnMouseMove();
    EXPECT_EQ(GetCursor(), dragCursor->Handle());
    ASSERT_EQ(windows_.dragOvers.size(), 2u);
    EXPECT_EQ(windows_.dragOvers[1].window, targetWindow_.handle);
    EXPECT_EQ(windows_.dragOvers[1].x, 50);
    EXPECT_EQ(windows_.dragOvers[1].y, 60);
    EXPECT_EQ(windows_.dragOvers[1].value1, 7);
    EXPECT_EQ(windows_.dragOvers[1].value2, 8);

    // Over an accepting one nothing changes.
    windows_.accepts[targetWindow_.handle] = 1;
    Cursor::SetShape(Cursor::Arrow);
    DragDrop::OnMouseMove();
    EXPECT_EQ(GetCursor(), System(IDC_ARROW));

    DragDrop::End();
    ASSERT_EQ(windows_.drops.size(), 1u);
    EXPECT_EQ(windows_.drops[0].window, targetWindow_.handle);
    EXPECT_EQ(windows_.drops[0].x, 50);
    EXPECT_EQ(windows_.drops[0].value2, 8);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetCursor(), System(IDC_ARROW));
    EXPECT_EQ(deleted_, 1);
    EXPECT_FALSE(DragDrop::IsSource(source_));
}

TEST_F(DragDropTest, WithoutADragCursorARefusalShowsNotAllowed)
{
    DragDrop::Begin(nullptr, source_, 0, 0);
    SetCursorPos(350, 150);
    DragDrop::OnMouseMove();
    EXPECT_EQ(GetCursor(), System(IDC_NO));
    DragDrop::End();
    EXPECT_EQ(windows_.drops.size(), 1u);
}

TEST_F(DragDropTest, DropOverAForeignWindowOrTheDesktopOnlyEndsTheDrag)
{
    struct Case
    {
        const char* where;
        int x, y;
    };
    for (const Case& c : {Case{"foreign window", 550, 150}, Case{"desktop", 900, 800}})
    {
        SCOPED_TRACE(c.where);
        deleted_ = 0;
        DragDrop::Begin(new CountedCursor(deleted_), source_, 1, 2);
        SetCursorPos(c.x, c.y);
        DragDrop::OnMouseMove();
        DragDrop::End();
        EXPECT_TRUE(windows_.drops.empty());
        EXPECT_TRUE(windows_.dragOvers.empty());
        EXPECT_EQ(deleted_, 1);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(DragDrop::IsSource(source_));
    }
    // Ending without a drag does nothing.
    DragDrop::End();
    EXPECT_TRUE(windows_.drops.empty());
}

TEST(DragDrop, FrameworkWindowsTakeTheDragThroughTheirOperations)
{
    DropTarget& source = Shared().frameworkSource;
    DropTarget& target = Shared().frameworkTarget;
    source.dragOvers.clear();
    target.dragOvers.clear();
    target.drops.clear();
    target.accept = 0;
    DragDrop::Begin(nullptr, &source, 5, 6);
    EXPECT_EQ(GetCapture(), source.GetHandle());
    SetCursorPos(930, 140);
    DragDrop::OnMouseMove();
    ASSERT_EQ(target.dragOvers.size(), 1u);
    EXPECT_EQ(target.dragOvers[0].x, 30);
    EXPECT_EQ(target.dragOvers[0].y, 40);
    EXPECT_EQ(target.dragOvers[0].value1, 5);
    EXPECT_EQ(target.dragOvers[0].value2, 6);
    EXPECT_EQ(GetCursor(), System(IDC_NO)) << "a refusing framework window";

    // A plain window is not the framework's: it is offered nothing.
    SetCursorPos(550, 150);
    Cursor::SetShape(Cursor::Arrow);
    DragDrop::OnMouseMove();
    EXPECT_EQ(GetCursor(), System(IDC_ARROW));
    EXPECT_EQ(target.dragOvers.size(), 1u);
    EXPECT_TRUE(source.dragOvers.empty());

    SetCursorPos(910, 120);
    DragDrop::End();
    ASSERT_EQ(target.drops.size(), 1u);
    EXPECT_EQ(target.drops[0].x, 10);
    EXPECT_EQ(target.drops[0].y, 20);
    EXPECT_EQ(target.drops[0].value1, 5);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(DragDrop::IsSource(&source));
}

TEST(BusyWindow, NestedBusyWindowsKeepCaptureAndWaitCursor)
{
    Window& parent = Shared().parent;
    auto outer = std::make_unique<BusyWindow>(&parent);
    ASSERT_NE(outer->GetHandle(), nullptr);
    EXPECT_EQ(GetParent(outer->GetHandle()), parent.GetHandle());
    EXPECT_EQ(outer->GetParent(), &parent);
    RECT area = {};
    GetWindowRect(outer->GetHandle(), &area);
    EXPECT_EQ(area.right - area.left, 0);
    EXPECT_EQ(GetCapture(), outer->GetHandle());
    EXPECT_EQ(GetCursor(), System(IDC_WAIT));
    {
        BusyWindow inner(&parent);
        EXPECT_EQ(GetCapture(), inner.GetHandle());
        EXPECT_EQ(GetCursor(), System(IDC_WAIT));
    }
    // The outer one still blocks.
    EXPECT_EQ(GetCapture(), outer->GetHandle());
    EXPECT_EQ(GetCursor(), System(IDC_WAIT));
    HWND outerHandle = outer->GetHandle();
    outer.reset();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetCursor(), System(IDC_ARROW));
    EXPECT_FALSE(IsWindow(outerHandle));
}

TEST(BusyWindow, OutOfOrderEndsStillLeaveTheLastOneBlocking)
{
    Window& parent = Shared().parent;
    auto first = std::make_unique<BusyWindow>(&parent);
    auto second = std::make_unique<BusyWindow>(&parent);
    first.reset();
    EXPECT_EQ(GetCapture(), second->GetHandle());
    EXPECT_EQ(GetCursor(), System(IDC_WAIT));
    second.reset();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetCursor(), System(IDC_ARROW));
}

TEST(BusyWindow, WithoutAParentItBlocksUnderTheMainWindow)
{
    Window& main = Shared().main;
    {
        AppBase app;
        app.SetMainWindow(&main);
        {
            BusyWindow busy;
            EXPECT_EQ(GetParent(busy.GetHandle()), main.GetHandle());
            EXPECT_EQ(GetCapture(), busy.GetHandle());
            EXPECT_EQ(GetCursor(), System(IDC_WAIT));
        }
        EXPECT_EQ(GetCapture(), nullptr);
        app.SetMainWindow(nullptr); // the shared window outlives the application
    }
    // Without an application only the wait cursor shows.
    {
        BusyWindow busy;
        EXPECT_EQ(busy.GetHandle(), nullptr);
        EXPECT_EQ(GetCursor(), System(IDC_WAIT));
    }
    EXPECT_EQ(GetCursor(), System(IDC_ARROW));
}
} // namespace

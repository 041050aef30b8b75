// What the mixer costs on screen, next to a bare window of the same size and place measured in
// the same run: a full repaint of the main window (time, and the GDI calls of this program's
// own image per repaint), the idle CPU of the process over some seconds while the simulated
// card's meters move, and the same with the FX palette and an effect view open.
//
//   mixer_paint_bench [rounds=3] [seconds=20]
//
// Two rows set the mixer against what Wine itself costs: the repaint against a bare window
// split into as many child windows as the mixer's repaint paints, and the idle CPU against a
// bare window that repaints a meter's area on a 25 ms timer.
//
// Every figure is taken in a process of its own, started from here: the mixer on the shipped
// simulated card, a bare window of that main window's size, the mixer on the card with 32
// strips, a bare window of that size; then the next round. The mixer runs in-process (the
// application with the stand-in engine, as the screenshot programs start it) so that the GDI
// imports of this image can be counted: each import slot is pointed at a counting thunk.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "bench/support/BenchClock.h"
#include "mixer/app/Application.h"
#include "mixer/app/MainWindow.h"
#include "mixer/app/tests/BareDesktop.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/MainSectionView.h"

namespace fs = std::filesystem;

namespace
{
double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0.0;
    const auto value = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return (value(kernel) + value(user)) * 1e-7;
}

// Counts the calls this image makes through its gdi32 import slots: each slot is pointed at a
// thunk that increments the function's counter and jumps on to the original.
class GdiCounter
{
public:
    void Install()
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!directory.VirtualAddress)
            return;
        block_ = static_cast<BYTE*>(
            VirtualAlloc(nullptr, kEntry * kMaxEntries, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
        if (!block_)
            return;
        for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name;
             ++import)
        {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), "gdi32.dll") != 0)
                continue;
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
            auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(
                base + (import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk));
            for (; slot->u1.Function && names_.size() < kMaxEntries; ++slot, ++name)
            {
                std::string function = "#";
                if (!IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                    function = reinterpret_cast<const char*>(
                        reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name);
                BYTE* entry = block_ + kEntry * names_.size();
                MakeThunk(entry, slot->u1.Function);
                DWORD protection = 0;
                if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection))
                    continue;
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(entry);
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
                names_.push_back(function);
            }
        }
    }
    bool Installed() const { return !names_.empty(); }
    // Calls so far of the functions named (all with none).
    unsigned long long Calls(std::initializer_list<const char*> functions = {}) const
    {
        unsigned long long sum = 0;
        for (size_t i = 0; i < names_.size(); ++i)
        {
            bool counted = functions.size() == 0;
            for (const char* function : functions)
                counted = counted || names_[i] == function;
            if (counted)
                sum += *reinterpret_cast<unsigned long long*>(block_ + kEntry * i + kCounter);
        }
        return sum;
    }

private:
    static constexpr size_t kEntry = 48;   // code, then the counter and the original's address
    static constexpr size_t kCounter = 32; // a 64-bit counter
    static constexpr size_t kOriginal = 40;
    static constexpr size_t kMaxEntries = 512;

    void MakeThunk(BYTE* entry, ULONG_PTR original)
    {
        std::memcpy(entry + kOriginal, &original, sizeof original);
#if defined(__i386__)
        // add dword [counter], 1; adc dword [counter + 4], 0; jmp [original]
        const auto counter = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry + kCounter));
        const auto high = counter + 4;
        const auto target = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry + kOriginal));
        BYTE code[] = {0x83, 0x05, 0, 0, 0, 0, 0x01, 0x83, 0x15, 0, 0, 0, 0, 0x00, 0xFF, 0x25, 0, 0, 0, 0};
        std::memcpy(code + 2, &counter, 4);
        std::memcpy(code + 9, &high, 4);
        std::memcpy(code + 16, &target, 4);
        static_assert(sizeof code <= kCounter, "the thunk fits before its counter");
#else
        // inc qword [rip + counter]; jmp [rip + original]
        BYTE code[] = {0x48, 0xFF, 0x05, 0, 0, 0, 0, 0xFF, 0x25, 0, 0, 0, 0};
        const int32_t counter = static_cast<int32_t>(kCounter) - 7;
        const int32_t target = static_cast<int32_t>(kOriginal) - 13;
        std::memcpy(code + 3, &counter, 4);
        std::memcpy(code + 9, &target, 4);
        static_assert(sizeof code <= kCounter, "the thunk fits before its counter");
#endif
        std::memcpy(entry, code, sizeof code);
    }

    BYTE* block_ = nullptr;
    std::vector<std::string> names_;
};

GdiCounter gGdi;

// Serves the messages as a message loop does (waiting, not polling) until the time is up.
void Serve(double seconds)
{
    const double end = Seconds() + seconds;
    for (double now = Seconds(); now < end; now = Seconds())
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((end - now) * 1000.0) + 1, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

// What one measuring process found, written to the file the parent named.
struct Findings
{
    RECT place = {};
    std::vector<double> repaints;             // ms each
    std::vector<double> repaintsWithChildren; // bare: as many windows as the mixer paints
    double gdiPerRepaint = 0, blitsPerRepaint = 0, contextsPerRepaint = 0;
    double idleCpu = 0, idleGdiPerSecond = 0; // CPU as a fraction of one core
    double paletteCpu = -1, paletteGdiPerSecond = 0;
    double tickingCpu = 0, tickingGdiPerSecond = 0; // bare: a timer repainting a meter's area
    int windows = 0;                                // painted by a full repaint

    void Write(const std::string& path) const
    {
        std::ofstream out(path);
        out << "place " << place.left << ' ' << place.top << ' ' << place.right << ' ' << place.bottom << '\n';
        out << "gdi " << gdiPerRepaint << ' ' << blitsPerRepaint << ' ' << contextsPerRepaint << '\n';
        out << "idle " << idleCpu << ' ' << idleGdiPerSecond << '\n';
        out << "palette " << paletteCpu << ' ' << paletteGdiPerSecond << '\n';
        out << "ticking " << tickingCpu << ' ' << tickingGdiPerSecond << '\n';
        out << "windows " << windows << '\n';
        out << "repaints";
        for (double ms : repaints)
            out << ' ' << ms;
        out << "\nchildren";
        for (double ms : repaintsWithChildren)
            out << ' ' << ms;
        out << '\n';
    }
    bool Read(const std::string& path)
    {
        std::ifstream in(path);
        std::string line;
        bool any = false;
        while (std::getline(in, line))
        {
            std::istringstream words(line);
            std::string key;
            words >> key;
            if (key == "place")
                words >> place.left >> place.top >> place.right >> place.bottom;
            else if (key == "gdi")
                words >> gdiPerRepaint >> blitsPerRepaint >> contextsPerRepaint;
            else if (key == "idle")
                words >> idleCpu >> idleGdiPerSecond;
            else if (key == "palette")
                words >> paletteCpu >> paletteGdiPerSecond;
            else if (key == "ticking")
                words >> tickingCpu >> tickingGdiPerSecond;
            else if (key == "windows")
                words >> windows;
            else if (key == "repaints")
                for (double ms; words >> ms;)
                    repaints.push_back(ms);
            else if (key == "children")
                for (double ms; words >> ms;)
                    repaintsWithChildren.push_back(ms);
            any = true;
        }
        return any && !repaints.empty();
    }
};

constexpr int kRepaints = 40;

// Full repaints of the window and its children, each painted before the call returns.
BOOL CALLBACK CountVisible(HWND window, LPARAM count)
{
    if (IsWindowVisible(window))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

void MeasureRepaints(HWND window, Findings& findings, std::vector<double>& times)
{
    findings.windows = 1;
    EnumChildWindows(window, CountVisible, reinterpret_cast<LPARAM>(&findings.windows));
    const UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
    for (int i = 0; i < 5; ++i) // warm: every image touched once
        RedrawWindow(window, nullptr, nullptr, flags);
    GdiFlush();
    const unsigned long long calls = gGdi.Calls();
    const unsigned long long blits = gGdi.Calls({"BitBlt", "StretchBlt"});
    const unsigned long long contexts = gGdi.Calls({"CreateCompatibleDC"});
    for (int i = 0; i < kRepaints; ++i)
    {
        const double start = Seconds();
        RedrawWindow(window, nullptr, nullptr, flags);
        GdiFlush();
        times.push_back((Seconds() - start) * 1e3);
    }
    findings.gdiPerRepaint = static_cast<double>(gGdi.Calls() - calls) / kRepaints;
    findings.blitsPerRepaint = static_cast<double>(gGdi.Calls({"BitBlt", "StretchBlt"}) - blits) / kRepaints;
    findings.contextsPerRepaint = static_cast<double>(gGdi.Calls({"CreateCompatibleDC"}) - contexts) / kRepaints;
}

// CPU of the whole process (its engine threads included) while it serves its messages.
void MeasureIdle(double seconds, double& cpu, double& gdiPerSecond)
{
    Serve(1.0); // what the last step started settles first
    const unsigned long long calls = gGdi.Calls();
    const double cpuStart = ProcessCpuSeconds();
    const double start = Seconds();
    Serve(seconds);
    const double wall = Seconds() - start;
    cpu = std::max(0.0, ProcessCpuSeconds() - cpuStart) / wall;
    gdiPerSecond = static_cast<double>(gGdi.Calls() - calls) / wall;
}

// ---- the bare window ----

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static HBRUSH brush = CreateSolidBrush(RGB(0x40, 0x40, 0x40));
    if (message == WM_PAINT)
    {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, brush);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == WM_TIMER)
    {
        // What one moving meter asks for: its area painted again on every tick.
        const RECT meter = {10, 10, 22, 130};
        InvalidateRect(window, &meter, FALSE);
        UpdateWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int RunBare(const RECT& place, int windows, double seconds, const std::string& result)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KivPaintBenchBare";
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "bare", WS_POPUP | WS_VISIBLE, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    Serve(1.0);
    Findings findings;
    findings.place = place;
    MeasureRepaints(window, findings, findings.repaints);
    MeasureIdle(seconds, findings.idleCpu, findings.idleGdiPerSecond);
    SetTimer(window, 1, 25, nullptr);
    MeasureIdle(seconds, findings.tickingCpu, findings.tickingGdiPerSecond);
    KillTimer(window, 1);
    // The same window split into as many child windows as the mixer's repaint painted.
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const int children = std::max(windows - 1, 0);
    const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(children))));
    const int rows = std::max(1, (children + columns - 1) / columns);
    for (int i = 0; i < children; ++i)
        CreateWindowExA(0, windowClass.lpszClassName, "child", WS_CHILD | WS_VISIBLE, i % columns * width / columns,
                        i / columns * height / rows, width / columns, height / rows, window, nullptr,
                        windowClass.hInstance, nullptr);
    Serve(0.5);
    Findings split = findings; // its counts are not the one window's
    MeasureRepaints(window, split, findings.repaintsWithChildren);
    findings.Write(result);
    DestroyWindow(window);
    return 0;
}

// ---- the mixer ----

using namespace baredesktop;

class BenchApplication : public Application
{
public:
    BenchApplication(double seconds, std::string result)
        : Application(CreateStandin), seconds_(seconds), result_(std::move(result))
    {
    }
    int InitAfterCreate() override
    {
        if (!Application::InitAfterCreate())
        {
            std::fprintf(stderr, "the start-up failed\n");
            return 0;
        }
        Serve(0.3);
        MainWindow* window = GetFirstViewField();
        if (!window)
            return 0;
        window->Show();
        Serve(1.0);
        auto* frame = dynamic_cast<FrameApp*>(window->GetFrame());
        if (!frame || !frame->GetHandle())
        {
            std::fprintf(stderr, "no main frame\n");
            return 0;
        }
        Findings findings;
        GetWindowRect(frame->GetHandle(), &findings.place);
        MeasureRepaints(frame->GetHandle(), findings, findings.repaints);
        MeasureIdle(seconds_, findings.idleCpu, findings.idleGdiPerSecond);
        frame->ShowFxPalette(1);
        if (auto* section = dynamic_cast<MainSectionView*>(frame->GetMainSection()))
            section->SetTVMode(0);
        MeasureIdle(seconds_, findings.paletteCpu, findings.paletteGdiPerSecond);
        frame->ShowFxPalette(0); // the choice is stored: the next start must not open it
        findings.Write(result_);
        return 0;
    }

private:
    double seconds_;
    std::string result_;
};

int RunMixer(double seconds, const std::string& result)
{
    NoNotifier notifier;
    TrayIcon::SetNotifier(&notifier);
    NoMessages messages;
    BenchApplication application(seconds, result);
    application.SetMessages(&messages);
    application.GetAppWindow().Run(GetModuleHandleA(nullptr), 0, 0, SW_SHOW);
    return 0;
}

// ---- the parent ----

fs::path Folder()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path();
}

bool RunChild(const std::string& arguments)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"" + std::string(self) + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    const bool ended = WaitForSingleObject(process.hProcess, 600000) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

struct Spread
{
    double min = 0, median = 0, max = 0;
};

Spread SpreadOf(std::vector<double> values)
{
    Spread spread;
    if (values.empty())
        return spread;
    std::sort(values.begin(), values.end());
    spread.min = values.front();
    spread.median = values[values.size() / 2];
    spread.max = values.back();
    return spread;
}

struct Card
{
    const char* label;
    std::string text;
    std::vector<Findings> mixer, bare;
};

// The shipped card with its strip count replaced.
std::string WithStrips(const std::string& card, int strips)
{
    std::istringstream lines(card);
    std::string out;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("strips=", 0) != 0)
            out += line + "\n";
    return out + "strips=" + std::to_string(strips) + "\n";
}

int StripCount(const std::string& card)
{
    int strips = -1;
    std::istringstream lines(card);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("strips=", 0) == 0)
            strips = std::atoi(line.c_str() + 7);
    return strips;
}

void PrintRow(const char* what, const char* unit, double scale, const std::vector<double>& bare,
              const std::vector<double>& mixer)
{
    const Spread b = SpreadOf(bare);
    const Spread m = SpreadOf(mixer);
    std::printf("  %-34s %-3s bare %8.2f %8.2f %8.2f   mixer %8.2f %8.2f %8.2f", what, unit, b.min * scale,
                b.median * scale, b.max * scale, m.min * scale, m.median * scale, m.max * scale);
    // The process clock counts in steps of a few milliseconds: a bare window often uses none.
    if (b.median * scale >= 0.005)
        std::printf("   ratio %7.1fx\n", m.median / b.median);
    else
        std::printf("   ratio (bare 0)\n");
}

template <typename Field>
std::vector<double> Collect(const std::vector<Findings>& all, Field field)
{
    std::vector<double> values;
    for (const Findings& findings : all)
        values.push_back(field(findings));
    return values;
}

int RunParent(int rounds, double seconds)
{
    const fs::path folder = Folder();
    const fs::path program = folder / ".." / ".." / "program";
    std::error_code error;
    for (const char* skins : {"System", "Skins"})
    {
        fs::remove_all(folder / skins, error);
        fs::copy(program / skins, folder / skins, fs::copy_options::recursive, error);
    }
    std::ifstream shipped(program / "SimulatedCard.txt");
    std::stringstream text;
    text << shipped.rdbuf();
    if (text.str().empty() || !fs::exists(folder / "Skins"))
    {
        std::fprintf(stderr, "the program folder (skins, SimulatedCard.txt) must be built\n");
        return 1;
    }
    Card cards[] = {{"the shipped card", text.str(), {}, {}}, {"32 strips", WithStrips(text.str(), 32), {}, {}}};
    const std::string result = (folder / "paint-bench-result.txt").string();
    for (int round = 0; round < rounds; ++round)
        for (Card& card : cards)
        {
            std::ofstream(folder / "SimulatedCard.txt") << card.text;
            fs::remove(result, error);
            Findings mixer;
            if (!RunChild("mixer " + std::to_string(seconds) + " \"" + result + "\"") || !mixer.Read(result))
            {
                std::fprintf(stderr, "round %d, %s: the mixer did not report\n", round + 1, card.label);
                return 1;
            }
            fs::remove(result, error);
            const RECT& p = mixer.place;
            Findings bare;
            if (!RunChild("bare " + std::to_string(p.left) + " " + std::to_string(p.top) + " " +
                          std::to_string(p.right) + " " + std::to_string(p.bottom) + " " +
                          std::to_string(mixer.windows) + " " + std::to_string(seconds) + " \"" + result + "\"") ||
                !bare.Read(result))
            {
                std::fprintf(stderr, "round %d: the bare window did not report\n", round + 1);
                return 1;
            }
            card.mixer.push_back(mixer);
            card.bare.push_back(bare);
            std::fprintf(stderr, "round %d, %s: done\n", round + 1, card.label);
        }
    fs::remove(result, error);
    fs::copy_file(program / "SimulatedCard.txt", folder / "SimulatedCard.txt", fs::copy_options::overwrite_existing,
                  error);

    std::printf("mixer_paint_bench: %d interleaved rounds, idle %.0f s each; min, median, max; ratio of the medians\n",
                rounds, seconds);
    for (const Card& card : cards)
    {
        const RECT& p = card.mixer.front().place;
        std::printf("%s (%d strips), main window %ld x %ld, %d windows painted by a full repaint:\n", card.label,
                    StripCount(card.text), p.right - p.left, p.bottom - p.top, card.mixer.front().windows);
        std::vector<double> bareRepaints, mixerRepaints;
        for (const Findings& f : card.bare)
            bareRepaints.insert(bareRepaints.end(), f.repaints.begin(), f.repaints.end());
        for (const Findings& f : card.mixer)
            mixerRepaints.insert(mixerRepaints.end(), f.repaints.begin(), f.repaints.end());
        PrintRow("full repaint", "ms", 1.0, bareRepaints, mixerRepaints);
        // What Wine itself takes to paint that many windows, each with one fill.
        std::vector<double> bareChildren;
        for (const Findings& f : card.bare)
            bareChildren.insert(bareChildren.end(), f.repaintsWithChildren.begin(), f.repaintsWithChildren.end());
        PrintRow("  against as many bare windows", "ms", 1.0, bareChildren, mixerRepaints);
        PrintRow("GDI calls per repaint", "", 1.0, Collect(card.bare, [](auto& f) { return f.gdiPerRepaint; }),
                 Collect(card.mixer, [](auto& f) { return f.gdiPerRepaint; }));
        PrintRow("  of them blits", "", 1.0, Collect(card.bare, [](auto& f) { return f.blitsPerRepaint; }),
                 Collect(card.mixer, [](auto& f) { return f.blitsPerRepaint; }));
        PrintRow("  memory contexts made", "", 1.0, Collect(card.bare, [](auto& f) { return f.contextsPerRepaint; }),
                 Collect(card.mixer, [](auto& f) { return f.contextsPerRepaint; }));
        PrintRow("idle CPU, meters moving", "%", 100.0, Collect(card.bare, [](auto& f) { return f.idleCpu; }),
                 Collect(card.mixer, [](auto& f) { return f.idleCpu; }));
        PrintRow("idle GDI calls per second", "", 1.0, Collect(card.bare, [](auto& f) { return f.idleGdiPerSecond; }),
                 Collect(card.mixer, [](auto& f) { return f.idleGdiPerSecond; }));
        PrintRow("idle CPU, FX palette + effect view", "%", 100.0,
                 Collect(card.bare, [](auto& f) { return f.idleCpu; }),
                 Collect(card.mixer, [](auto& f) { return f.paletteCpu; }));
        PrintRow("  GDI calls per second", "", 1.0, Collect(card.bare, [](auto& f) { return f.idleGdiPerSecond; }),
                 Collect(card.mixer, [](auto& f) { return f.paletteGdiPerSecond; }));
        // The floor a ticking program pays under Wine: a bare window repainting one meter's
        // area every 25 ms.
        PrintRow("idle CPU against a ticking bare window", "%", 100.0,
                 Collect(card.bare, [](auto& f) { return f.tickingCpu; }),
                 Collect(card.mixer, [](auto& f) { return f.idleCpu; }));
    }
    if (!gGdi.Installed())
        std::printf("(GDI calls were not counted: no gdi32 imports found)\n");
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    gGdi.Install();
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "mixer" && argc == 4)
        return RunMixer(std::atof(argv[2]), argv[3]);
    if (mode == "bare" && argc == 9)
    {
        const RECT place = {std::atol(argv[2]), std::atol(argv[3]), std::atol(argv[4]), std::atol(argv[5])};
        return RunBare(place, std::atoi(argv[6]), std::atof(argv[7]), argv[8]);
    }
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 20.0;
    if (rounds < 1 || seconds <= 0)
    {
        std::fprintf(stderr, "usage: mixer_paint_bench [rounds=3] [seconds=20]\n");
        return 1;
    }
    return RunParent(rounds, seconds);
}

// Times Orvane.exe against two floor programs under the same conditions:
// floor_grid (the same dialog template with 128 plain owner-drawn buttons
// painted by FillRect, doing the same window operations) and floor_bare (the
// template alone). The programs run side by side and take turns, so that the
// machine's moods fall on all of them alike. Then watches the memory of
// Orvane and of the floors over many openings of the About box (floor_bare
// shows its template alone) and many cell clicks.
//   gui_bench.exe [--rounds N] [--starts N] [--no-memory] [--orvane PATH] [--compare PATH]
// --orvane times another build of Orvane.exe in place of this tree's;
// --compare adds another build (an older one, say) to the same run.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{

constexpr int kHexEdit = 1000, kBitmapButton = 1002, kFirstCell = 9000;
constexpr UINT kAboutCommand = 0x0010;
const char kAll128[] = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF";
const char kZeros[] = "00";

std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
    {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Fail(const char* what)
{
    std::fprintf(stderr, "gui_bench: %s\n", what);
    std::exit(1);
}

struct Program
{
    Program(const char* name, std::string path, bool grid) : name(name), path(std::move(path)), grid(grid) {}

    const char* name;
    std::string path;
    bool grid; // has the 128 cells
    PROCESS_INFORMATION info = {};
    HWND dialog = nullptr;
    std::vector<HWND> children; // of the dialog, top of the z-order first
    std::vector<HWND> cells;
    HWND edit = nullptr;
    HWND bitmapButton = nullptr;

    // Looking a window up in another process costs a call to the Wine server
    // for each child before it: the lists are made once, before any timing.
    HWND Item(int id) const
    {
        const auto found = std::find_if(children.begin(), children.end(),
                                        [&](HWND child) { return ::GetDlgCtrlID(child) == id; });
        return found == children.end() ? nullptr : *found;
    }
    HWND Cell(int bit) const { return cells[static_cast<std::size_t>(bit - 1)]; }
    void ListWindows()
    {
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        edit = Item(kHexEdit);
        bitmapButton = Item(kBitmapButton);
        for (int bit = 1; grid && bit <= 128; ++bit)
            cells.push_back(Item(kFirstCell + bit - 1));
    }
    // These windows of the dialog in z-order, top first.
    std::vector<HWND> InZOrder(const std::vector<HWND>& windows) const
    {
        std::vector<HWND> ordered;
        for (HWND child : children)
        {
            if (std::find(windows.begin(), windows.end(), child) != windows.end())
                ordered.push_back(child);
        }
        return ordered;
    }
};

struct FindContext
{
    HWND except;
    HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM param)
{
    auto* context = reinterpret_cast<FindContext*>(param);
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (window == context->except || !::IsWindowVisible(window) || std::strcmp(className, "#32770") != 0)
        return TRUE;
    context->found = window;
    return FALSE;
}

HWND FindDialog(DWORD threadId, HWND except = nullptr)
{
    FindContext context = {except, nullptr};
    ::EnumThreadWindows(threadId, FindVisibleDialog, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

// Returns once the program has handled everything sent so far and painted
// every window of its dialog that needed it. The paints are forced from
// here, racing the program's own: only for setting up, never timed.
void Settle(HWND dialog)
{
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::SendMessageA(dialog, WM_NULL, 0, 0);
}

// Sleeps for a fraction of a millisecond (Sleep counts whole ones).
void Pause(LONGLONG microseconds)
{
    using DelayFunction = LONG(NTAPI*)(BOOLEAN, const LARGE_INTEGER*);
    static const auto delay = reinterpret_cast<DelayFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtDelayExecution")));
    LARGE_INTEGER interval;
    interval.QuadPart = -10 * microseconds;
    delay(FALSE, &interval);
}

bool NeedsPaint(HWND window)
{
    return ::GetUpdateRect(window, nullptr, FALSE) != FALSE;
}

// Waits, without touching the program, until it has painted `windows` (its
// dialog first, then its children from the top of the z-order down: the
// order in which a program paints them) and then every other window of its
// dialog. Returns when the last of them was first seen painted, counted
// from `since` if none had to be waited for.
double WaitUntilPainted(const Program& program, const std::vector<HWND>& windows, double since)
{
    double painted = since;
    auto await = [&](HWND window) {
        while (NeedsPaint(window))
        {
            Pause(200);
            painted = std::max(painted, NowMs());
        }
    };
    // The last window painted goes first: once it is, the others mostly are.
    for (auto window = windows.rbegin(); window != windows.rend(); ++window)
        await(*window);
    await(program.dialog);
    for (HWND child : program.children)
    {
        if (::GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)
            await(child);
    }
    return painted;
}

bool Launch(Program& program)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program.path + "\"";
    return ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &program.info) != FALSE;
}

// Waits until the program shows its main dialog with cells 1 and 64
// painted (without cells, the dialog itself painted).
HWND WaitUntilShown(const Program& program)
{
    ::WaitForInputIdle(program.info.hProcess, 20000);
    const double deadline = NowMs() + 20000;
    HWND dialog = nullptr;
    while ((dialog = FindDialog(program.info.dwThreadId)) == nullptr)
    {
        if (NowMs() > deadline)
            return nullptr;
        ::Sleep(1);
    }
    // The dialog shows once its cells exist; they are looked up once.
    std::vector<HWND> watched;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        const int id = ::GetDlgCtrlID(child);
        if (program.grid && (id == kFirstCell || id == kFirstCell + 63))
            watched.push_back(child);
    }
    if (!program.grid)
        watched.push_back(dialog);
    else if (watched.size() != 2)
        return nullptr;
    for (HWND window : watched)
    {
        while (NeedsPaint(window) || !::IsWindowVisible(window))
        {
            if (NowMs() > deadline)
                return nullptr;
            Pause(200);
        }
    }
    return dialog;
}

void End(Program& program)
{
    if (program.info.hProcess == nullptr)
        return;
    if (program.dialog != nullptr)
        ::PostMessageA(program.dialog, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(program.info.hProcess, 10000) != WAIT_OBJECT_0)
    {
        ::TerminateProcess(program.info.hProcess, 99);
        ::WaitForSingleObject(program.info.hProcess, 5000);
    }
    ::CloseHandle(program.info.hThread);
    ::CloseHandle(program.info.hProcess);
    program.info = {};
    program.dialog = nullptr;
}

// CreateProcess until the dialog shows its first and last primary cells painted.
double TimeStartUp(Program& program)
{
    const double start = NowMs();
    if (!Launch(program))
        Fail("cannot start a program");
    program.dialog = WaitUntilShown(program);
    const double elapsed = NowMs() - start;
    if (program.dialog == nullptr)
        Fail("a program did not show its dialog");
    End(program);
    return elapsed;
}

void Focus(const Program& program)
{
    if (::GetForegroundWindow() != program.dialog)
        ::SetForegroundWindow(program.dialog);
    Settle(program.dialog);
}

std::string EditText(HWND edit)
{
    char text[128] = {};
    ::SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// "位图" with `text` in the edit box, until the windows it changes have
// repainted: the edit box, the cells shown after it (for a grid) and the
// dialog where cells were hidden.
double TimeBitmap(const Program& program, const char* text, const std::vector<HWND>& changed)
{
    ::SetWindowTextA(program.edit, text);
    Focus(program);
    const double start = NowMs();
    ::SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(kBitmapButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(program.bitmapButton));
    return WaitUntilPainted(program, changed, NowMs()) - start;
}

void Click(HWND cell)
{
    ::SendMessageA(cell, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    ::SendMessageA(cell, WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
}

// A click on the cell of `bit`, until the edit box shows the new text and
// every other window it changes has repainted.
double TimeClick(const Program& program, int bit, const std::vector<HWND>& changed)
{
    Focus(program);
    HWND cell = program.Cell(bit);
    const std::string before = EditText(program.edit);
    const double start = NowMs();
    Click(cell);
    const double elapsed = WaitUntilPainted(program, changed, NowMs()) - start;
    if (EditText(program.edit) == before)
        Fail("a cell click did not change the text");
    return elapsed;
}

// What one call to the window server costs here, the unit of every figure:
// asking for the foreground window is nothing but that call.
double ServerRoundTripMicroseconds()
{
    constexpr int kCalls = 2000;
    const double start = NowMs();
    for (int i = 0; i < kCalls; ++i)
        ::GetForegroundWindow();
    return 1000.0 * (NowMs() - start) / kCalls;
}

struct Series
{
    std::vector<double> samples;
    double Quantile(double q) const
    {
        std::vector<double> sorted = samples;
        std::sort(sorted.begin(), sorted.end());
        if (sorted.empty())
            return 0;
        const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(sorted.size())));
        return sorted[std::min(sorted.size(), std::max<std::size_t>(rank, 1)) - 1];
    }
    double Median() const { return Quantile(0.5); }
    double P90() const { return Quantile(0.9); }
};

// Orvane against the grid floor: the ratio of the medians, of the p90s, and
// the median of the ratios of samples taken side by side in the same round,
// which holds up best when the machine's load drifts during the run.
void PrintRow(const char* figure, const Series& orvane, const Series& grid, const Series* bare)
{
    char bareText[32] = "";
    if (bare != nullptr)
        std::snprintf(bareText, sizeof bareText, "%7.2f %7.2f", bare->Median(), bare->P90());
    Series paired;
    for (std::size_t i = 0; i < orvane.samples.size() && i < grid.samples.size(); ++i)
        paired.samples.push_back(orvane.samples[i] / grid.samples[i]);
    std::printf("%-28s %7.2f %7.2f   %7.2f %7.2f   %-15s   %5.2fx %5.2fx %5.2fx\n", figure, orvane.Median(),
                orvane.P90(), grid.Median(), grid.P90(), bareText, orvane.Median() / grid.Median(),
                orvane.P90() / grid.P90(), paired.Median());
}

// What Wine reports of another process: its resident and committed memory
// (GDI and USER object counts and private bytes read 0 there).
struct MemorySample
{
    long long workingSetKiB;
    long long committedKiB;
};

MemorySample SampleMemory(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(process, &counters, sizeof counters);
    return {static_cast<long long>(counters.WorkingSetSize / 1024),
            static_cast<long long>(counters.PagefileUsage / 1024)};
}

void PrintMemory(const char* what, int count, const MemorySample& sample)
{
    std::printf("  %-12s %5d   working set %7lld KiB   committed %7lld KiB\n", what, count, sample.workingSetKiB,
                sample.committedKiB);
}

// The samples from the 50th operation on, once the first uses have filled
// the program's caches.
struct MemoryRange
{
    MemorySample first = {}, last = {};
    long long lowest = 0, highest = 0;
    int count = 0;

    void Add(const MemorySample& sample)
    {
        if (count++ == 0)
            first = sample, lowest = highest = sample.workingSetKiB;
        last = sample;
        lowest = std::min(lowest, sample.workingSetKiB);
        highest = std::max(highest, sample.workingSetKiB);
    }
    void Print(const char* what) const
    {
        std::printf("  %s: %d samples, working set %lld..%lld KiB, last - first %+lld KiB, committed %+lld KiB\n",
                    what, count, lowest, highest, last.workingSetKiB - first.workingSetKiB,
                    last.committedKiB - first.committedKiB);
    }
};

void OpenAndCloseAbout(const Program& program)
{
    ::PostMessageA(program.dialog, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = nullptr;
    const double deadline = NowMs() + 10000;
    while ((about = FindDialog(program.info.dwThreadId, program.dialog)) == nullptr)
    {
        if (NowMs() > deadline)
            Fail("the About box did not open");
        ::Sleep(1);
    }
    ::PostMessageA(about, WM_COMMAND, IDOK, 0);
    while (::IsWindow(about))
    {
        if (NowMs() > deadline)
            Fail("the About box did not close");
        ::Sleep(1);
    }
}

// 300 openings of the About box, memory read every 50.
void WatchAboutBoxes(const Program& program)
{
    std::printf("\n%s's memory over About boxes, every 50:\n", program.name);
    MemoryRange range;
    for (int n = 0; n <= 300; ++n)
    {
        if (n % 50 == 0)
        {
            const MemorySample sample = SampleMemory(program.info.hProcess);
            PrintMemory("About boxes", n, sample);
            if (n >= 50)
                range.Add(sample);
        }
        if (n < 300)
            OpenAndCloseAbout(program);
    }
    range.Print("About boxes 50..300");
}

// 5,000 cell clicks, memory read every 50.
void WatchClicks(const Program& program)
{
    std::printf("\n%s's memory over cell clicks, every 50 (every 500th printed):\n", program.name);
    MemoryRange range;
    Focus(program);
    for (int n = 0; n <= 5000; ++n)
    {
        if (n % 50 == 0)
        {
            Settle(program.dialog);
            const MemorySample sample = SampleMemory(program.info.hProcess);
            if (n % 500 == 0)
                PrintMemory("cell clicks", n, sample);
            if (n >= 50)
                range.Add(sample);
        }
        if (n < 5000)
        {
            Click(program.Cell(n % 128 + 1));
            if (n % 8 == 0)
                Settle(program.dialog);
        }
    }
    range.Print("cell clicks 50..5000");
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 40, starts = 20;
    bool memory = true;
    std::string orvanePath = ORVANE_EXE, comparePath;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--starts") == 0 && i + 1 < argc)
            starts = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--no-memory") == 0)
            memory = false;
        else if (std::strcmp(argv[i], "--orvane") == 0 && i + 1 < argc)
            orvanePath = argv[++i];
        else if (std::strcmp(argv[i], "--compare") == 0 && i + 1 < argc)
            comparePath = argv[++i];
        else
            Fail("usage: gui_bench.exe [--rounds N] [--starts N] [--no-memory] [--orvane PATH] [--compare PATH]");
    }

    // Wine ends the processes of a virtual desktop once its last window is
    // gone: a small window of our own keeps it while programs come and go.
    ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "gui_bench", WS_POPUP | WS_VISIBLE, 1020, 764, 4,
                      4, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::SetCursorPos(1010, 750); // the pointer away from every cell

    std::vector<Program> programs = {{"Orvane", WindowsPath(orvanePath), true},
                                     {"floor_grid", WindowsPath(FLOOR_GRID_EXE), true},
                                     {"floor_bare", WindowsPath(FLOOR_BARE_EXE), false}};
    if (!comparePath.empty())
        programs.emplace_back("compared", WindowsPath(comparePath), true);
    const int kPrograms = static_cast<int>(programs.size());
    const POINT places[] = {{0, 0}, {512, 0}, {0, 384}, {512, 384}};

    // Start-up, one fresh process at a time, taking turns; the first of each
    // warms the caches and is not counted.
    std::vector<Series> startUp(programs.size());
    for (int round = -1; round < starts; ++round)
    {
        for (int k = 0; k < kPrograms; ++k)
        {
            const int p = (round + kPrograms + k) % kPrograms;
            const double ms = TimeStartUp(programs[p]);
            if (round >= 0)
                startUp[p].samples.push_back(ms);
        }
    }

    for (int p = 0; p < kPrograms; ++p)
    {
        if (!Launch(programs[p]) || (programs[p].dialog = WaitUntilShown(programs[p])) == nullptr)
            Fail("a program did not start");
        ::SetWindowPos(programs[p].dialog, nullptr, places[p].x, places[p].y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        programs[p].ListWindows();
    }

    std::vector<Series> all128(programs.size()), zeros(programs.size()), clicks(programs.size()),
        firstCell(programs.size());
    for (int round = -1; round < rounds; ++round)
    {
        for (int k = 0; k < kPrograms; ++k)
        {
            const int p = (round + kPrograms + k) % kPrograms;
            const Program& program = programs[p];
            // Windows that change: the edit box always, cells as they show.
            std::vector<HWND> primary = {program.edit}, all = primary;
            for (int bit = 1; program.grid && bit <= 128; ++bit)
            {
                all.push_back(program.Cell(bit));
                if (bit <= 64)
                    primary.push_back(program.Cell(bit));
            }
            TimeBitmap(program, kZeros, {}); // from the same state every time
            const double full = TimeBitmap(program, kAll128, program.InZOrder(all));
            const double empty = TimeBitmap(program, kZeros, program.InZOrder(primary));
            if (round < 0)
                continue;
            all128[p].samples.push_back(full);
            zeros[p].samples.push_back(empty);
            if (!program.grid)
                continue;
            const int bit = 2 + round % 63;
            const std::vector<HWND> one = program.InZOrder({program.edit, program.Cell(bit)});
            clicks[p].samples.push_back(TimeClick(program, bit, one)); // set
            clicks[p].samples.push_back(TimeClick(program, bit, one)); // and clear again
            std::vector<HWND> first = {program.edit};
            for (int shown = 1; shown <= 128; shown += shown == 1 ? 64 : 1)
                first.push_back(program.Cell(shown));
            firstCell[p].samples.push_back(TimeClick(program, 1, program.InZOrder(first))); // shows cells 65..128
            firstCell[p].samples.push_back(
                TimeClick(program, 1, program.InZOrder({program.edit, program.Cell(1)}))); // hides them
        }
    }

    if (rounds > 0 && starts > 0)
    {
        std::printf("A round trip to the window server: %.1f microseconds.\n", ServerRoundTripMicroseconds());
        std::printf("Milliseconds, median and p90; %d rounds, %d start-ups each, programs taking turns.\n", rounds,
                    starts);
        std::printf("%-28s %-17s %-17s %-17s %s\n", "", "Orvane", "floor_grid", "floor_bare",
                    "Orvane / floor_grid");
        std::printf("%-28s %-17s %-17s %-17s %s\n", "figure", " median     p90", " median     p90",
                    " median     p90", "median   p90 paired");
        PrintRow("bitmap button, all 128 bits", all128[0], all128[1], &all128[2]);
        PrintRow("bitmap button, \"00\"", zeros[0], zeros[1], &zeros[2]);
        PrintRow("cell click (cells 2-64)", clicks[0], clicks[1], nullptr);
        PrintRow("cell 1 click", firstCell[0], firstCell[1], nullptr);
        PrintRow("start-up", startUp[0], startUp[1], &startUp[2]);
        if (programs.size() > 3)
        {
            std::printf("\nThis build against the compared one (%s), in the same run:\n", comparePath.c_str());
            std::printf("%-28s %-17s %-17s %-17s %s\n", "figure", "this build", "compared", "floor_grid",
                        "this / compared");
            PrintRow("bitmap button, all 128 bits", all128[0], all128[3], &all128[1]);
            PrintRow("bitmap button, \"00\"", zeros[0], zeros[3], &zeros[1]);
            PrintRow("cell click (cells 2-64)", clicks[0], clicks[3], &clicks[1]);
            PrintRow("cell 1 click", firstCell[0], firstCell[3], &firstCell[1]);
            PrintRow("start-up", startUp[0], startUp[3], &startUp[1]);
            std::printf("%-28s %-17s %-17s\n", "compared / floor_grid", "median", "paired");
            const char* names[] = {"bitmap button, all 128 bits", "bitmap button, \"00\"", "cell click (cells 2-64)",
                                   "cell 1 click", "start-up"};
            const std::vector<Series>* figures[] = {&all128, &zeros, &clicks, &firstCell, &startUp};
            for (int f = 0; f < 5; ++f)
            {
                const Series& compared = (*figures[f])[3];
                const Series& grid = (*figures[f])[1];
                Series paired;
                for (std::size_t i = 0; i < compared.samples.size() && i < grid.samples.size(); ++i)
                    paired.samples.push_back(compared.samples[i] / grid.samples[i]);
                std::printf("%-28s %5.2fx            %5.2fx\n", names[f], compared.Median() / grid.Median(),
                            paired.Median());
            }
        }
    }
    std::fflush(stdout);

    // Orvane's memory beside that of the floors doing the same: what grows in
    // both is Wine's.
    if (memory)
    {
        WatchAboutBoxes(programs[0]);
        WatchAboutBoxes(programs[2]);
        WatchClicks(programs[0]);
        WatchClicks(programs[1]);
    }
    for (Program& program : programs)
        End(program);
    return 0;
}

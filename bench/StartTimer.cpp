// Start to usable and to all icons: the real Zelvanto.exe against the floor dialog, read from outside.
//   start_timer FLOOR.exe LIST-FLOOR.exe ZELVANTO.exe [OTHER-ZELVANTO.exe...]
// Each round starts, in turns, the floor, then each Zelvanto given (several for a before/after comparison)
// on a file with 20 applications, on one with 20 of Wine's own programs, which hold icons of their own, and
// on a file whose extension has none; then the list floor on the same three files, which shows the chooser's
// list filled with names and a picture alone: what the window system needs of any start. Usable: a visible
// top-level window of the new process whose list holds every name with the default selected. All icons: every
// item has its image index, read through memory allocated in the other process. Then the window is closed and
// the process waited for.
#include "Measure.h"
#include "SeedStore.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

static const int kApplications = 20;
// app07 is "App 07", the seventh item in the list's order.
static const int kDefaultItem = 6;
static const int kRounds = 25;
static const DWORD kGiveUpMs = 30000;
static const DWORD kAnswerMs = 1000;
static const char kTargetFile[] = "C:\\x.txt";
static const char kWineProgramsFile[] = "C:\\x.wine";
static const char kUnassignedFile[] = "C:\\x.none";
// Every one of Wine's programs that holds an icon of its own, on every machine with Wine; six twice, as two
// applications, to make 20. (The copies of hh, regedit and wordpad in system32 hold none.)
static const char* const kWinePrograms[kApplications] = { "C:\\windows\\notepad.exe",
    "C:\\windows\\regedit.exe", "C:\\windows\\hh.exe", "C:\\Program Files\\Internet Explorer\\iexplore.exe",
    "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe", "C:\\windows\\system32\\cmd.exe",
    "C:\\windows\\system32\\iexplore.exe", "C:\\windows\\system32\\msiexec.exe",
    "C:\\windows\\system32\\notepad.exe", "C:\\windows\\system32\\taskmgr.exe",
    "C:\\windows\\system32\\winecfg.exe", "C:\\windows\\system32\\winefile.exe",
    "C:\\windows\\system32\\winemine.exe", "C:\\windows\\system32\\winhlp32.exe", "C:\\windows\\notepad.exe",
    "C:\\windows\\regedit.exe", "C:\\windows\\hh.exe", "C:\\windows\\system32\\winefile.exe",
    "C:\\windows\\system32\\taskmgr.exe", "C:\\windows\\system32\\winemine.exe" };
// The store of the profile Zelvanto.exe runs as.
static const char kStoreRoot[] = "Software\\Karvelund\\Zelvanto";

// What a shown window must hold to count as usable; items < 0 asks for the window alone.
struct Usable {
    int items;
    int selected;
};

struct Search {
    DWORD processId;
    Usable usable;
    HWND found;
};

static bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& answer)
{
    return ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &answer) != 0;
}

// The counts come in the return values, so these messages need no memory in the other process.
static bool IsUsable(HWND list, const Usable& usable)
{
    DWORD_PTR count = 0;
    DWORD_PTR selected = 0;
    return Ask(list, LVM_GETITEMCOUNT, 0, 0, count) && static_cast<int>(count) == usable.items
        && Ask(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED, selected)
        && static_cast<int>(selected) == usable.selected;
}

static BOOL CALLBACK FindUsable(HWND window, LPARAM lParam)
{
    Search* search = reinterpret_cast<Search*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !::IsWindowVisible(window))
        return TRUE;
    if (search->usable.items >= 0) {
        HWND list = ::FindWindowExA(window, nullptr, WC_LISTVIEWA, nullptr);
        if (!list || !IsUsable(list, search->usable))
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

// One LVITEMA per item in the other process, through which its list answers the items' image indexes:
// the memory is written once, and each look costs one message per item asked and one read.
class RemoteImages
{
public:
    RemoteImages(HANDLE process, int items)
        : m_process(process)
        , m_items(items)
        , m_memory(static_cast<LVITEMA*>(
              ::VirtualAllocEx(process, nullptr, items * sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE)))
    {
        for (int i = 0; i < items; ++i) {
            m_items[i].mask = LVIF_IMAGE;
            m_items[i].iItem = i;
            m_items[i].iImage = I_IMAGENONE;
        }
        ::WriteProcessMemory(process, m_memory, m_items.data(), items * sizeof(LVITEMA), nullptr);
    }
    ~RemoteImages() { ::VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE); }
    RemoteImages(const RemoteImages&) = delete;
    RemoteImages& operator=(const RemoteImages&) = delete;

    // The number of leading items that have their image index, asking only those from the first without.
    int WithImage(HWND list, int known)
    {
        DWORD_PTR answer = 0;
        for (int i = known; i < static_cast<int>(m_items.size()); ++i)
            Ask(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(m_memory + i), answer);
        ::ReadProcessMemory(m_process, m_memory, m_items.data(), m_items.size() * sizeof(LVITEMA), nullptr);
        while (known < static_cast<int>(m_items.size()) && m_items[known].iImage >= 0)
            ++known;
        return known;
    }

private:
    HANDLE m_process;
    std::vector<LVITEMA> m_items;
    LVITEMA* m_memory;
};

struct Times {
    double usable = -1; // negative when the program never got there
    double icons = -1;
};

// Waits one millisecond at a time on the process, which is the poll interval and notices an early exit.
static bool Poll(HANDLE process, double start, const std::function<bool()>& done)
{
    while (::WaitForSingleObject(process, 1) == WAIT_TIMEOUT) {
        if (done())
            return true;
        if (NowMs() - start > kGiveUpMs)
            return false;
    }
    return false;
}

static Times TimeStart(std::string commandLine, Usable usable)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    Times times;
    double start = NowMs();
    if (!::CreateProcessA(
            nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s: %lu\n", commandLine.c_str(), ::GetLastError());
        return times;
    }
    Search search = { process.dwProcessId, usable, nullptr };
    if (Poll(process.hProcess, start, [&] {
            ::EnumWindows(FindUsable, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        }))
        times.usable = NowMs() - start;
    if (search.found && usable.items > 0) {
        HWND list = ::FindWindowExA(search.found, nullptr, WC_LISTVIEWA, nullptr);
        RemoteImages images(process.hProcess, usable.items);
        // An item keeps its icon once it has it, so the count only moves forward.
        int withIcon = 0;
        if (Poll(process.hProcess, start, [&] {
                withIcon = images.WithImage(list, withIcon);
                return withIcon == usable.items;
            }))
            times.icons = NowMs() - start;
    }
    if (search.found)
        ::PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (times.usable < 0 || (usable.items > 0 && times.icons < 0))
        std::fprintf(stderr, "%s never got usable with all icons\n", commandLine.c_str());
    if (::WaitForSingleObject(process.hProcess, kGiveUpMs) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return times;
}

// The applications "<keyPrefix>01" to "<keyPrefix>20", named "<namePrefix> 01" and so on, assigned to the
// extension.
static void SeedApplications(SeedStore& store, const char* extension, const char* keyPrefix,
    const char* namePrefix, const std::function<std::string(int)>& pathOf)
{
    for (int i = 1; i <= kApplications; ++i) {
        char appKey[16];
        char displayName[16];
        std::snprintf(appKey, sizeof appKey, "%s%02d", keyPrefix, i);
        std::snprintf(displayName, sizeof displayName, "%s %02d", namePrefix, i);
        store.AddApplication(appKey, pathOf(i), displayName);
        store.AddAssignment(extension, appKey, i == kDefaultItem + 1 ? 1 : 0);
    }
}

static void Seed(SeedStore& store, const std::string& zelvantoPath)
{
    store.Clear();
    SeedApplications(store, "txt", "app", "App", [&](int) { return zelvantoPath; });
    SeedApplications(store, "wine", "wine", "Wine", [](int i) { return std::string(kWinePrograms[i - 1]); });
}

struct Figures {
    std::vector<double> usable, icons, wineUsable, wineIcons, empty;
};

// The list floor's figures have no target: they are what the chooser's own figures cannot go below.
static void PrintRatio(const char* what, double ms, double floor, const char* target)
{
    std::printf("  %-36s %8.1f ms  %5.2fx floor", what, ms, ms / floor);
    if (target)
        std::printf("   (target: at most %s)", target);
    std::printf("\n");
}

static void PrintFigures(const Figures& figures, double floor, bool withTargets)
{
    auto target = [withTargets](const char* ratio) { return withTargets ? ratio : nullptr; };
    PrintRatio("usable, 20 names, default selected", Median(figures.usable), floor, target("1.3x"));
    PrintRatio("all 20 icons in place", Median(figures.icons), floor, target("1.8x"));
    PrintRatio("usable, 20 of Wine's programs", Median(figures.wineUsable), floor, target("1.2x"));
    PrintRatio("all their 20 own icons in place", Median(figures.wineIcons), floor, target("1.4x"));
    PrintRatio("usable, no applications assigned", Median(figures.empty), floor, target("1.15x"));
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(
            stderr, "usage: start_timer FLOOR.exe LIST-FLOOR.exe ZELVANTO.exe [OTHER-ZELVANTO.exe...]\n");
        return 2;
    }
    const std::string floor = std::string("\"") + argv[1] + "\"";
    // The Zelvantos in the order given, the list floor last.
    std::vector<std::string> programs;
    for (int i = 3; i < argc; ++i)
        programs.push_back(std::string("\"") + argv[i] + "\" ");
    programs.push_back(std::string("\"") + argv[2] + "\" ");
    const Usable window = { -1, -1 };
    const Usable listed = { kApplications, kDefaultItem };
    const Usable empty = { 0, -1 };
    SeedStore store(kStoreRoot);
    Seed(store, argv[3]);

    // Wine's first start of a program is slower: one untimed start of each first.
    TimeStart(floor, window);
    for (const std::string& program : programs)
        TimeStart(program + kTargetFile, listed);
    std::vector<double> floorTimes;
    std::vector<Figures> figures(programs.size());
    // Taken in turns, so a drift in the machine's load reaches all alike.
    for (int round = 0; round < kRounds; ++round) {
        Times floorTime = TimeStart(floor, window);
        if (floorTime.usable < 0)
            return 1;
        floorTimes.push_back(floorTime.usable);
        for (size_t i = 0; i < programs.size(); ++i) {
            Times listedTime = TimeStart(programs[i] + kTargetFile, listed);
            Times wineTime = TimeStart(programs[i] + kWineProgramsFile, listed);
            Times emptyTime = TimeStart(programs[i] + kUnassignedFile, empty);
            if (listedTime.icons < 0 || wineTime.icons < 0 || emptyTime.usable < 0)
                return 1;
            figures[i].usable.push_back(listedTime.usable);
            figures[i].icons.push_back(listedTime.icons);
            figures[i].wineUsable.push_back(wineTime.usable);
            figures[i].wineIcons.push_back(wineTime.icons);
            figures[i].empty.push_back(emptyTime.usable);
        }
    }
    store.Clear();

    double floorMedian = Median(floorTimes);
    std::printf("Start, medians of %d rounds in turns, after one warm-up start each\n", kRounds);
    std::printf("  %-36s %8.1f ms\n", "floor (empty dialog shown)", floorMedian);
    std::printf(" list floor: the chooser's list with names alone, no store, no files\n");
    PrintFigures(figures.back(), floorMedian, false);
    for (size_t i = 0; i + 1 < programs.size(); ++i) {
        std::printf(" %s\n", argv[i + 3]);
        PrintFigures(figures[i], floorMedian, true);
    }
    return 0;
}

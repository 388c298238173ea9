// Start to shown: the real Zelvanto.exe on a file with 20 applications, against the floor dialog.
//   start_timer FLOOR.exe ZELVANTO.exe
// Times from CreateProcess until a visible top-level window of the new process exists (for Zelvanto,
// one whose list holds all 20 items), then closes it and waits for the process to end.
#include "Measure.h"
#include "SeedStore.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

static const int kApplications = 20;
static const int kRepeats = 10;
static const DWORD kGiveUpMs = 30000;
static const char kTargetFile[] = "C:\\x.txt";
// The store of the profile Zelvanto.exe runs as.
static const char kStoreRoot[] = "Software\\Karvelund\\Zelvanto";

struct Search {
    DWORD processId;
    int items; // the list's item count to wait for; negative for none
    HWND found;
};

static BOOL CALLBACK FindShown(HWND window, LPARAM lParam)
{
    Search* search = reinterpret_cast<Search*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !::IsWindowVisible(window))
        return TRUE;
    if (search->items >= 0) {
        HWND list = ::FindWindowExA(window, nullptr, WC_LISTVIEWA, nullptr);
        // The count is in the return value, so the message needs no memory in the other process.
        DWORD_PTR count = 0;
        if (!list || !::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count)
            || static_cast<int>(count) != search->items)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

// Milliseconds from start to shown, or a negative number when the program never got there.
static double TimeStart(std::string commandLine, int items)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    double start = NowMs();
    if (!::CreateProcessA(
            nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s: %lu\n", commandLine.c_str(), ::GetLastError());
        return -1;
    }
    Search search = { process.dwProcessId, items, nullptr };
    double elapsed = -1;
    // Waiting one millisecond on the process is the poll interval, and notices an early exit.
    while (::WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
        ::EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            elapsed = NowMs() - start;
            break;
        }
        if (NowMs() - start > kGiveUpMs)
            break;
    }
    if (search.found)
        ::PostMessageA(search.found, WM_CLOSE, 0, 0);
    else
        std::fprintf(stderr, "%s never showed its window\n", commandLine.c_str());
    if (::WaitForSingleObject(process.hProcess, kGiveUpMs) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return elapsed;
}

static void Seed(SeedStore& store, const std::string& zelvantoPath)
{
    store.Clear();
    for (int i = 1; i <= kApplications; ++i) {
        char appKey[16];
        char displayName[16];
        std::snprintf(appKey, sizeof appKey, "app%02d", i);
        std::snprintf(displayName, sizeof displayName, "App %02d", i);
        store.AddApplication(appKey, zelvantoPath, displayName);
        store.AddAssignment("txt", appKey);
    }
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: start_timer FLOOR.exe ZELVANTO.exe\n");
        return 2;
    }
    const std::string floor = std::string("\"") + argv[1] + "\"";
    const std::string zelvanto = std::string("\"") + argv[2] + "\" " + kTargetFile;
    SeedStore store(kStoreRoot);
    Seed(store, argv[2]);

    // Wine's first start of a program is slower: one untimed start of each first.
    TimeStart(floor, -1);
    TimeStart(zelvanto, kApplications);
    std::vector<double> floorTimes;
    std::vector<double> zelvantoTimes;
    // Taken in turns, so a drift in the machine's load reaches both alike.
    for (int i = 0; i < kRepeats; ++i) {
        double floorTime = TimeStart(floor, -1);
        double zelvantoTime = TimeStart(zelvanto, kApplications);
        if (floorTime < 0 || zelvantoTime < 0)
            return 1;
        floorTimes.push_back(floorTime);
        zelvantoTimes.push_back(zelvantoTime);
    }
    store.Clear();

    double floorMedian = Median(floorTimes);
    double zelvantoMedian = Median(zelvantoTimes);
    std::printf("Start to shown, median of %d starts after one warm-up each\n", kRepeats);
    std::printf("  floor (empty dialog)               %8.1f ms\n", floorMedian);
    std::printf("  Zelvanto %s, %d applications  %8.1f ms\n", kTargetFile, kApplications, zelvantoMedian);
    std::printf("  ratio Zelvanto / floor             %8.2fx   (target: at most 1.3x)\n",
        zelvantoMedian / floorMedian);
    return 0;
}

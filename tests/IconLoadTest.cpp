// Icons come after the list. This program's own import of the shell's icon call is patched with one that
// waits for the test, and notes every icon it gives.
#include "resource.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <process.h>
#include <shellapi.h>

#include <set>

namespace
{

HANDLE g_gate = ::CreateEventA(nullptr, TRUE, TRUE, nullptr); // the shell answers while it is set
HANDLE g_called = ::CreateEventA(nullptr, FALSE, FALSE, nullptr); // set by every call of the shell
std::set<HICON> g_given; // written by one worker at a time, read once it has ended
ImportPatch* g_patch = nullptr;

DWORD_PTR WINAPI HeldGetFileInfo(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT size, UINT flags)
{
    ::SetEvent(g_called);
    ::WaitForSingleObject(g_gate, INFINITE);
    auto result = g_patch->Original<decltype(&::SHGetFileInfoA)>()(path, attributes, info, size, flags);
    g_given.insert(info->hIcon);
    return result;
}

// An application whose parameters are its name; the recorder has an icon, one without a path has none.
void Add(const char* appKey, bool hasIcon, const char* name = nullptr)
{
    if (hasIcon)
        TestStore::SetString(std::string("Applications\\") + appKey, "Path", Chooser::Recorder());
    TestStore::SetString(std::string("Applications\\") + appKey, "DisplayName", name ? name : appKey);
    TestStore::AddAssignment("txt", appKey);
    TestStore::SetString(std::string("Extensions\\txt\\") + appKey, "Parameters", appKey);
}

HIMAGELIST Images()
{
    return reinterpret_cast<HIMAGELIST>(::SendMessageA(Chooser::List(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
}

// Holds the icons back: the shell answers only once the test sets the gate.
void Hold()
{
    static ImportPatch patch(
        &__imp_SHGetFileInfoA, "shell32.dll", "SHGetFileInfoA", reinterpret_cast<void*>(&HeldGetFileInfo));
    g_patch = &patch;
    ::ResetEvent(g_gate);
    g_given.clear();
}

// Runs the chooser on a txt file: the first step with the icons held back, the check once all are there.
INT_PTR RunHeld(
    std::function<void()> first, std::function<void()> check = [] {})
{
    Hold();
    return Chooser::Run("C:\\a.txt", { Chooser::Do(first), Chooser::IconsShown, Chooser::Do(check) });
}

} // namespace

TEST(IconLoadTest, InputBeforeTheIconsActsOnTheChosenApplication)
{
    TestStore::Reset();
    for (const char* app : { "one", "two", "three" })
        Add(app, true);
    for (int command : { IDOK, ID_OPEN }) {
        Chooser::ExpectLaunch();
        Hold();
        EXPECT_EQ(Chooser::Run("C:\\a.txt", { Chooser::Do([command] {
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(Chooser::Image(i), I_IMAGENONE) << "no image before its own icon";
            Chooser::Select(2);
            ::SetEvent(g_gate);
            Chooser::Post(Chooser::Window(), command);
        }) }),
            IDOK);
        EXPECT_EQ(Chooser::Launched(), '"' + Chooser::Recorder() + "\" two") << command;
    }
}

TEST(IconLoadTest, IconsFollowTheirItemsThroughAResort)
{
    TestStore::Reset();
    Add("a", true, "Zed"); // asked for first, shown last
    Add("b", false, "Alpha");
    RunHeld(
        [] {
            ::SetWindowPos(Chooser::Window(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
            ::SetEvent(g_gate);
        },
        [] {
            EXPECT_EQ(Chooser::FallbackIcons(), (std::vector { true, false }));
        });
}

TEST(IconLoadTest, ReloadNeverShowsAnIconOfTheEarlierLoad)
{
    TestStore::Reset();
    Add("a", true); // asked for first
    Add("b", false);
    RunHeld(
        [] {
            ::WaitForSingleObject(g_called, INFINITE);
            Chooser::Select(0);
            ::SetEvent(g_gate); // a's icon is finished while Remove reloads the list
            ::SendMessageA(Chooser::Window(), WM_COMMAND, ID_REMOVE, 0);
        },
        [] {
            EXPECT_EQ(::ImageList_GetImageCount(Images()), 1);
            EXPECT_EQ(Chooser::FallbackIcons(), std::vector { true });
        });
}

TEST(IconLoadTest, CloseWhileIconsComeLeavesNoIcon)
{
    TestStore::Reset();
    for (const char* app : { "a", "b", "c", "d" })
        Add(app, true);
    Hold();
    Chooser::Run("C:\\a.txt", { Chooser::Do([] {
        ::SetEvent(g_gate);
        ::WaitForSingleObject(g_called, INFINITE);
        ::WaitForSingleObject(g_called, INFINITE); // one icon finished and unseen, one coming
        ::SendMessageA(Chooser::Window(), WM_COMMAND, IDCANCEL, 0);
    }) },
        false);
    ICONINFO info;
    EXPECT_GE(g_given.size(), 2u);
    for (HICON icon : g_given)
        EXPECT_FALSE(::GetIconInfo(icon, &info)) << "not destroyed: " << icon;
}

// The system's large-icon size, here and in a child copy of this program started at 192 dpi: the system
// reads its dpi once when a process starts. The value is put back in every case.
TEST(IconLoadTest, ImagesHaveTheSystemsIconSize)
{
    char expected[8] = "32";
    bool child = ::GetEnvironmentVariableA("ZELVANTO_ICON_SIZE", expected, sizeof expected);
    ASSERT_EQ(::GetSystemMetrics(SM_CXICON), std::atoi(expected));
    TestStore::Reset();
    Add("a", true);
    Add("b", false);
    RunHeld([] { ::SetEvent(g_gate); },
        [] {
            int cx = 0, cy = 0;
            ::ImageList_GetIconSize(Images(), &cx, &cy);
            EXPECT_TRUE(cx == ::GetSystemMetrics(SM_CXICON) && cy == ::GetSystemMetrics(SM_CYICON)) << cx;
        });
    if (child)
        return;
    const char* desktop = "Control Panel\\Desktop";
    DWORD before = 0, size = sizeof before, dpi = 192;
    bool had
        = !::RegGetValueA(HKEY_CURRENT_USER, desktop, "LogPixels", RRF_RT_REG_DWORD, nullptr, &before, &size);
    ::RegSetKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    ::SetEnvironmentVariableA("ZELVANTO_ICON_SIZE", "64");
    char program[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    intptr_t exitCode = _spawnl(_P_WAIT, program, program, "--gtest_filter=*SystemsIconSize", nullptr);
    ::SetEnvironmentVariableA("ZELVANTO_ICON_SIZE", nullptr);
    if (had)
        ::RegSetKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels", REG_DWORD, &before, sizeof before);
    else
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels");
    EXPECT_EQ(exitCode, 0) << "at 192 dpi";
}

// Opening the target file: the exact command line the started program receives, and the failures.
#include "support/ChooserRun.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

using T = TestStore;
static int g_starts = 0;
static ImportPatch* g_start = nullptr;

static HINSTANCE WINAPI Start(
    HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show)
{
    return ++g_starts,
           g_start->Original<decltype(&::ShellExecuteA)>()(owner, verb, file, parameters, folder, show);
}

struct LaunchTest : ::testing::Test {
    void SetUp() override
    {
        T::Reset(), T::AddApplication("rec.exe", Chooser::Recorder(), "Rec"),
            T::AddAssignment("txt", "rec.exe", 1);
        g_start = &start, g_starts = 0;
    }
    void TearDown() override { EXPECT_EQ(Live().keys, 0) << "keys left open"; }
    // Enter in the chooser on the target, then Escape should it still be open.
    INT_PTR Enter(const std::string& target, Step before = Chooser::Do([] {}))
    {
        Chooser::ExpectLaunch();
        return Chooser::Run(target, { before, Chooser::Do([] { Chooser::Post(Chooser::Window(), IDOK); }) });
    }
    ImportPatch start { "shell32.dll", "ShellExecuteA", (void*)Start, &__imp_ShellExecuteA };
    BoxCatcher boxes;
};

TEST_F(LaunchTest, TheProgramReceivesTheTargetAsTheParametersSay)
{
    const std::string t = "C:\\My Files\\a.txt", f = "C:\\" + std::string(250, 'f') + "\\", z(1, '\0');
    const std::string rec = '"' + Chooser::Recorder() + "\" ";
    const std::tuple<std::string, DWORD, std::string, std::string> rows[]
        = { { t, REG_NONE, "", '"' + t + '"' }, { t, REG_SZ, z, '"' + t + '"' },
              { t, REG_SZ, "/p %1" + z, "/p " + t }, { t, REG_SZ, "-a %1 -b %1" + z, "-a " + t + " -b " + t },
              { t, REG_SZ, "-new" + z, "-new" }, { t, REG_SZ, "\"%1\" %2 %%1" + z, '"' + t + "\" %2 %" + t },
              { t, REG_DWORD, T::Dword(0x31), '"' + t + '"' },
              { t, REG_SZ, std::string(260, 'p') + z, '"' + t + '"' },
              { "C:\\a%1b.txt", REG_SZ, "%1 %1" + z, "C:\\a%1b.txt C:\\a%1b.txt" },
              { "C:\\say \"hi\".txt", REG_NONE, "", "\"C:\\say \"hi\".txt\"" },
              { "C:\\My  Files\\a b .txt", REG_NONE, "", "\"C:\\My  Files\\a b .txt\"" },
              { "C:\\a%%1.txt", REG_SZ, "-f %1" + z, "-f C:\\a%%1.txt" },
              { "C:\\a%1.txt", REG_SZ, "%%1" + z, "%C:\\a%1.txt" },
              { "C:\\\"%1\".txt", REG_SZ, "\"%1\"" + z, "\"C:\\\"%1\".txt\"" },
              { f + "x.txt", REG_NONE, "", '"' + f + "x.txt\"" },
              { f + "xy.txt", REG_NONE, "", '"' + f + "xy.txt\"" } };
    for (const auto& [target, type, parameters, arguments] : rows) {
        T::Delete("Extensions\\txt\\rec.exe"),
            T::SetRaw("Extensions\\txt\\rec.exe", "Parameters", type, parameters);
        T::SetDword("Extensions\\txt\\rec.exe", "Default", 1);
        EXPECT_EQ(Enter(target), IDOK);
        EXPECT_EQ(Chooser::Launched(), rec + arguments) << parameters;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

// Each failure is told and the chooser stays open: a record removed by another copy while the list was shown,
// an unreadable path (too long, a number), a program that cannot be started.
TEST_F(LaunchTest, FailuresAreToldAndTheChooserStaysOpen)
{
    EXPECT_EQ(Enter("C:\\x.txt", Chooser::Do([] { T::Delete("Applications"); })), IDCANCEL);
    CString error;
    error.LoadString(IDS_ERR_LAUNCH);
    const std::string app = "Applications\\rec.exe", launch = std::string(error) + ":\n";
    const std::tuple<DWORD, std::string, std::string> rows[]
        = { { 0, "", StoreMessage(IDS_ERR_OPEN_KEY, app) },
              { REG_SZ, std::string(261, 'p'), StoreMessage(IDS_ERR_READ_KEY, app) },
              { REG_DWORD, "1234", StoreMessage(IDS_ERR_READ_KEY, app) },
              { REG_SZ, "C:\\nowhere\\missing.exe", launch + "\"C:\\nowhere\\missing.exe\"" },
              { REG_SZ, "", launch + "\"\"" } };
    for (const auto& [type, path, box] : rows) {
        if (type) {
            T::AddApplication("rec.exe", "", "Rec"), T::SetRaw(app, "Path", type, path);
            EXPECT_EQ(Enter("C:\\x.txt"), IDCANCEL);
        }
        EXPECT_EQ(boxes.Take(), std::vector { box }) << path;
    }
    EXPECT_EQ(g_starts, 2);
}

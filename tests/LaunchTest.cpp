// Opening the target file: the exact command line a started program receives, and the failures.
#include "resource.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/ImportPatch.h"
#include "support/TestStore.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

static int g_starts = 0;
static ImportPatch* g_shellExecute = nullptr;

static HINSTANCE WINAPI CountStart(
    HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show)
{
    ++g_starts;
    return g_shellExecute->Original<decltype(&::ShellExecuteA)>()(
        owner, verb, file, parameters, folder, show);
}

class LaunchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestStore::Reset();
        TestStore::AddApplication("recorder.exe", RecorderProgram(), "Recorder");
        TestStore::AddAssignment("txt", "recorder.exe", 1);
        g_shellExecute = &m_shellExecute;
        g_starts = 0;
    }
    void TearDown() override { EXPECT_EQ(Live().keys, 0); }

    // Presses Enter in the chooser, then Escape should it still be open; answers DoModal's result.
    INT_PTR PressEnter(const std::string& target, UiScript& script)
    {
        ExpectLaunch();
        script.ThenDo([] { PostCommand(ChooserWindow(), IDOK); });
        script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
        return RunChooser(target);
    }
    INT_PTR PressEnter(const std::string& target)
    {
        UiScript script;
        return PressEnter(target, script);
    }

    ImportPatch m_shellExecute { "shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(CountStart) };
    BoxCatcher m_boxes;
};

TEST_F(LaunchTest, TheProgramReceivesTheTargetAsTheParametersSay)
{
    const std::string t = "C:\\My Files\\notes.txt";
    const std::string folder = "C:\\" + std::string(250, 'f') + "\\";
    struct Row {
        std::string target;
        DWORD type; // of the Parameters value; REG_NONE: none
        std::string parameters;
        std::string arguments;
    };
    const Row rows[] = {
        { t, REG_NONE, "", Quoted(t) },
        { t, REG_SZ, "", Quoted(t) },
        { t, REG_SZ, "/p %1", "/p " + t },
        { t, REG_SZ, "-a %1 -b %1", "-a " + t + " -b " + t },
        { t, REG_SZ, "-new", "-new" },
        { t, REG_SZ, "\"%1\" %2 %%1", Quoted(t) + " %2 %" + t },
        { t, REG_DWORD, Dword(0x31), Quoted(t) },
        { t, REG_SZ, std::string(260, 'p'), Quoted(t) },
        { "C:\\a%1b.txt", REG_SZ, "-x %1 -y %1", "-x C:\\a%1b.txt -y C:\\a%1b.txt" },
        { "C:\\say \"hi\".txt", REG_NONE, "", "\"C:\\say \"hi\".txt\"" },
        { "C:\\My  Files\\a b .txt", REG_NONE, "", "\"C:\\My  Files\\a b .txt\"" },
        { "C:\\a%1.txt", REG_NONE, "", "\"C:\\a%1.txt\"" },
        { "C:\\a%%1.txt", REG_SZ, "-f %1", "-f C:\\a%%1.txt" },
        { "C:\\a%1.txt", REG_SZ, "%%1", "%C:\\a%1.txt" },
        { "C:\\\"%1\".txt", REG_SZ, "\"%1\"", "\"C:\\\"%1\".txt\"" },
        { folder + "x.txt", REG_NONE, "", Quoted(folder + "x.txt") }, // 259 bytes
        { folder + "xy.txt", REG_NONE, "", Quoted(folder + "xy.txt") },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target + " with " + row.parameters);
        TestStore::SetRaw("Extensions\\txt\\recorder.exe", "Parameters", row.type,
            row.parameters + std::string(row.type == REG_SZ, '\0'));
        if (row.type == REG_NONE)
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER,
                (TestStore::Root() + "\\Extensions\\txt\\recorder.exe").c_str(), "Parameters");
        EXPECT_EQ(PressEnter(row.target), IDOK);
        EXPECT_EQ(RecordedLaunch(), Quoted(RecorderProgram()) + " " + row.arguments);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(LaunchTest, AProgramPathOf259BytesStartsAndALongerOneIsTold)
{
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp + std::string(259 - ::lstrlenA(temp) - 6, 'd');
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA(RecorderProgram().c_str(), (folder + "\\r.exe").c_str(), FALSE));
    TestStore::SetString("Applications\\recorder.exe", "Path", folder + "\\r.exe");
    EXPECT_EQ(PressEnter("C:\\x.txt"), IDOK);
    EXPECT_EQ(RecordedLaunch(), Quoted(folder + "\\r.exe") + " \"C:\\x.txt\"");

    using Value = std::pair<DWORD, std::string>;
    for (const auto& [type, bytes] :
        { Value { REG_SZ, folder + "\\\\r.exe" + '\0' }, Value { REG_DWORD, Dword(1) } }) {
        TestStore::SetRaw("Applications\\recorder.exe", "Path", type, bytes);
        EXPECT_EQ(PressEnter("C:\\x.txt"), IDCANCEL);
        EXPECT_EQ(m_boxes.Take(),
            std::vector<std::string> { StoreMessage(IDS_ERR_READ_KEY, "Applications\\recorder.exe") });
    }
    EXPECT_EQ(g_starts, 1);
}

TEST_F(LaunchTest, FailuresAreToldAndTheDialogStaysOpen)
{
    // Enter with nothing selected only saves the geometry.
    TestStore::SetDword("Extensions\\txt\\recorder.exe", "Default", 0);
    EXPECT_EQ(PressEnter("C:\\x.txt"), IDCANCEL);
    EXPECT_TRUE(TestStore::GetDword("Extensions\\txt", "WindowLeft"));
    EXPECT_TRUE(m_boxes.Boxes().empty());

    // The application record removed while the list was shown.
    TestStore::SetDword("Extensions\\txt\\recorder.exe", "Default", 1);
    UiScript script;
    script.ThenDo(
        [] { ::RegDeleteTreeA(HKEY_CURRENT_USER, (TestStore::Root() + "\\Applications").c_str()); });
    EXPECT_EQ(PressEnter("C:\\x.txt", script), IDCANCEL);
    EXPECT_EQ(m_boxes.Take(),
        std::vector<std::string> { StoreMessage(IDS_ERR_OPEN_KEY, "Applications\\recorder.exe") });

    // A program that does not start, or an empty path: told, and the user can choose again.
    CString error;
    error.LoadString(IDS_ERR_LAUNCH);
    for (std::string path : { "C:\\nowhere\\missing.exe", "" }) {
        TestStore::AddApplication("recorder.exe", path, "Recorder");
        EXPECT_EQ(PressEnter("C:\\x.txt"), IDCANCEL);
        EXPECT_EQ(m_boxes.Take(), std::vector<std::string> { std::string(error) + ":\n" + Quoted(path) });
    }
    EXPECT_EQ(g_starts, 2);
}

TEST_F(LaunchTest, AClickOnAnItemOpensTheFileAndOnEmptySpaceNothing)
{
    TestStore::SetDword("Extensions\\txt\\recorder.exe", "Default", 0);
    auto click = [] {
        NMHDR header = { ChooserList(), IDC_APP_LIST, static_cast<UINT>(NM_CLICK) };
        ::SendMessageA(ChooserWindow(), WM_NOTIFY, IDC_APP_LIST, reinterpret_cast<LPARAM>(&header));
    };
    UiScript script;
    bool stillOpen = false;
    script.ThenDo(click).ThenDo([&] { stillOpen = ::IsWindow(ChooserWindow()); });
    script.ThenDo([] { SelectItem(ChooserList(), 0); }).ThenDo(click);
    ExpectLaunch();
    EXPECT_EQ(RunChooser("C:\\x.txt"), IDOK);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(RecordedLaunch(), Quoted(RecorderProgram()) + " \"C:\\x.txt\"");
}

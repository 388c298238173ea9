// Opening the target file: the exact command line a started program receives, and the failures.
#include "store/StoreKey.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/Language.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{

class LaunchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TestStore::Reset();
        ForgetRecordedLaunch();
    }
    void TearDown() override { EXPECT_EQ(CStoreKey::OpenCount(), 0); }

    // One application, assigned to txt as the default, so Enter opens the file with it.
    void Assign(const std::string& path, const char* parameters = nullptr)
    {
        TestStore::AddApplication("recorder.exe", path, "Recorder");
        TestStore::AddAssignment("txt", "recorder.exe", 1);
        if (parameters)
            TestStore::SetString("Extensions\\txt\\recorder.exe", "Parameters", parameters);
    }

    // Presses Enter in the chooser, then Escape should it still be open; answers DoModal's result.
    INT_PTR PressEnter(const std::string& target)
    {
        UiScript script;
        script.ThenDo([] { PostCommand(ChooserWindow(), IDOK); });
        script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
        return RunChooser(target);
    }

    std::string Launched(const std::string& target)
    {
        EXPECT_EQ(PressEnter(target), IDOK);
        return RecordedLaunch();
    }

    std::string Program() { return Quoted(RecorderProgram()); }

    BoxCatcher m_boxes;
};

const char kTarget[] = "C:\\My Files\\notes.txt";

} // namespace

TEST_F(LaunchTest, BuildsTheParametersFromTheTemplate)
{
    Assign(RecorderProgram());
    EXPECT_EQ(Launched(kTarget), Program() + " \"C:\\My Files\\notes.txt\"");

    struct Case {
        const char* parameters;
        std::string commandLine;
    };
    const Case cases[] = {
        { "", Program() + " \"C:\\My Files\\notes.txt\"" },
        { "/p %1", Program() + " /p C:\\My Files\\notes.txt" },
        { "-a %1 -b %1", Program() + " -a C:\\My Files\\notes.txt -b C:\\My Files\\notes.txt" },
        { "-new", Program() + " -new" },
        { "%1", Program() + " C:\\My Files\\notes.txt" },
        { "\"%1\" %2 %%1", Program() + " \"C:\\My Files\\notes.txt\" %2 %C:\\My Files\\notes.txt" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameters);
        TestStore::SetString("Extensions\\txt\\recorder.exe", "Parameters", c.parameters);
        ForgetRecordedLaunch();
        EXPECT_EQ(Launched(kTarget), c.commandLine);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(LaunchTest, InsertsATargetContainingThePlaceholderOnce)
{
    Assign(RecorderProgram(), "-x %1 -y %1");
    EXPECT_EQ(Launched("C:\\a%1b.txt"), Program() + " -x C:\\a%1b.txt -y C:\\a%1b.txt");
}

TEST_F(LaunchTest, UnreadableParametersCountAsEmpty)
{
    Assign(RecorderProgram());
    TestStore::SetDword("Extensions\\txt\\recorder.exe", "Parameters", 0x31);
    EXPECT_EQ(Launched("C:\\x.txt"), Program() + " \"C:\\x.txt\"");
    ForgetRecordedLaunch();
    TestStore::SetString("Extensions\\txt\\recorder.exe", "Parameters", std::string(260, 'p'));
    EXPECT_EQ(Launched("C:\\x.txt"), Program() + " \"C:\\x.txt\"");
}

TEST_F(LaunchTest, PathRulesAndTheirMessages)
{
    // A copy of the recorder in a folder whose name brings its path to exactly 259 bytes.
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    const std::string name = "\\r.exe";
    const std::string folder = temp + std::string(259 - ::lstrlenA(temp) - name.size(), 'd');
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA(RecorderProgram().c_str(), (folder + name).c_str(), FALSE));
    ASSERT_EQ((folder + name).size(), 259u);
    Assign(folder + name);
    EXPECT_EQ(Launched("C:\\x.txt"), "\"" + folder + name + "\" \"C:\\x.txt\"");
    EXPECT_TRUE(m_boxes.Boxes().empty());

    TestStore::SetString("Applications\\recorder.exe", "Path", folder + "\\" + name);
    EXPECT_EQ(PressEnter("C:\\x.txt"), IDCANCEL);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error reading registry key", "Fehler beim Lesen des Registry-Keys") + ":\n"
            + TestStore::Root() + "\\Applications\\recorder.exe");
    m_boxes.Clear();

    TestStore::SetDword("Applications\\recorder.exe", "Path", 1);
    EXPECT_EQ(PressEnter("C:\\x.txt"), IDCANCEL);
    EXPECT_EQ(m_boxes.Boxes().size(), 1u);
}

TEST_F(LaunchTest, ExpandablePathIsUsedAsStored)
{
    std::string path = RecorderProgram();
    ::SetEnvironmentVariableA("ZELVANTO_RECORDER_DIR", path.substr(0, path.rfind('\\')).c_str());
    std::string stored = "%ZELVANTO_RECORDER_DIR%" + path.substr(path.rfind('\\'));
    TestStore::AddApplication("recorder.exe", "", "Recorder");
    TestStore::SetRaw("Applications\\recorder.exe", "Path", REG_EXPAND_SZ, stored.c_str(),
        static_cast<DWORD>(stored.size() + 1));
    TestStore::AddAssignment("txt", "recorder.exe", 1);
    // The program hands the name over as stored; Wine's shell expands it on its own.
    EXPECT_EQ(PressEnter("C:\\x.txt"), IDOK);
    std::string launched = RecordedLaunch();
    EXPECT_TRUE(launched == "\"" + stored + "\" \"C:\\x.txt\"" || launched == Program() + " \"C:\\x.txt\"")
        << launched;
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(LaunchTest, FailuresKeepTheDialogOpen)
{
    // Enter with nothing selected only saves the geometry.
    TestStore::AddApplication("recorder.exe", RecorderProgram(), "Recorder");
    TestStore::AddAssignment("txt", "recorder.exe", 0);
    EXPECT_EQ(PressEnter("C:\\x.txt"), IDCANCEL);
    EXPECT_TRUE(m_boxes.Boxes().empty());
    EXPECT_TRUE(TestStore::GetDword("Extensions\\txt", "WindowLeft"));

    // The application record removed while the list was shown.
    TestStore::SetDword("Extensions\\txt\\recorder.exe", "Default", 1);
    UiScript script;
    script.ThenDo([] { ::RegDeleteTreeA(HKEY_CURRENT_USER, (TestStore::Root() + "\\Applications").c_str()); })
        .ThenDo([] { PostCommand(ChooserWindow(), IDOK); })
        .ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
    EXPECT_EQ(RunChooser("C:\\x.txt"), IDCANCEL);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error opening registry key", "Fehler beim Öffnen des Registry-Keys") + ":\n"
            + TestStore::Root() + "\\Applications\\recorder.exe");
    m_boxes.Clear();

    // A program that does not start: told, and the user can choose again.
    TestStore::AddApplication("recorder.exe", "C:\\nowhere\\missing.exe", "Recorder");
    EXPECT_EQ(PressEnter("C:\\x.txt"), IDCANCEL);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error starting application", "Fehler beim Starten der Anwendung")
            + ":\n\"C:\\nowhere\\missing.exe\"");
    m_boxes.Clear();

    // An empty path passes the read and goes to the shell, which finds nothing to start.
    TestStore::AddApplication("recorder.exe", "", "Recorder");
    EXPECT_EQ(PressEnter("C:\\x.txt"), IDCANCEL);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text.substr(m_boxes.Boxes()[0].text.size() - 3), "\n\"\"");
}

TEST_F(LaunchTest, HostileTargetFilesPassUnchanged)
{
    Assign(RecorderProgram());
    const std::string folder = "C:\\" + std::string(250, 'f') + "\\";
    struct Case {
        std::string target;
        const char* parameters;
        std::string commandLine;
    };
    const Case cases[] = {
        { "C:\\say \"hi\".txt", "", Program() + " \"C:\\say \"hi\".txt\"" },
        { "C:\\My  Files\\a b .txt", "", Program() + " \"C:\\My  Files\\a b .txt\"" },
        { "C:\\a%1.txt", "", Program() + " \"C:\\a%1.txt\"" },
        { "C:\\a%%1.txt", "-f %1", Program() + " -f C:\\a%%1.txt" },
        { "C:\\a%1.txt", "%%1", Program() + " %C:\\a%1.txt" },
        { "C:\\\"%1\".txt", "\"%1\"", Program() + " \"C:\\\"%1\".txt\"" },
        { folder + "x.txt", "", Program() + " \"" + folder + "x.txt\"" },
        { folder + "xy.txt", "", Program() + " \"" + folder + "xy.txt\"" },
    };
    ASSERT_EQ(cases[6].target.size(), 259u);
    ASSERT_EQ(cases[7].target.size(), 260u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target + " with " + c.parameters);
        TestStore::SetString("Extensions\\txt\\recorder.exe", "Parameters", c.parameters);
        ForgetRecordedLaunch();
        EXPECT_EQ(Launched(c.target), c.commandLine);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());

    // A trailing backslash leaves the name without an extension: nothing is started.
    ForgetRecordedLaunch();
    EXPECT_EQ(RunChooser("C:\\notes.txt\\"), IDCANCEL);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error: The specified file has no extension.",
            "Fehler: Die angegebene Datei hat keine Erweiterung."));
    EXPECT_EQ(RecordedLaunch(500), "(nothing launched)");
}

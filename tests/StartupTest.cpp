// Start-up: the extension rule, the store's name and the two shapes of a run.
#include "app/FileExtension.h"
#include "app/ZelvantoApp.h"
#include "support/BoxCatcher.h"
#include "support/Language.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(FileExtension, TakesTheTextAfterTheLastDotOfTheFileName)
{
    EXPECT_STREQ(GetFileExtension("C:\\Docs\\report.final.PDF"), "PDF");
    EXPECT_STREQ(GetFileExtension("C:\\Docs\\README"), "");
    EXPECT_STREQ(GetFileExtension("C:\\my.dir\\README"), "");
    EXPECT_STREQ(GetFileExtension("C:\\Docs\\archive."), "");
    EXPECT_STREQ(GetFileExtension("notes.txt"), "txt");
    EXPECT_STREQ(GetFileExtension("C:\\Docs\\.config"), "config");
    EXPECT_STREQ(GetFileExtension("C:/my.dir/README"), "dir/README");
    EXPECT_STREQ(GetFileExtension(""), "");
    EXPECT_STREQ(GetFileExtension("C:\\Docs\\r\xE9sum\xE9.d\xF6\x63"), "d\xF6\x63");
}

class StartupTest : public ::testing::Test
{
protected:
    void RunWith(std::vector<const char*> arguments)
    {
        arguments.insert(arguments.begin(), "Zelvanto.exe");
        arguments.push_back(nullptr);
        int savedCount = __argc;
        char** savedVector = __argv;
        __argc = static_cast<int>(arguments.size()) - 1;
        __argv = const_cast<char**>(arguments.data());
        m_result = theApp.InitInstance();
        __argc = savedCount;
        __argv = savedVector;
    }

    void ExpectUsageNote()
    {
        ASSERT_EQ(m_boxes.Boxes().size(), 1u);
        const CaughtBox& box = m_boxes.Boxes()[0];
        EXPECT_EQ(box.caption, Localized("Note", "Hinweis"));
        EXPECT_EQ(box.text,
            Localized("This program displays a selection of applications that\ncan be used to open a file. "
                      "The path of this file must\nbe passed to the program as a command line parameter.\n\n"
                      "If no applications are assigned to the file yet,\nright-click in the window to add "
                      "applications.",
                "Dieses Programm zeigt eine Auswahl von Anwendungen an,\nmit denen eine Datei geöffnet "
                "werden kann. Der Pfad dieser\nDatei muss dem Programm als Kommandozeilenparameter\n"
                "übergeben werden.\n\nWenn der Datei noch keine Anwendungen zugeordnet sind,\nklicken Sie "
                "mit der rechten Maustaste in das Fenster, um\nAnwendungen hinzuzufügen."));
        EXPECT_EQ(box.buttons, std::vector<int> { IDOK });
        EXPECT_EQ(box.icon, ::LoadIconA(nullptr, IDI_INFORMATION));
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_FALSE(m_result);
    }

    BoxCatcher m_boxes;
    BOOL m_result = TRUE;
};

TEST_F(StartupTest, NamesTheStoreAfterTheVendorAndTheExecutable)
{
    RunWith({});
    EXPECT_STREQ(theApp.m_pszRegistryKey, "Karvelund");
    EXPECT_STREQ(theApp.m_pszProfileName, "startup_test");
    EXPECT_STREQ(theApp.m_pszAppName, "startup_test");
}

TEST_F(StartupTest, ShowsTheUsageNoteWithoutExactlyOneArgument)
{
    RunWith({});
    ExpectUsageNote();
    m_boxes.Clear();
    RunWith({ "C:\\My", "Documents\\a.txt" });
    ExpectUsageNote();
}

TEST_F(StartupTest, RunsTheChooserOnOneArgument)
{
    TestStore::Clear();
    RunWith({ "C:\\Docs\\README" });
    EXPECT_FALSE(m_result);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    const CaughtBox& box = m_boxes.Boxes()[0];
    EXPECT_EQ(box.caption, "startup_test");
    EXPECT_EQ(box.text,
        Localized("Error: The specified file has no extension.",
            "Fehler: Die angegebene Datei hat keine Erweiterung."));
    EXPECT_EQ(box.buttons, std::vector<int> { IDOK });
    EXPECT_EQ(box.icon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_NE(box.owner, nullptr);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_FALSE(TestStore::KeyExists(""));
}

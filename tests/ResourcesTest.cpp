// What the user reads, in the running language: every string, dialog and menu; and start-up, which shows
// the usage note or runs the chooser.
#include "app/ZelvantoApp.h"
#include "resource.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include <commctrl.h>
#include <gtest/gtest.h>

static bool German()
{
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN;
}

static std::string Text(const char* english, const char* german)
{
    return Ansi(German() ? german : english);
}

static const char kUsageEnglish[]
    = "This program displays a selection of applications that\ncan be used to open a "
      "file. The path of this file must\nbe passed to the program as a command line parameter.\n\nIf no "
      "applications "
      "are assigned to the file yet,\nright-click in the window to add applications.";
static const char kUsageGerman[]
    = "Dieses Programm zeigt eine Auswahl von Anwendungen an,\nmit denen eine Datei "
      "geöffnet werden kann. Der Pfad dieser\nDatei muss dem Programm als Kommandozeilenparameter\nübergeben "
      "werden."
      "\n\nWenn der Datei noch keine Anwendungen zugeordnet sind,\nklicken Sie mit der rechten Maustaste in "
      "das "
      "Fenster, um\nAnwendungen hinzuzufügen.";

TEST(Resources, Strings)
{
    const std::tuple<UINT, const char*, const char*> rows[] = {
        { IDS_NOTE_CAPTION, "Note", "Hinweis" },
        { IDS_USAGE, kUsageEnglish, kUsageGerman },
        { IDS_ERR_CREATE_KEY, "Error creating registry key", "Fehler beim Anlegen des Registry-Keys" },
        { IDS_ERR_DELETE_KEY, "Error deleting registry key", "Fehler beim Löschen des Registry-Keys" },
        { IDS_ERR_OPEN_KEY, "Error opening registry key", "Fehler beim Öffnen des Registry-Keys" },
        { IDS_ERR_READ_KEY, "Error reading registry key", "Fehler beim Lesen des Registry-Keys" },
        { IDS_ERR_WRITE_KEY, "Error writing registry key", "Fehler beim Schreiben des Registry-Keys" },
        { IDS_ASSIGNMENT_EXISTS, "Application assignment already exists.",
            "Anwendungszuordnung existiert bereits." },
        { IDS_NO_EXTENSION, "Error: The specified file has no extension.",
            "Fehler: Die angegebene Datei hat keine Erweiterung." },
        { IDS_ERR_LAUNCH, "Error starting application", "Fehler beim Starten der Anwendung" },
    };
    for (const auto& [id, english, german] : rows) {
        CString text;
        EXPECT_TRUE(text.LoadString(id));
        EXPECT_EQ(std::string(text), Text(english, german)) << id;
    }
}

static INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(Resources, DialogsAndMenu)
{
    const std::tuple<int, std::vector<const char*>, std::vector<const char*>> dialogs[] = {
        { IDD_CHOOSER, { "Open with ...", "List1" }, { "Öffnen mit ...", "List1" } },
        { IDD_EDIT,
            { "Edit", "Application name:", "", "Path:", "", "...", "Parameters (optional):", "", "\"%1\"",
                "Variables: %1 = Path of the file to be opened", "OK", "Cancel" },
            { "Bearbeiten", "Anwendungsname:", "", "Pfad:", "", "...", "Parameter (optional):", "", "\"%1\"",
                "Variablen: %1 = Pfad der zu öffnenden Datei", "OK", "Abbrechen" } },
    };
    INITCOMMONCONTROLSEX classes = { sizeof classes, ICC_LISTVIEW_CLASSES };
    ::InitCommonControlsEx(&classes);
    for (const auto& [id, english, german] : dialogs) {
        HWND dialog = ::CreateDialogParamA(
            ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, QuietDialog, 0);
        std::vector<std::string> texts { WindowText(dialog) }, expected;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            texts.push_back(WindowText(child));
        for (const char* text : German() ? german : english)
            expected.push_back(Ansi(text));
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(::GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, id == IDD_EDIT ? 0 : WS_SYSMENU);
        ::DestroyWindow(dialog);
    }
    HMENU menu = ::LoadMenuW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(IDR_CONTEXT));
    std::vector<std::string> items;
    for (int i = 0; i < ::GetMenuItemCount(::GetSubMenu(menu, 0)); ++i) {
        char text[64] = "";
        ::GetMenuStringA(::GetSubMenu(menu, 0), i, text, sizeof text, MF_BYPOSITION);
        items.push_back(std::to_string(::GetMenuItemID(::GetSubMenu(menu, 0), i) % 100) + " " + text);
    }
    ::DestroyMenu(menu);
    EXPECT_EQ(items,
        (std::vector<std::string> { Text("1 Open", "1 Öffnen"), "0 ", Text("9 Default", "9 Standard"), "0 ",
            Text("2 Add...", "2 Hinzufügen..."), Text("4 Edit...", "4 Bearbeiten..."),
            Text("5 Remove", "5 Entfernen") }));
    for (int icon : { IDI_APP, IDI_FALLBACK, IDI_SPARE })
        EXPECT_TRUE(::LoadIconW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(icon))) << icon;
}

static void Start(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "Zelvanto.exe");
    arguments.push_back(nullptr);
    int savedCount = __argc;
    char** savedVector = __argv;
    __argc = static_cast<int>(arguments.size()) - 1;
    __argv = const_cast<char**>(arguments.data());
    EXPECT_FALSE(theApp.InitInstance()) << "no message loop follows";
    __argc = savedCount;
    __argv = savedVector;
}

TEST(Startup, ShowsTheUsageNoteUnlessGivenExactlyOneFile)
{
    TestStore::Clear();
    BoxCatcher boxes;
    Start({});
    Start({ "C:\\My", "Documents\\a.txt" });
    EXPECT_STREQ(theApp.m_pszRegistryKey, "Karvelund");
    EXPECT_STREQ(theApp.m_pszProfileName, "resources_test");
    // One file runs the chooser, whose box belongs to it; a plain box gets the exclamation mark.
    Start({ "C:\\Docs\\README" });
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(boxes.Boxes()[i].caption, Text("Note", "Hinweis"));
        EXPECT_EQ(boxes.Boxes()[i].text, Text(kUsageEnglish, kUsageGerman));
        EXPECT_EQ(boxes.Boxes()[i].icon, ::LoadIconA(nullptr, IDI_INFORMATION));
        EXPECT_EQ(boxes.Boxes()[i].owner, nullptr);
    }
    EXPECT_EQ(boxes.Boxes()[2].caption, "resources_test");
    EXPECT_EQ(boxes.Boxes()[2].text,
        Text("Error: The specified file has no extension.",
            "Fehler: Die angegebene Datei hat keine Erweiterung."));
    EXPECT_EQ(boxes.Boxes()[2].icon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_NE(boxes.Boxes()[2].owner, nullptr);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_FALSE(TestStore::KeyExists(""));
}

// What the user reads, in the running language: every string, dialog and menu; and start-up, which shows the
// usage note or runs the chooser.
#include "app/ZelvantoApp.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include <commctrl.h>
#include <gtest/gtest.h>

static std::string Text(const char* english, const char* german)
{
    return Ansi(PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN ? german : english);
}

static const char kUsage[]
    = "This program displays a selection of applications that\ncan be used to open a file. The "
      "path of this file must\nbe passed to the program as a command line parameter.\n\nIf no applications "
      "are assigned "
      "to the file yet,\nright-click in the window to add applications.";
static const char kNutzung[]
    = "Dieses Programm zeigt eine Auswahl von Anwendungen an,\nmit denen eine Datei geöffnet "
      "werden kann. Der Pfad dieser\nDatei muss dem Programm als Kommandozeilenparameter\nübergeben "
      "werden.\n\nWenn der "
      "Datei noch keine Anwendungen zugeordnet sind,\nklicken Sie mit der rechten Maustaste in das Fenster, "
      "um\n"
      "Anwendungen hinzuzufügen.";

TEST(Resources, EveryStringDialogAndMenuInTheRunningLanguage)
{
    const std::tuple<UINT, const char*, const char*> strings[]
        = { { IDS_NOTE_CAPTION, "Note", "Hinweis" }, { IDS_USAGE, kUsage, kNutzung },
              { IDS_ERR_CREATE_KEY, "Error creating registry key", "Fehler beim Anlegen des Registry-Keys" },
              { IDS_ERR_DELETE_KEY, "Error deleting registry key", "Fehler beim Löschen des Registry-Keys" },
              { IDS_ERR_OPEN_KEY, "Error opening registry key", "Fehler beim Öffnen des Registry-Keys" },
              { IDS_ERR_READ_KEY, "Error reading registry key", "Fehler beim Lesen des Registry-Keys" },
              { IDS_ERR_WRITE_KEY, "Error writing registry key", "Fehler beim Schreiben des Registry-Keys" },
              { IDS_ASSIGNMENT_EXISTS, "Application assignment already exists.",
                  "Anwendungszuordnung existiert bereits." },
              { IDS_NO_EXTENSION, "Error: The specified file has no extension.",
                  "Fehler: Die angegebene Datei hat keine Erweiterung." },
              { IDS_ERR_LAUNCH, "Error starting application", "Fehler beim Starten der Anwendung" } };
    for (const auto& [id, english, german] : strings) {
        CString text;
        EXPECT_TRUE(text.LoadString(id) && std::string(text) == Text(english, german)) << id << ": " << text;
    }
    // The window texts of each dialog, its own first; then the menu's items with their ids.
    const std::tuple<int, std::string, std::string> dialogs[]
        = { { IDD_CHOOSER, "Open with ...|List1|", "Öffnen mit ...|List1|" },
              { IDD_EDIT,
                  "Edit|Application name:||Path:||...|Parameters (optional):||\"%1\"|Variables: %1 = Path of "
                  "the file "
                  "to be opened|OK|Cancel|",
                  "Bearbeiten|Anwendungsname:||Pfad:||...|Parameter (optional):||\"%1\"|"
                  "Variablen: %1 = Pfad der zu öffnenden Datei|OK|Abbrechen|" } };
    INITCOMMONCONTROLSEX classes = { sizeof classes, ICC_LISTVIEW_CLASSES };
    ::InitCommonControlsEx(&classes);
    for (const auto& [id, english, german] : dialogs) {
        HWND dialog = ::CreateDialogParamA(
            nullptr, MAKEINTRESOURCEA(id), nullptr,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        std::string texts = WindowText(dialog) + "|";
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            texts += WindowText(child) + "|";
        EXPECT_EQ(texts, Text(english.c_str(), german.c_str()));
        EXPECT_EQ(::GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU, id == IDD_EDIT ? 0 : WS_SYSMENU)
            << "close box";
        ::DestroyWindow(dialog);
    }
    HMENU menu = ::LoadMenuW(nullptr, MAKEINTRESOURCEW(IDR_CONTEXT)), popup = ::GetSubMenu(menu, 0);
    std::string items;
    for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
        char text[64] = "";
        ::GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
        items += std::to_string(::GetMenuItemID(popup, i) % 100) + text + "|";
    }
    EXPECT_EQ(items,
        Text("1Open|0|9Default|0|2Add...|4Edit...|5Remove|",
            "1Öffnen|0|9Standard|0|2Hinzufügen...|4Bearbeiten...|5Entfernen|"));
    ::DestroyMenu(menu);
}

static void Start(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "Zelvanto.exe"), arguments.push_back(nullptr);
    int count = std::exchange(__argc, static_cast<int>(arguments.size()) - 1);
    char** vector = std::exchange(__argv, const_cast<char**>(arguments.data()));
    EXPECT_FALSE(theApp.InitInstance()) << "no message loop follows";
    __argc = count, __argv = vector;
}

TEST(Startup, ShowsTheUsageNoteUnlessGivenOneFileWhichTheChooserTakes)
{
    TestStore::Clear();
    BoxCatcher boxes;
    Start({}), Start({ "C:\\My", "Documents\\a.txt" }), Start({ "C:\\Docs\\README" });
    EXPECT_STREQ(theApp.m_pszProfileName, "resources_test");
    const HICON information = ::LoadIconA(nullptr, IDI_INFORMATION),
                exclamation = ::LoadIconA(nullptr, IDI_EXCLAMATION);
    const std::tuple<std::string, std::string, HICON, bool> expected[]
        = { { Text("Note", "Hinweis"), Text(kUsage, kNutzung), information, false },
              { Text("Note", "Hinweis"), Text(kUsage, kNutzung), information, false },
              { "resources_test",
                  Text("Error: The specified file has no extension.",
                      "Fehler: Die angegebene Datei hat keine Erweiterung."),
                  exclamation, true } };
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::tuple(boxes.Boxes()[i].caption, boxes.Boxes()[i].text, boxes.Boxes()[i].icon,
                      boxes.Boxes()[i].owner != nullptr),
            expected[i])
            << i;
    EXPECT_FALSE(TestStore::KeyExists("")) << "nothing is read or saved for a file without an extension";
}

// What the user reads, in the running language: every string, dialog and menu, and the notes of start-up.
#include "support/ChooserRun.h"

#include <commctrl.h>
#include <gtest/gtest.h>

static std::string Text(const std::string& english, const std::string& german)
{
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_GERMAN ? german : english;
}

// A string; a dialog's window texts, its own first, and "x" for a close box; the menu's items with their ids.
static std::string Shown(int id)
{
    std::string texts;
    if (id >= IDS_NOTE_CAPTION)
        return Loaded(id);
    if (id == IDR_CONTEXT) {
        HMENU menu = ::LoadMenuW(nullptr, MAKEINTRESOURCEW(id));
        HMENU popup = ::GetSubMenu(menu, 0);
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
            char text[64] = "";
            ::GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
            texts += std::to_string(::GetMenuItemID(popup, i) % 100) + text + "|";
        }
        ::DestroyMenu(menu);
        return texts;
    }
    HWND dialog = ::CreateDialogParamA(nullptr, MAKEINTRESOURCEA(id), nullptr, nullptr, 0);
    for (HWND window = dialog; window;
         window = ::GetWindow(window, window == dialog ? GW_CHILD : GW_HWNDNEXT))
        texts += WindowText(window) + "|";
    texts += ::GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU ? "x" : "";
    ::DestroyWindow(dialog);
    return texts;
}

TEST(Resources, EveryStringDialogAndMenuInTheRunningLanguage)
{
    ::InitCommonControls();
    const std::pair<int, std::string> rows[] = { { IDS_NOTE_CAPTION, Text("Note", "Hinweis") },
        { IDS_USAGE,
            Text("This program displays a selection of applications that\ncan be used to open a file. The "
                 "path of this file must\nbe passed to the program as a command line parameter.\n\nIf no "
                 "applications are assigned to the file yet,\nright-click in the window to add applications.",
                "Dieses Programm zeigt eine Auswahl von Anwendungen an,\nmit denen eine Datei geöffnet "
                "werden kann. Der Pfad dieser\nDatei muss dem Programm als Kommandozeilenparameter\n"
                "übergeben werden.\n\nWenn der Datei noch keine Anwendungen zugeordnet sind,\nklicken Sie "
                "mit der rechten Maustaste in das Fenster, um\nAnwendungen hinzuzufügen.") },
        { IDS_NO_EXTENSION,
            Text("Error: The specified file has no extension.",
                "Fehler: Die angegebene Datei hat keine Erweiterung.") },
        { IDS_ERR_CREATE_KEY, Text("Error creating registry key", "Fehler beim Anlegen des Registry-Keys") },
        { IDS_ERR_DELETE_KEY, Text("Error deleting registry key", "Fehler beim Löschen des Registry-Keys") },
        { IDS_ERR_OPEN_KEY, Text("Error opening registry key", "Fehler beim Öffnen des Registry-Keys") },
        { IDS_ERR_READ_KEY, Text("Error reading registry key", "Fehler beim Lesen des Registry-Keys") },
        { IDS_ERR_WRITE_KEY, Text("Error writing registry key", "Fehler beim Schreiben des Registry-Keys") },
        { IDS_ASSIGNMENT_EXISTS,
            Text("Application assignment already exists.", "Anwendungszuordnung existiert bereits.") },
        { IDS_ERR_LAUNCH, Text("Error starting application", "Fehler beim Starten der Anwendung") },
        { IDD_CHOOSER, Text("Open with ...|List1|x", "Öffnen mit ...|List1|x") },
        { IDD_EDIT,
            Text("Edit|Application name:||Path:||...|Parameters (optional):||\"%1\"|"
                 "Variables: %1 = Path of the file to be opened|OK|Cancel|",
                "Bearbeiten|Anwendungsname:||Pfad:||...|Parameter (optional):||\"%1\"|"
                "Variablen: %1 = Pfad der zu öffnenden Datei|OK|Abbrechen|") },
        { IDR_CONTEXT,
            Text("1Open|0|9Default|0|2Add...|4Edit...|5Remove|",
                "1Öffnen|0|9Standard|0|2Hinzufügen...|4Bearbeiten...|5Entfernen|") } };
    for (const auto& [id, expected] : rows)
        EXPECT_EQ(Shown(id), expected) << id;
}

static std::string g_drawn;
static int WINAPI RecordDrawnText(HDC, LPCWSTR text, int, LPRECT, UINT)
{
    g_drawn += CString(text);
    return 1;
}

// An empty list says what to do, with the extension put in as it is; it is silent while an item is listed.
TEST(EmptyList, SaysHowToAddAnApplicationUntilOneIsListed)
{
    TestStore::Reset();
    ImportPatch drawText(&__imp_DrawTextW, (void*)RecordDrawnText);
    const std::string hint = Text("No application is assigned to .%s files yet.\nRight-click here and choose "
                                  "Add... to pick one.",
        "Den .%s-Dateien ist noch keine Anwendung zugeordnet.\nKlicken Sie hier mit der rechten Maustaste "
        "und "
        "wählen Sie Hinzufügen..., um eine auszuwählen.");
    std::vector<std::string> drawn;
    auto redraw = Chooser::Do([&drawn] {
        g_drawn.clear();
        ::RedrawWindow(Chooser::List(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        drawn.push_back(g_drawn);
    });
    auto assign = Chooser::Do([] {
        TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
        TestStore::AddAssignment("%s", "a.exe");
        Chooser::running->LoadList();
    });
    Chooser::Run("C:\\a.%s", { redraw, assign, redraw, Chooser::Command(ID_REMOVE, 0), redraw });
    EXPECT_EQ(drawn, (std::vector<std::string> { hint, "", hint }));
}

// Anything but one argument shows the usage note; a file without an extension is an error, and unsaved.
TEST(Startup, ShowsTheUsageNoteUnlessGivenOneFileWhichTheChooserTakes)
{
    TestStore::Delete("");
    BoxCatcher boxes;
    const std::string note = Loaded(IDS_NOTE_CAPTION) + "|" + Loaded(IDS_USAGE) + "|i";
    const std::pair<std::vector<const char*>, std::string> rows[]
        = { { {}, note }, { { "C:\\My", "Documents\\a.txt" }, note },
              { { "C:\\Docs\\README" }, ErrorBox(Loaded(IDS_NO_EXTENSION)) } };
    for (auto [arguments, box] : rows) {
        arguments.insert(arguments.begin(), "Zelvanto.exe");
        arguments.push_back(nullptr);
        int count = std::exchange(__argc, static_cast<int>(arguments.size()) - 1);
        char** vector = std::exchange(__argv, const_cast<char**>(arguments.data()));
        EXPECT_FALSE(theApp.InitInstance()) << "no message loop follows";
        __argc = count;
        __argv = vector;
        EXPECT_EQ(boxes.Take(), std::vector { box });
    }
    EXPECT_FALSE(TestStore::KeyExists(""));
}

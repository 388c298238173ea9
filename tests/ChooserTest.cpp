// The chooser with the real list view, menus and dialogs: what it shows, and that each command reaches the
// store and shows what it answered.
#include "support/ChooserRun.h"

#include <gtest/gtest.h>

#include <fstream>

struct ChooserTest : ::testing::Test {
    void SetUp() override { TestStore::Reset(); }
    BoxCatcher boxes;
    // An application assigned to txt.
    static void Assign(
        const std::string& appKey, const std::string& path, const char* name, DWORD isDefault = 0)
    {
        TestStore::AddApplication(appKey, path, name);
        TestStore::AddAssignment("txt", appKey, isDefault);
    }
};

// Placed small, the chooser shows its items in the store's order, with the default selected and, once the
// list has painted, in view.
TEST_F(ChooserTest, ShowsTheItemsInOrderWithTheDefaultInView)
{
    for (const char* name : { "Gamma", "beta", "Alpha", "Delta", "Epsilon", "Zeta" })
        Assign(std::string(name) + ".exe", "C:\\x.exe", name, name[0] == 'Z');
    TestStore::SetPlace("txt", { 100, 100, 160, 110 });
    auto visible = [] { return ::IsWindowVisible(Chooser::Window()) != FALSE; };
    auto shown = Chooser::Do([] {
        ::UpdateWindow(Chooser::List());
        EXPECT_EQ(Chooser::Items(),
            (std::vector<std::string> { "Alpha", "beta", "Delta", "Epsilon", "Gamma", "Zeta" }));
        EXPECT_EQ(Chooser::Selected(), 5);
        RECT item = {};
        RECT client = {};
        ListView_GetItemRect(Chooser::List(), 5, &item, LVIR_BOUNDS);
        ::GetClientRect(Chooser::List(), &client);
        EXPECT_TRUE(::IntersectRect(&item, &item, &client)) << "the default is in view";
    });
    Chooser::Run("C:\\Docs\\a.txt", { visible, shown });
}

// The menu as it would show: its default, each id with "x" if grayed, "*" if checked, and where it opens.
static std::string g_menu;
static BOOL WINAPI ShowMenu(HMENU menu, UINT, int x, int y, int, HWND, const RECT*)
{
    std::ostringstream seen;
    seen << ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED) % 100;
    for (UINT id : { ID_OPEN, ID_DEFAULT, ID_ADD, ID_EDIT, ID_REMOVE }) {
        UINT state = ::GetMenuState(menu, id, MF_BYCOMMAND);
        seen << ' ' << id % 100 << (state & MF_GRAYED ? "x" : "") << (state & MF_CHECKED ? "*" : "");
    }
    POINT at = { x, y };
    ::ScreenToClient(Chooser::List(), &at);
    seen << " @" << at.x << ',' << at.y;
    g_menu = seen.str();
    return FALSE;
}

// The menu for each selection, where it was asked for, and none over the caption; Default reaches the store.
TEST_F(ChooserTest, TheMenuFollowsTheSelection)
{
    ImportPatch show(&__imp_TrackPopupMenu, (void*)ShowMenu);
    Assign("a.exe", "C:\\a.exe", "A", 1);
    Assign("b.exe", "C:\\b.exe", "B");
    TestStore::SetPlace("txt", { 100, 100, 140, 100 });
    // The item to select (-2: as loaded), the height on the screen asked at (105: the caption), the menu.
    const std::tuple<int, int, std::string> rows[] = { { -2, 150, "1 1 9* 2 4 5 @46,27" },
        { 1, 150, "1 1 9 2 4 5 @46,27" }, { -1, 150, "1 1x 9x 2 4x 5x @46,27" }, { -1, 105, "" } };
    Steps steps;
    for (const auto& [item, y, menu] : rows) {
        steps.push_back(Chooser::Do([item, y, menu] {
            if (item > -2)
                Chooser::Select(item);
            g_menu.clear();
            ::SendMessageA(Chooser::Window(), WM_CONTEXTMENU, (WPARAM)Chooser::Window(), MAKELPARAM(150, y));
            EXPECT_EQ(g_menu, menu) << item << " at " << y;
        }));
    }
    steps.push_back(Chooser::Command(ID_DEFAULT, 1));
    Chooser::Run("C:\\a.txt", steps);
    EXPECT_EQ(TestStore::Get("Extensions\\txt\\b.exe", "Default"), "#1");
}

// The active window when it is a dialog with the control.
static HWND Dialog(int control)
{
    HWND active = ::GetActiveWindow();
    return ::GetDlgItem(active, control) ? active : nullptr;
}

// Types the name into the open dialog (its name box 0x47C) and presses Open.
static Steps Pick(const std::string& path)
{
    auto type = [path] {
        HWND dialog = Dialog(0x47C);
        if (!dialog)
            return false;
        ::SetDlgItemTextA(dialog, 0x47C, path.c_str());
        Chooser::Post(dialog, IDOK);
        return true;
    };
    auto gone = [] { return !Dialog(0x47C) && ::GetActiveWindow(); };
    return { type, gone };
}

// Edit shows the stored texts in fields that take no more than the store reads back, takes a browsed program
// and "%1", writes what changed, if only in letter case, and reloads; an Add the store refuses is told.
TEST_F(ChooserTest, EditAndAddReachTheStore)
{
    Assign("viewer.exe", "C:\\viewer.exe", "Viewer");
    std::ofstream("C:\\viewer.exe");
    auto field = [](int id) { return ::GetDlgItem(Dialog(IDC_NAME), id); };
    auto edit = Chooser::Do([&field] {
        EXPECT_EQ(WindowText(field(IDC_NAME)) + "|" + WindowText(field(IDC_PATH)), "Viewer|C:\\viewer.exe");
        for (int id : { IDC_NAME, IDC_PATH, IDC_PARAMETERS }) {
            ::SendMessageA(field(id), EM_SETSEL, 0, -1);
            ::SendMessageA(field(id), EM_REPLACESEL, TRUE, (LPARAM)std::string(300, 'x').c_str());
            EXPECT_EQ(::GetWindowTextLengthA(field(id)), 259) << id;
        }
        ::SetWindowTextA(field(IDC_NAME), "");
        ::SetWindowTextA(field(IDC_PARAMETERS), "ab");
        ::SendMessageA(field(IDC_PARAMETERS), EM_SETSEL, 1, 2);
        ::SendMessageA(Dialog(IDC_NAME), WM_COMMAND, IDC_INSERT_FILE, 0);
        Chooser::Post(Dialog(IDC_NAME), IDC_BROWSE);
    });
    auto shown = [] { return Dialog(IDC_NAME) != nullptr; };
    auto confirm = Chooser::Do([] { Chooser::Post(Dialog(IDC_NAME), IDOK); });
    auto reloaded = [] { return !Dialog(IDC_NAME) && Chooser::Selected() < 0; };
    Chooser::Run("C:\\a.txt",
        Steps { Chooser::Command(ID_ADD) } + Pick("C:\\viewer.exe")
            + Steps { Chooser::Command(ID_EDIT, 0), shown, edit } + Pick("C:\\viewer.exe")
            + Steps { confirm, reloaded });
    const std::string viewer = "Applications\\viewer.exe";
    EXPECT_EQ(TestStore::Get(viewer, "DisplayName") + "|" + TestStore::Get(viewer, "Path") + "|"
            + TestStore::Get("Extensions\\txt\\viewer.exe", "Parameters"),
        "viewer|C:\\viewer.exe|a\"%1\"");
    EXPECT_EQ(boxes.Take(), std::vector { ProgramBox(Loaded(IDS_ASSIGNMENT_EXISTS)) });
}

// Enter, Open and a click each reach the launch; a program that cannot be started or read is told, and the
// chooser stays open for the next try.
TEST_F(ChooserTest, AFailedLaunchIsToldAndTheChooserStaysOpen)
{
    Assign("a.exe", "C:\\nowhere\\a.exe", "A");
    Assign("b.exe", "C:\\nowhere\\b.exe", "B");
    auto removed = Chooser::Do([] { TestStore::Delete("Applications\\b.exe"); });
    auto click = Chooser::Do([] {
        NMHDR header = { Chooser::List(), IDC_APP_LIST, UINT(NM_CLICK) };
        ::SendMessageA(Chooser::Window(), WM_NOTIFY, IDC_APP_LIST, reinterpret_cast<LPARAM>(&header));
    });
    Steps steps = { Chooser::Command(IDOK, 0), Chooser::Command(ID_OPEN, 1), removed, click,
        Chooser::Command(IDOK, -1) };
    EXPECT_EQ(Chooser::Run("C:\\x.txt", steps), IDCANCEL);
    EXPECT_EQ(boxes.Take(),
        (std::vector<std::string> { StoreMessage(IDS_ERR_LAUNCH, "\"C:\\nowhere\\a.exe\""),
            StoreMessage(IDS_ERR_LAUNCH, "\"C:\\nowhere\\b.exe\""),
            StoreMessage(IDS_ERR_OPEN_KEY, TestStore::Full("Applications\\b.exe")) }));
}

// A change on what another copy replaced meanwhile changes nothing, tells so, and shows the store as it is.
TEST_F(ChooserTest, AStaleChangeReloadsAndTells)
{
    Assign("a.exe", "C:\\a.exe", "A");
    Assign("b.exe", "C:\\b.exe", "B");
    auto anotherCopy = Chooser::Do([] {
        TestStore::Set("Applications\\b.exe", "Path", "C:\\new\\b.exe");
        Assign("c.exe", "C:\\c.exe", "C");
    });
    auto reloaded = [] { return Chooser::Items() == std::vector<std::string> { "A", "B", "C" }; };
    Chooser::Run("C:\\a.txt", { anotherCopy, Chooser::Command(ID_REMOVE, 1), reloaded });
    EXPECT_EQ(boxes.Take(), std::vector { ProgramBox(Loaded(IDS_STORE_CHANGED)) });
    EXPECT_TRUE(TestStore::KeyExists("Extensions\\txt\\b.exe"));
}

// Closed minimised, maximised, moved or resized, the chooser saves its normal place; its list fills it.
TEST_F(ChooserTest, ClosingSavesTheNormalPlaceAndTheListFillsTheWindow)
{
    Assign("a.exe", "C:\\a.exe", "A");
    const UINT kMove = 0;
    const UINT kResize = 1;
    auto shown = [] { return ::IsWindowVisible(Chooser::Window()) != FALSE; };
    // How the window is changed; the place saved.
    const std::pair<UINT, std::vector<int>> rows[]
        = { { SW_MINIMIZE, { 100, 100, 300, 200 } }, { SW_MAXIMIZE, { 100, 100, 300, 200 } },
              { kMove, { 120, 110, 300, 200 } }, { kResize, { 100, 100, 400, 250 } } };
    for (const auto& [change, saved] : rows) {
        TestStore::SetPlace("txt", { 100, 100, 300, 200 });
        auto changed = Chooser::Do([change] {
            if (change == kMove || change == kResize) {
                UINT keep = change == kMove ? SWP_NOSIZE : SWP_NOMOVE;
                ::SetWindowPos(Chooser::Window(), nullptr, 120, 110, 400, 250, keep | SWP_NOZORDER);
            } else {
                ::ShowWindow(Chooser::Window(), change);
            }
        });
        // Once the window has taken the change, the list fills it.
        auto filled = [change] {
            HWND window = Chooser::Window();
            RECT rect = {};
            ::GetWindowRect(window, &rect);
            if (change == SW_MINIMIZE)
                return ::IsIconic(window) != FALSE;
            bool taken = change == SW_MAXIMIZE ? ::IsZoomed(window) != FALSE
                : change == kMove              ? rect.left == 120
                                               : rect.right - rect.left == 400;
            RECT client = {};
            RECT list = {};
            ::GetClientRect(window, &client);
            ::GetClientRect(Chooser::List(), &list);
            return taken && ::EqualRect(&client, &list);
        };
        Chooser::Run("C:\\a.txt", { shown, changed, filled });
        std::vector<int> place;
        for (const char* name : TestStore::kPlaceNames)
            place.push_back(static_cast<int>(std::stoul(TestStore::Get("Extensions\\txt", name).substr(1))));
        EXPECT_EQ(place, saved) << change;
    }
}

// "Add from Windows" as it would show: its entries, or "greyed".
static std::string g_known;
static BOOL WINAPI ShowKnownMenu(HMENU menu, UINT, int, int, int, HWND, const RECT*)
{
    HMENU known = ::GetSubMenu(menu, 5);
    g_known = ::GetMenuState(menu, 5, MF_BYPOSITION) & MF_GRAYED ? "greyed" : "";
    for (int position = 0; position < ::GetMenuItemCount(known); ++position) {
        char text[256] = "";
        ::GetMenuStringA(known, position, text, sizeof text, MF_BYPOSITION);
        g_known += std::string(text) + ";";
    }
    return FALSE;
}

// The programs Windows knows for the type and that are not assigned are offered by name in the list's order;
// a pick assigns one with its parameters and selects it; with none left the entry is greyed.
TEST_F(ChooserTest, AddFromWindowsAssignsWhatWindowsKnowsAndSelectsIt)
{
    const std::string classes = "Software\\Classes\\";
    auto set = [&classes](const std::string& key, const char* name, const char* text) {
        HKEY handle = nullptr;
        ::RegCreateKeyExA(
            HKEY_CURRENT_USER, (classes + key).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr);
        ::RegSetValueExA(handle, name, 0, REG_SZ, (const BYTE*)text, ::lstrlenA(text) + 1);
        ::RegCloseKey(handle);
    };
    set(".zvk", nullptr, "Zvk.File");
    set("Zvk.File\\shell\\open", "FriendlyAppName", "Zeta & Pad");
    set("Zvk.File\\shell\\open\\command", nullptr, "\"C:\\windows\\notepad.exe\" /p \"%1\"");
    set(".zvk\\OpenWithList\\regedit.exe", nullptr, "");
    set("Applications\\regedit.exe", "FriendlyAppName", "Alpha");
    set("Applications\\regedit.exe\\shell\\open\\command", nullptr, "C:\\windows\\regedit.exe %1");
    ImportPatch show(&__imp_TrackPopupMenu, (void*)ShowKnownMenu);
    auto known = [](const std::string& entries) {
        return Chooser::Do([entries] {
            ::SendMessageA(Chooser::Window(), WM_CONTEXTMENU, (WPARAM)Chooser::Window(), MAKELPARAM(-1, -1));
            EXPECT_EQ(g_known, entries);
        });
    };
    auto selected = [](const char* name) {
        return [name] { return Chooser::Selected() >= 0 && Chooser::Items()[Chooser::Selected()] == name; };
    };
    Chooser::Run("C:\\a.zvk",
        { known("Alpha;Zeta && Pad;"), Chooser::Command(ID_ADD_KNOWN_FIRST + 1), selected("Zeta & Pad"),
            known("Alpha;"), Chooser::Command(ID_ADD_KNOWN_FIRST), selected("Alpha"), known("greyed") });
    EXPECT_EQ(TestStore::Get("Extensions\\zvk\\notepad.exe", "Parameters") + "|"
            + TestStore::Get("Applications\\regedit.exe", "Path"),
        "/p \"%1\"|C:\\windows\\regedit.exe");
    for (const char* key : { ".zvk", "Zvk.File", "Applications\\regedit.exe" })
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (classes + key).c_str());
}

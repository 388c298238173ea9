// The chooser with the real list view, menus and dialogs: what it shows, and each command's answer.
#include "support/ChooserRun.h"

#include <gtest/gtest.h>

#include <fstream>

struct ChooserTest : ::testing::Test {
    void SetUp() override { TestStore::Reset(); }
    BoxCatcher boxes;
    static void Assign(
        const std::string& appKey, const std::string& path, const char* name, DWORD isDefault = 0)
    {
        TestStore::AddApplication(appKey, path, name);
        TestStore::AddAssignment("txt", appKey, isDefault);
    }
};

// Without exactly one file with an extension, the program says so and leaves no chooser open.
static bool g_chooserShown = false;
static void CALLBACK CloseShownChooser(HWND, UINT, UINT_PTR, DWORD)
{
    CWnd* chooser = theApp.m_pMainWnd;
    if (!chooser || !::IsWindowVisible(chooser->m_hWnd))
        return;
    g_chooserShown = true;
    Chooser::Post(chooser->m_hWnd, IDCANCEL);
}

TEST_F(ChooserTest, WithoutOneFileWithAnExtensionTheProgramTellsAndEnds)
{
    const std::string usage = Loaded(IDS_NOTE_CAPTION) + "|" + Loaded(IDS_USAGE);
    const HICON information = ::LoadIconA(nullptr, IDI_INFORMATION);
    // The command line; the note and its icon.
    const std::tuple<std::vector<const char*>, std::string, HICON> rows[]
        = { { { "z.exe" }, usage, information },
              { { "z.exe", "C:\\a.txt", "C:\\b.txt" }, usage, information },
              { { "z.exe", "C:\\my.dir\\README" }, ProgramBox(Loaded(IDS_NO_EXTENSION)),
                  ::LoadIconA(nullptr, IDI_WARNING) } };
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, CloseShownChooser);
    for (auto [arguments, note, icon] : rows) {
        __argc = static_cast<int>(arguments.size());
        __argv = const_cast<char**>(arguments.data());
        theApp.InitInstance();
        EXPECT_EQ(boxes.Take(), std::vector { note }) << arguments.size();
        EXPECT_EQ(boxes.icon, icon) << arguments.size();
    }
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(g_chooserShown);
}

// What the program itself draws: the empty list's hint.
static std::string g_drawn;
static ImportPatch* g_draw = nullptr;
static int WINAPI Draw(HDC dc, LPCWSTR text, int length, LPRECT rect, UINT format)
{
    char drawn[1024] = "";
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, drawn, sizeof drawn - 1, nullptr, nullptr);
    g_drawn = drawn;
    return g_draw->Original<decltype(&::DrawTextW)>()(dc, text, length, rect, format);
}

// Placed small, the chooser shows its items in order, the default selected and, once painted, in view.
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
        EXPECT_EQ(WindowText(Chooser::Window()), "Open with ...");
        RECT item = {};
        RECT client = {};
        ListView_GetItemRect(Chooser::List(), 5, &item, LVIR_BOUNDS);
        ::GetClientRect(Chooser::List(), &client);
        EXPECT_TRUE(::IntersectRect(&item, &item, &client)) << "the default is in view";
    });
    ImportPatch draw(&__imp_DrawTextW, (void*)Draw);
    g_draw = &draw;
    Chooser::Run("C:\\Docs\\a.txt", { visible, shown });
    EXPECT_EQ(g_drawn, "") << "no hint over the items";
    Chooser::Run("C:\\Docs\\a.md", { visible, Chooser::Do([] { ::UpdateWindow(Chooser::List()); }) });
    EXPECT_EQ(g_drawn, "No application is assigned to .md files yet.\n" + Loaded(IDS_EMPTY_LIST_ADD));
}

// The menu: its default, each id in order (0: separator), "x" if grayed, "*" if checked, where it opens; and
// the entries of "Add from Windows", or "greyed".
static std::string g_menu;
static std::string g_known;
static BOOL WINAPI ShowMenu(HMENU menu, UINT, int x, int y, int, HWND, const RECT*)
{
    std::ostringstream seen;
    seen << ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED) % 100;
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        UINT id = ::GetMenuItemID(menu, position);
        UINT state = ::GetMenuState(menu, position, MF_BYPOSITION);
        seen << ' ' << id % 100 << (state & MF_GRAYED ? "x" : "") << (state & MF_CHECKED ? "*" : "");
    }
    POINT at = { x, y };
    ::ScreenToClient(Chooser::List(), &at);
    seen << " @" << at.x << ',' << at.y;
    g_menu = seen.str();
    HMENU known = ::GetSubMenu(menu, 5);
    g_known = ::GetMenuState(menu, 5, MF_BYPOSITION) & MF_GRAYED ? "greyed" : "";
    for (int position = 0; position < ::GetMenuItemCount(known); ++position) {
        char text[256] = "";
        ::GetMenuStringA(known, position, text, sizeof text, MF_BYPOSITION);
        g_known += std::string(text) + ";";
    }
    return FALSE;
}

// The menu for each selection, where it was asked for, and none over the caption; Default reaches the store.
TEST_F(ChooserTest, TheMenuFollowsTheSelection)
{
    ImportPatch show(&__imp_TrackPopupMenu, (void*)ShowMenu);
    Assign("a.exe", "C:\\a.exe", "A", 1);
    Assign("b.exe", "C:\\b.exe", "B");
    TestStore::SetPlace("txt", { 100, 100, 140, 100 });
    // Item to select (-2: as loaded), height asked at (105: caption; -1: Shift+F10 scrolled to top), menu.
    const std::tuple<int, int, std::string> rows[] = { { -2, 150, "1 1 0x 9* 0x 2 95x 4 5 @46,27" },
        { 1, 150, "1 1 0x 9 0x 2 95x 4 5 @46,27" }, { -1, 150, "1 1x 0x 9x 0x 2 95x 4x 5x @46,27" },
        { -1, 105, "" }, { 1, -1, "1 1 0x 9 0x 2 95x 4 5 @37,18" } };
    Steps steps;
    for (const auto& [item, y, menu] : rows) {
        steps.push_back(Chooser::Do([item, y, menu] {
            if (item > -2)
                Chooser::Select(item);
            if (y < 0)
                ListView_Scroll(Chooser::List(), 0, -1000);
            g_menu.clear();
            LPARAM point = y < 0 ? MAKELPARAM(-1, -1) : MAKELPARAM(150, y);
            ::SendMessageA(Chooser::Window(), WM_CONTEXTMENU, (WPARAM)Chooser::Window(), point);
            EXPECT_EQ(g_menu, menu) << item << " at " << y;
        }));
    }
    steps.push_back(Chooser::Command(ID_DEFAULT, 1));
    Chooser::Run("C:\\a.txt", steps);
    EXPECT_EQ(TestStore::Get("Extensions\\txt\\b.exe", "Default"), "#1");
    HRSRC german = ::FindResourceExA(
        nullptr, RT_MENU, MAKEINTRESOURCEA(IDR_CONTEXT), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    HMENU menu = ::LoadMenuIndirectA(::LoadResource(nullptr, german));
    char text[64] = "";
    ::GetMenuStringA(menu, ID_DEFAULT, text, sizeof text, MF_BYCOMMAND);
    ::DestroyMenu(menu);
    EXPECT_STREQ(text, "Standard");
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

// Edit's fields take what the store reads back, "%1" and a browsed program, whose name fills only an emptied
// name; it writes what changed and reloads; a failed write is told, as is a refused Add.
TEST_F(ChooserTest, EditAndAddReachTheStore)
{
    Assign("viewer.exe", "C:\\viewer.exe", "Viewer");
    std::ofstream("C:\\viewer.exe");
    std::ofstream("C:\\other.exe");
    auto field = [](int id) { return ::GetDlgItem(Dialog(IDC_NAME), id); };
    auto edit = Chooser::Do([&field] {
        EXPECT_EQ(WindowText(field(IDC_NAME)) + "|" + WindowText(field(IDC_PATH)), "Viewer|C:\\viewer.exe");
        for (int id : { IDC_NAME, IDC_PATH, IDC_PARAMETERS }) {
            ::SendMessageA(field(id), EM_SETSEL, 0, -1);
            ::SendMessageA(field(id), EM_REPLACESEL, TRUE, (LPARAM)std::string(300, 'x').c_str());
            EXPECT_EQ(::GetWindowTextLengthA(field(id)), 259) << id;
        }
        ::SetWindowTextA(field(IDC_NAME), "Mine");
        ::SetWindowTextA(field(IDC_PARAMETERS), "ab");
        ::SendMessageA(field(IDC_PARAMETERS), EM_SETSEL, 1, 2);
        ::SendMessageA(Dialog(IDC_NAME), WM_COMMAND, IDC_INSERT_FILE, 0);
        EXPECT_EQ(WindowText(field(IDC_PARAMETERS)), "a\"%1\"");
        Chooser::Post(Dialog(IDC_NAME), IDC_BROWSE);
    });
    auto typedNameKept = Chooser::Do([&field] {
        EXPECT_EQ(WindowText(field(IDC_NAME)) + "|" + WindowText(field(IDC_PATH)), "Mine|C:\\viewer.exe");
        ::SetWindowTextA(field(IDC_NAME), "");
        Chooser::Post(Dialog(IDC_NAME), IDC_BROWSE);
    });
    auto shown = [] { return Dialog(IDC_NAME) != nullptr; };
    auto confirm = Chooser::Do([] { Chooser::Post(Dialog(IDC_NAME), IDOK); });
    auto reloaded = [] { return !Dialog(IDC_NAME) && Chooser::Selected() < 0; };
    FailingWrites writes;
    writes.unwritable = "Path";
    Chooser::Run("C:\\a.txt",
        Steps { Chooser::Command(ID_ADD) } + Pick("C:\\viewer.exe")
            + Steps { Chooser::Command(ID_EDIT, 0), shown, edit } + Pick("C:\\viewer.exe")
            + Steps { typedNameKept } + Pick("C:\\other.exe") + Steps { confirm, reloaded });
    const std::string viewer = "Applications\\viewer.exe";
    EXPECT_EQ(TestStore::Get(viewer, "DisplayName") + "|" + TestStore::Get(viewer, "Path") + "|"
            + TestStore::Get("Extensions\\txt\\viewer.exe", "Parameters"),
        "other|C:\\viewer.exe|a\"%1\"");
    EXPECT_EQ(boxes.Take(),
        (std::vector { ProgramBox(Loaded(IDS_ASSIGNMENT_EXISTS)),
            StoreMessage(IDS_ERR_WRITE_KEY, TestStore::Full(viewer)) }));
}

// Enter, Open and a click launch; a failed launch is told and the chooser stays open. A stale Remove changes
// nothing, tells so, and shows the store as it is.
TEST_F(ChooserTest, AFailedLaunchOrStaleChangeIsToldAndTheChooserStaysOpen)
{
    Assign("a.exe", "C:\\nowhere\\a.exe", "A");
    Assign("b.exe", "C:\\nowhere\\b.exe", "B");
    auto anotherCopy = Chooser::Do([] {
        TestStore::Set("Applications\\b.exe", "Path", "C:\\new\\b.exe");
        Assign("c.exe", "C:\\c.exe", "C");
    });
    auto reloaded = [] { return Chooser::Items() == std::vector<std::string> { "A", "B", "C" }; };
    auto removed = Chooser::Do([] { TestStore::Delete("Applications\\b.exe"); });
    auto click = Chooser::Do([] {
        Chooser::Select(1);
        NMHDR header = { Chooser::List(), IDC_APP_LIST, UINT(NM_CLICK) };
        ::SendMessageA(Chooser::Window(), WM_NOTIFY, IDC_APP_LIST, reinterpret_cast<LPARAM>(&header));
    });
    Steps steps = { Chooser::Command(IDOK, 0), Chooser::Command(ID_OPEN, 1), anotherCopy,
        Chooser::Command(ID_REMOVE, 1), reloaded, removed, click, Chooser::Command(IDOK, -1) };
    EXPECT_EQ(Chooser::Run("C:\\x.txt", steps), IDCANCEL);
    EXPECT_EQ(boxes.Take(),
        (std::vector<std::string> { StoreMessage(IDS_ERR_LAUNCH, "\"C:\\nowhere\\a.exe\""),
            StoreMessage(IDS_ERR_LAUNCH, "\"C:\\nowhere\\b.exe\""), ProgramBox(Loaded(IDS_STORE_CHANGED)),
            StoreMessage(IDS_ERR_OPEN_KEY, TestStore::Full("Applications\\b.exe")) }));
    EXPECT_TRUE(TestStore::KeyExists("Extensions\\txt\\b.exe"));
}

// Closed minimised, maximised, moved or resized, the chooser saves its normal place; its list fills it.
TEST_F(ChooserTest, ClosingSavesTheNormalPlaceAndTheListFillsTheWindow)
{
    Assign("a.exe", "C:\\a.exe", "A");
    auto shown = [] { return ::IsWindowVisible(Chooser::Window()) != FALSE; };
    // How it is shown, then moved to 120,110 and sized 400x250 but for what the flags keep; the place saved.
    const std::tuple<int, UINT, std::vector<int>> rows[] = { { SW_MINIMIZE, 0, { 100, 100, 300, 200 } },
        { SW_MAXIMIZE, 0, { 100, 100, 300, 200 } }, { SW_SHOW, SWP_NOSIZE, { 120, 110, 300, 200 } },
        { SW_SHOW, SWP_NOMOVE, { 100, 100, 400, 250 } } };
    for (const auto& [show, keep, saved] : rows) {
        TestStore::SetPlace("txt", { 100, 100, 300, 200 });
        auto changed = Chooser::Do([show, keep] {
            ::ShowWindow(Chooser::Window(), show);
            if (keep)
                ::SetWindowPos(Chooser::Window(), nullptr, 120, 110, 400, 250, keep | SWP_NOZORDER);
        });
        auto filled = [show, saved] {
            RECT window = {};
            RECT client = {};
            RECT list = {};
            ::GetWindowRect(Chooser::Window(), &window);
            ::GetClientRect(Chooser::Window(), &client);
            ::GetClientRect(Chooser::List(), &list);
            if (show != SW_SHOW)
                return ::IsIconic(Chooser::Window())
                    || (::IsZoomed(Chooser::Window()) && ::EqualRect(&client, &list));
            return window.left == saved[0] && window.right - window.left == saved[2]
                && ::EqualRect(&client, &list);
        };
        Chooser::Run("C:\\a.txt", { shown, changed, filled });
        std::vector<int> place;
        for (const char* name : TestStore::kPlaceNames)
            place.push_back(static_cast<int>(std::stoul(TestStore::Get("Extensions\\txt", name).substr(1))));
        EXPECT_EQ(place, saved) << show << " " << keep;
    }
}

// What Windows knows and is not assigned is offered in order; a pick assigns and selects it; none left greys.
TEST_F(ChooserTest, AddFromWindowsAssignsWhatWindowsKnowsAndSelectsIt)
{
    const std::string classes = "Software\\Classes\\";
    auto set = [&classes](const std::string& key, const char* name, const char* text) {
        ::RegSetKeyValueA(
            HKEY_CURRENT_USER, (classes + key).c_str(), name, REG_SZ, text, ::lstrlenA(text) + 1);
    };
    set(".zvk", nullptr, "Zvk.File");
    set("Zvk.File\\shell\\open", "FriendlyAppName", "Zeta & Pad");
    set("Zvk.File\\shell\\open\\command", nullptr, "\"C:\\windows\\notepad.exe\" /p \"%1\"");
    set(".zvk\\OpenWithList\\regedit.exe", nullptr, "");
    set("Applications\\regedit.exe", "FriendlyAppName", "Alpha");
    set("Applications\\regedit.exe\\shell\\open\\command", nullptr, "C:\\windows\\regedit.exe %1");
    ImportPatch show(&__imp_TrackPopupMenu, (void*)ShowMenu);
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

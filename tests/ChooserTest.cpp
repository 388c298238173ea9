// The chooser with the real list view, menus and dialogs: what it shows, and each command's answer.
#include "support/ChooserRun.h"

#include <fstream>

struct ChooserTest : ::testing::Test {
    void SetUp() override { TestStore::Reset(); }
    BoxCatcher boxes;
};

// Without exactly one file with an extension, the program says so and leaves no chooser open.
TEST_F(ChooserTest, WithoutOneFileWithAnExtensionTheProgramTellsAndEnds)
{
    const std::string usage = Loaded(IDS_NOTE_CAPTION) + "|" + Loaded(IDS_USAGE);
    // The command line; the note and its icon.
    const std::tuple<std::vector<const char*>, std::string, LPCSTR> rows[]
        = { { { "z.exe" }, usage, IDI_INFORMATION },
              { { "z.exe", "C:\\a.txt", "C:\\b.txt" }, usage, IDI_INFORMATION },
              { { "z.exe", "C:\\my.dir\\README" }, Box(IDS_NO_EXTENSION), IDI_WARNING } };
    static bool chooserShown = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (Chooser::Shown())
            chooserShown = ::PostMessageA(Chooser::Window(), WM_COMMAND, IDCANCEL, 0);
    });
    for (auto [arguments, note, icon] : rows) {
        __argc = static_cast<int>(arguments.size());
        __argv = const_cast<char**>(arguments.data());
        theApp.InitInstance();
        EXPECT_EQ(boxes.Take(), std::vector { note }) << arguments.size();
        EXPECT_EQ(boxes.icon, ::LoadIconA(nullptr, icon)) << arguments.size();
    }
    ::KillTimer(nullptr, timer);
    EXPECT_FALSE(chooserShown);
}

// One small chooser: its items, the default in view, the menu per selection, and Windows' programs added.
TEST_F(ChooserTest, ShowsTheItemsAndTheMenuFollowsTheSelection)
{
    const std::string classes = "Software\\Classes\\";
    const char* known[][3]
        = { { ".zvk", nullptr, "Zvk.File" }, { "Zvk.File\\shell\\open", "FriendlyAppName", "Omega & Pad" },
              { "Zvk.File\\shell\\open\\command", nullptr, "\"C:\\windows\\notepad.exe\" /p \"%1\"" },
              { ".zvk\\OpenWithList\\regedit.exe", nullptr, "" },
              { "Applications\\regedit.exe", "FriendlyAppName", "Kappa" },
              { "Applications\\regedit.exe\\shell\\open\\command", nullptr, "C:\\windows\\regedit.exe %1" } };
    for (auto [key, name, text] : known)
        ::RegSetKeyValueA(
            HKEY_CURRENT_USER, (classes + key).c_str(), name, REG_SZ, text, ::lstrlenA(text) + 1);
    for (const char* name : { "Gamma", "beta", "Alpha", "Delta", "Epsilon", "Zeta" })
        Assign(std::string(name) + ".exe", "C:\\x.exe", name, name[0] == 'Z', "zvk");
    TestStore::SetPlace("zvk", { 100, 100, 160, 110 });
    auto shown = Chooser::Do([] {
        ::UpdateWindow(Chooser::List());
        char text[64] = "";
        std::string items;
        for (int item = 0; item < ListView_GetItemCount(Chooser::List()); ++item) {
            ListView_GetItemText(Chooser::List(), item, 0, text, sizeof text);
            items += text + std::string(" ");
        }
        EXPECT_EQ(items, "Alpha beta Delta Epsilon Gamma Zeta ");
        EXPECT_EQ(Chooser::Selected(), 5);
        EXPECT_EQ(WindowText(Chooser::Window()), "Open with ...");
        EXPECT_TRUE(ListView_IsItemVisible(Chooser::List(), 5)) << "the default is in view";
    });
    // The menu: default, each id (0: separator), "x" greyed, "*" checked, "@" where; then Windows' entries.
    static std::string seenMenu;
    ImportPatch show(
        &__imp_TrackPopupMenu, (void*)+[](HMENU menu, UINT, int x, int y, int, HWND, const RECT*) {
            std::ostringstream seen;
            seen << ::GetMenuDefaultItem(menu, FALSE, GMDI_USEDISABLED) % 100;
            for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
                UINT id = ::GetMenuItemID(menu, position);
                UINT state = ::GetMenuState(menu, position, MF_BYPOSITION);
                seen << ' ' << id % 100 << (state & MF_GRAYED ? "x" : "") << (state & MF_CHECKED ? "*" : "");
            }
            POINT at = { x, y };
            ::ScreenToClient(Chooser::List(), &at);
            seen << " @" << at.x << ',' << at.y << ' ';
            HMENU known = ::GetSubMenu(menu, 5);
            for (int position = 0; position < ::GetMenuItemCount(known); ++position) {
                char text[256] = "";
                ::GetMenuStringA(known, position, text, sizeof text, MF_BYPOSITION);
                seen << text << ';';
            }
            seenMenu = seen.str();
            return FALSE;
        });
    // Item to select (-2: as is), height (105: caption; -1: Shift+F10 scrolled up), menu, command given then.
    const std::tuple<int, int, std::string, int> rows[]
        = { { -1, 150, "1 1x 0x 9x 0x 2 95 4x 5x @46,27 Kappa;Omega && Pad;", 0 }, { -1, 105, "", 0 },
              { 5, -1, "1 1 0x 9* 0x 2 95 4 5 @37,28 Kappa;Omega && Pad;", ID_ADD_KNOWN_FIRST + 1 },
              { -2, -1, "1 1 0x 9 0x 2 95 4 5 @97,11 Kappa;", ID_ADD_KNOWN_FIRST },
              { -2, -1, "1 1 0x 9 0x 2 95x 4 5 @97,11 ", ID_DEFAULT } };
    Steps steps = { Chooser::Shown, shown };
    for (const auto& [item, y, menu, then] : rows) {
        steps.push_back(Chooser::Do([item, y, menu] {
            if (item > -2)
                Chooser::Select(item);
            if (y < 0)
                ListView_Scroll(Chooser::List(), 0, -1000);
            seenMenu.clear();
            LPARAM point = y < 0 ? MAKELPARAM(-1, -1) : MAKELPARAM(150, y);
            ::SendMessageA(Chooser::Window(), WM_CONTEXTMENU, (WPARAM)Chooser::Window(), point);
            EXPECT_EQ(seenMenu, menu) << item << " at " << y;
        }));
        if (then)
            steps.push_back(Chooser::Command(then));
    }
    // What the program itself draws, and only it: the empty list's hint.
    static std::string drawn;
    ImportPatch draw(
        &__imp_DrawTextW, (void*)+[](HDC, LPCWSTR text, int length, LPRECT, UINT) {
            char utf8[1024] = "";
            ::WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8 - 1, nullptr, nullptr);
            drawn = utf8;
            return 0;
        });
    Chooser::Run("C:\\a.zvk", steps);
    EXPECT_EQ(drawn, "") << "no hint over the items";
    EXPECT_EQ(TestStore::Get("Extensions\\zvk\\regedit.exe", "Default") + "|"
            + TestStore::Get("Extensions\\zvk\\notepad.exe", "Parameters") + "|"
            + TestStore::Get("Applications\\notepad.exe", "DisplayName") + "|"
            + TestStore::Get("Applications\\regedit.exe", "Path"),
        "#1|/p \"%1\"|Omega & Pad|C:\\windows\\regedit.exe");
    for (const char* key : { ".zvk", "Zvk.File", "Applications\\regedit.exe" })
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (classes + key).c_str());
    Chooser::Run("C:\\Docs\\a.md", { Chooser::Shown, Chooser::Do([] { ::UpdateWindow(Chooser::List()); }) });
    EXPECT_EQ(drawn, "No application is assigned to .md files yet.\n" + Loaded(IDS_EMPTY_LIST_ADD));
    HMENU menu = ::LoadMenuIndirectA(::LoadResource(nullptr,
        ::FindResourceExA(
            nullptr, RT_MENU, MAKEINTRESOURCEA(IDR_CONTEXT), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN))));
    char text[64] = "";
    ::GetMenuStringA(menu, ID_DEFAULT, text, sizeof text, MF_BYCOMMAND);
    ::DestroyMenu(menu);
    EXPECT_STREQ(text, "Standard");
}

// The active window when it is a dialog with the control.
static HWND Dialog(int control)
{
    return ::GetParent(::GetDlgItem(::GetActiveWindow(), control));
}

// Types the name into the open dialog's name box, presses Open, and is done once it has gone.
static Step Pick(const std::string& path)
{
    return [path, typed = false]() mutable {
        HWND dialog = Dialog(cmb13);
        if (dialog && !typed)
            typed = ::SetDlgItemTextA(dialog, cmb13, path.c_str())
                && ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return typed && !dialog && ::GetActiveWindow();
    };
}

// Commands reach the store; a failed launch, stale Remove, refused Add or write is told and nothing closes.
TEST_F(ChooserTest, CommandsReachTheStoreAndFailuresAreTold)
{
    Assign("a.exe", "C:\\nowhere\\a.exe", "A");
    Assign("b.exe", "C:\\nowhere\\b.exe", "B");
    Assign("viewer.exe", "C:\\viewer.exe", "Viewer");
    std::ofstream("C:\\viewer.exe");
    std::ofstream("C:\\other.exe");
    auto anotherCopy = Chooser::Do([] {
        TestStore::Set("Applications\\b.exe", "Path", "C:\\new\\b.exe");
        Assign("c.exe", "C:\\c.exe", "C");
    });
    auto reloaded = [] { return ListView_GetItemCount(Chooser::List()) == 4; };
    auto removed = Chooser::Do([] { TestStore::Delete("Applications\\b.exe"); });
    auto click = Chooser::Do([] {
        Chooser::Select(1);
        NMHDR header = { Chooser::List(), IDC_APP_LIST, UINT(NM_CLICK) };
        ::SendMessageA(Chooser::Window(), WM_NOTIFY, IDC_APP_LIST, reinterpret_cast<LPARAM>(&header));
    });
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
        Chooser::Post(Dialog(IDC_NAME), IDC_BROWSE);
    });
    auto typedNameKept = Chooser::Do([&field] {
        EXPECT_EQ(WindowText(field(IDC_NAME)) + "|" + WindowText(field(IDC_PATH)), "Mine|C:\\viewer.exe");
        ::SetWindowTextA(field(IDC_NAME), "");
        Chooser::Post(Dialog(IDC_NAME), IDC_BROWSE);
    });
    auto shown = [] { return Dialog(IDC_NAME) != nullptr; };
    auto confirm = Chooser::Do([] { Chooser::Post(Dialog(IDC_NAME), IDOK); });
    auto editReloaded = [] { return !Dialog(IDC_NAME) && Chooser::Selected() < 0; };
    FailingWrites writes;
    writes.unwritable = "Path";
    Steps steps = { Chooser::Command(IDOK, 0), Chooser::Command(ID_OPEN, 1), anotherCopy,
        Chooser::Command(ID_REMOVE, 1), reloaded, removed, click, Chooser::Command(IDOK, -1),
        Chooser::Command(ID_ADD), Pick("C:\\viewer.exe"), Chooser::Command(ID_EDIT, 3), shown, edit,
        Pick("C:\\viewer.exe"), typedNameKept, Pick("C:\\other.exe"), confirm, editReloaded };
    EXPECT_EQ(Chooser::Run("C:\\x.txt", steps), IDCANCEL);
    const std::string viewer = "Applications\\viewer.exe";
    EXPECT_EQ(TestStore::Get(viewer, "DisplayName") + "|" + TestStore::Get(viewer, "Path") + "|"
            + TestStore::Get("Extensions\\txt\\viewer.exe", "Parameters"),
        "other|C:\\viewer.exe|a\"%1\"");
    EXPECT_EQ(boxes.Take(),
        (std::vector<std::string> { Box(IDS_ERR_LAUNCH, "\"C:\\nowhere\\a.exe\""),
            Box(IDS_ERR_LAUNCH, "\"C:\\nowhere\\b.exe\""), Box(IDS_STORE_CHANGED),
            Box(IDS_ERR_OPEN_KEY, TestStore::Full("Applications\\b.exe")), Box(IDS_ASSIGNMENT_EXISTS),
            Box(IDS_ERR_WRITE_KEY, TestStore::Full(viewer)) }));
}

// Closed minimised, maximised, moved or resized, the chooser saves its normal place; its list fills it.
TEST_F(ChooserTest, ClosingSavesTheNormalPlaceAndTheListFillsTheWindow)
{
    Assign("a.exe", "C:\\a.exe", "A");
    // How it is shown (shown plainly, it is moved to 120,110 and sized 400x250); the place saved.
    const std::pair<int, std::vector<int>> rows[] = { { SW_MINIMIZE, { 100, 100, 300, 200 } },
        { SW_MAXIMIZE, { 100, 100, 300, 200 } }, { SW_SHOW, { 120, 110, 400, 250 } } };
    for (const auto& [show, saved] : rows) {
        TestStore::SetPlace("txt", { 100, 100, 300, 200 });
        auto changed = Chooser::Do([show] {
            ::ShowWindow(Chooser::Window(), show);
            if (show == SW_SHOW)
                ::SetWindowPos(Chooser::Window(), nullptr, 120, 110, 400, 250, SWP_NOZORDER);
        });
        auto filled = [saved] {
            RECT window = {}, client = {}, list = {};
            ::GetWindowRect(Chooser::Window(), &window);
            ::GetClientRect(Chooser::Window(), &client);
            ::GetClientRect(Chooser::List(), &list);
            bool placed = window.left == saved[0] && window.right - window.left == saved[2];
            return ::IsIconic(Chooser::Window())
                || (::EqualRect(&client, &list) && (::IsZoomed(Chooser::Window()) || placed));
        };
        Chooser::Run("C:\\a.txt", { Chooser::Shown, changed, filled });
        std::vector<int> place;
        for (const char* name : TestStore::kPlaceNames)
            place.push_back(static_cast<int>(std::stoul(TestStore::Get("Extensions\\txt", name).substr(1))));
        EXPECT_EQ(place, saved) << show;
    }
}

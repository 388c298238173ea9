// The chooser with the real list view: what it lists, selects and shows, where it stands, and its icons,
// which come after the list: the shell's icon call is held back through this program's own import.
#include "app/FileExtension.h"
#include "support/ChooserRun.h"

#include <gtest/gtest.h>
#include <process.h>
#include <shellapi.h>

using T = TestStore;
using C = Chooser;
static HANDLE g_gate = ::CreateEventA(nullptr, TRUE, TRUE, nullptr); // the shell answers while it is set
static HANDLE g_called = ::CreateSemaphoreA(nullptr, 0, 1000, nullptr); // a count of the shell's calls
static ImportPatch* g_shell = nullptr;

static DWORD_PTR WINAPI HeldGetFileInfo(
    LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT size, UINT flags)
{
    ::ReleaseSemaphore(g_called, 1, nullptr), ::WaitForSingleObject(g_gate, INFINITE);
    return g_shell->Original<decltype(&::SHGetFileInfoA)>()(path, attributes, info, size, flags);
}

struct ChooserTest : ::testing::Test {
    // The hold goes over the counting patch that the store's reset puts in.
    void SetUp() override
    {
        T::Reset();
        static ImportPatch held(
            "shell32.dll", "SHGetFileInfoA", (void*)HeldGetFileInfo, &__imp_SHGetFileInfoA);
        g_shell = &held, ::SetEvent(g_gate);
        while (::WaitForSingleObject(g_called, 0) == WAIT_OBJECT_0) // calls of earlier tests
            ;
    }
    void TearDown() override { EXPECT_EQ(Live().keys, 0) << "keys left open"; }
    // An application named `name` whose parameters are its key; an empty path is none, which has no icon.
    static void Add(const std::string& appKey, const char* name, const std::string& path = C::Recorder())
    {
        T::SetString("Applications\\" + appKey, "DisplayName", name);
        T::SetRaw("Applications\\" + appKey, "Path", path.empty() ? REG_NONE : REG_SZ, path + '\0');
        T::SetString("Extensions\\txt\\" + appKey, "Parameters", appKey);
    }
    BoxCatcher boxes;
};

TEST_F(ChooserTest, ListsWhatCanBeReadByNameWithTheDefaultSelectedAndEachItsIcon)
{
    struct Row {
        const char* appKey;
        DWORD nameType; // REG_NONE: no name; the last key has no application record at all
        std::string name, path, isDefault; // "": no such value
    };
    const std::string z(1, '\0'), one = T::Dword(1), self = C::Recorder();
    const Row rows[] = { { "gamma.exe", REG_SZ, "Gamma" + z, self, T::Dword(0) },
        { "beta.exe", REG_SZ, "beta" + z, "", T::Dword(2) },
        { "alpha.exe", REG_SZ, "Alpha" + z, self, "1" + z },
        { "edit.exe", REG_SZ, "Edit" + z, "C:\\nowhere\\edit.exe", "" },
        { "editor.exe", REG_SZ, "Editor" + z, "C:\\" + std::string(300, 'l') + ".exe", one },
        { "empty.exe", REG_SZ, "", self, one }, { "limit.exe", REG_SZ, std::string(259, 'z') + z, self, "" },
        { "long.exe", REG_SZ, std::string(260, 'n') + z, self, "" },
        { "number.exe", REG_DWORD, one, self, "" }, { "noname.exe", REG_NONE, "", self, "" },
        { "orphan.exe", REG_NONE, "", "", one } };
    for (const Row& row : rows) {
        std::string application = std::string("Applications\\") + row.appKey;
        T::SetRaw(application, "DisplayName", row.nameType, row.name);
        T::SetRaw(application, "Path", row.path.empty() ? REG_NONE : REG_SZ, row.path + z);
        DWORD type = row.isDefault.size() == 4 ? REG_DWORD : row.isDefault.empty() ? REG_NONE : REG_SZ;
        T::SetRaw(std::string("Extensions\\txt\\") + row.appKey, "Default", type, row.isDefault);
    }
    T::Delete("Applications\\orphan.exe");
    int icons = Live().icons;
    // Editor and the empty name (no terminator even) are marked; the later in the store keeps the selection.
    C::Run("C:\\Docs\\a.txt", { C::Do([] {
        EXPECT_EQ(C::Items(),
            (std::vector<std::string> {
                "", "Alpha", "beta", "Edit", "Editor", "Gamma", std::string(259, 'z') }));
        EXPECT_EQ(C::Selected(), 0);
        EXPECT_EQ(C::FallbackIcons(), (std::vector<bool> { false, false, true, true, true, false, false }));
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(C::Images(), &cx, &cy);
        int expected = __argc > 2 ? std::atoi(__argv[2]) : 32; // the system's icon size at this process's dpi
        EXPECT_TRUE(cx == expected && cy == expected) << cx;
    }) });
    T::SetDword("Extensions\\txt\\empty.exe", "Default", 0),
        T::SetDword("Extensions\\txt\\editor.exe", "Default", 0);
    C::Run("C:\\Docs\\a.txt", { C::Do([] { EXPECT_EQ(C::Selected(), -1); }) });
    EXPECT_EQ(Live().icons, icons + 2) << "every icon made is destroyed, but the program's own, shared";
}

TEST_F(ChooserTest, InputBeforeTheIconsActsOnTheChosenApplication)
{
    for (const char* app : { "one", "two", "three" })
        Add(app, app);
    for (int command : { IDOK, ID_OPEN }) {
        C::ExpectLaunch(), ::ResetEvent(g_gate);
        EXPECT_EQ(C::Run("C:\\a.txt", { C::Do([command] {
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(C::Item(i).iImage, I_IMAGENONE) << "no image before its own icon";
            C::Select(2), ::SetEvent(g_gate), C::Post(C::Window(), command);
        }) }),
            IDOK);
        EXPECT_EQ(C::Launched(), '"' + C::Recorder() + "\" two") << command;
    }
}

// Each item shows the icon the shell gives for its file, as the image list stores that icon.
TEST_F(ChooserTest, EachItemShowsTheShellsIcon)
{
    char windows[MAX_PATH] = "";
    const std::string folder(windows, ::GetWindowsDirectoryA(windows, MAX_PATH));
    const std::string paths[] = { C::Recorder(), folder, folder + "\\win.ini", C::Recorder() };
    for (int i = 0; i < 4; ++i)
        Add(std::to_string(i), std::to_string(i).c_str(), paths[i]);
    C::Run("C:\\a.txt", { C::Do([&] {
        EXPECT_TRUE(C::WaitForIcons());
        for (int i = 0; i < 4; ++i) {
            SHFILEINFOA info = {};
            ::SHGetFileInfoA(paths[i].c_str(), 0, &info, sizeof info, SHGFI_ICON);
            HIMAGELIST shell = ::ImageList_Create(
                ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), ILC_COLOR32 | ILC_MASK, 1, 0);
            ::ImageList_ReplaceIcon(shell, -1, info.hIcon);
            EXPECT_EQ(C::Pixels(C::Images(), C::Item(i).iImage), C::Pixels(shell, 0)) << paths[i];
            ::ImageList_Destroy(shell), ::DestroyIcon(info.hIcon);
        }
    }) });
}

// The list test again in a child copy of this program started at 192 dpi, where icons are 64 pixels: the
// system reads its dpi once when a process starts. The value is put back in every case.
TEST_F(ChooserTest, IconsHaveTheSystemsSizeAt192Dpi)
{
    const char* desktop = "Control Panel\\Desktop";
    DWORD before = 0, size = sizeof before, dpi = 192;
    bool had
        = !::RegGetValueA(HKEY_CURRENT_USER, desktop, "LogPixels", RRF_RT_REG_DWORD, nullptr, &before, &size);
    ::RegSetKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    char program[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    intptr_t exitCode = _spawnl(_P_WAIT, program, program, "--gtest_filter=*ListsWhat*", "64", nullptr);
    if (had)
        ::RegSetKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels", REG_DWORD, &before, sizeof before);
    else
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels");
    EXPECT_EQ(exitCode, 0);
}

// Zed's icon, asked for first, is finished while Remove reloads the list; the new load's icons come in
// the store's order, not the list's, and the window is resized, which sorts again.
TEST_F(ChooserTest, IconsGoToTheirOwnItemsOfTheLatestLoad)
{
    Add("a", "Zed"), Add("b", "Alpha", ""), Add("c", "Mid", "");
    ::ResetEvent(g_gate);
    C::Run("C:\\a.txt", { C::Do([] {
        ::WaitForSingleObject(g_called, INFINITE), C::Select(0), ::SetEvent(g_gate);
        ::SendMessageA(C::Window(), WM_COMMAND, ID_REMOVE, 0);
        ::SetWindowPos(C::Window(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(C::FallbackIcons(), (std::vector { true, false }));
        EXPECT_EQ(::ImageList_GetImageCount(C::Images()), 2);
    }) });
}

// Every icon made is destroyed, whether the window took it or not; the program's own icon is shared.
TEST_F(ChooserTest, CloseWhileIconsComeLeavesNoIcon)
{
    Add("a", "a"), Add("b", "b", "C:\\"), Add("c", "c", "C:\\x.bat"), Add("d", "d");
    int icons = Live().icons;
    C::Run("C:\\a.txt", { C::Do([] {
        ::WaitForSingleObject(g_called, INFINITE), ::WaitForSingleObject(g_called, INFINITE);
        ::SendMessageA(C::Window(), WM_COMMAND, IDCANCEL, 0); // icons asked for, some not yet taken
    }) },
        false);
    EXPECT_EQ(Live().icons, icons + 1);
}

TEST_F(ChooserTest, RestoresAndSavesItsPlacePerExtension)
{
    T::AddApplication("a.exe", "C:\\a.exe", "A"), T::AddAssignment("txt", "a.exe");
    const char* names[] = { "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight" };
    auto place = [&](std::vector<int> values) {
        for (int i = 0; i < 4; ++i)
            T::SetDword("Extensions\\txt", names[i], values[i]);
    };
    auto saved = [&] {
        std::string values;
        for (const char* name : names)
            values += std::to_string(T::GetDword("Extensions\\txt", name).value_or(0)) + " ";
        return values;
    };
    auto at = [](int left, int top, int width, int height) {
        ::SetWindowPos(C::Window(), nullptr, left, top, width, height, SWP_NOZORDER);
    };
    RECT shown = {}, client = {}, list = {};
    auto look = C::Do([&] { shown = C::running->initialRect; });
    place({ 100, 80, 420, 300 });
    C::Run("C:\\Docs\\Other.TXT", { look, C::Do([&] { at(150, 90, 640, 480); }) });
    EXPECT_EQ(std::vector<LONG>({ shown.left, shown.top, shown.right, shown.bottom }),
        std::vector<LONG>({ 100, 80, 520, 380 }));
    EXPECT_EQ(saved(), "150 90 640 480 ");
    // The close box saves; minimised, the place saved before stays (closed at once: a window manager may
    // restore it).
    C::Run("C:\\a.txt", { C::Do([&] { at(20, 30, 400, 200), ::PostMessageA(C::Window(), WM_CLOSE, 0, 0); }) },
        false);
    C::Run("C:\\a.txt", { C::Do([&] {
        at(300, 310, 500, 250), ::ShowWindow(C::Window(), SW_MINIMIZE);
        ::SendMessageA(C::Window(), WM_COMMAND, IDCANCEL, 0);
    }) },
        false);
    EXPECT_EQ(saved(), "20 30 400 200 ");
    // Three of the four values, or a place on no monitor: the template's size where the window manager puts
    // it.
    for (int left : { 20, -5000 }) {
        place({ left, 30, 640, 480 });
        if (left > 0)
            T::SetString("Extensions\\txt", "WindowHeight", "480");
        C::Run("C:\\a.txt", { look });
        EXPECT_LT(shown.right - shown.left, 640) << left;
    }
    // The list covers the client area whatever the size; no place is saved without an extension record.
    C::Run("C:\\b.md", { C::Do([&] {
        at(0, 0, 640, 480), ::GetClientRect(C::Window(), &client), ::GetWindowRect(C::List(), &list);
    }) });
    ::OffsetRect(&list, -list.left, -list.top);
    EXPECT_TRUE(::EqualRect(&list, &client));
    EXPECT_FALSE(T::KeyExists("Extensions\\md"));
}

TEST(FileExtension, IsTheTextAfterTheLastDotOfTheFileName)
{
    const std::pair<const char*, const char*> rows[] = { { "C:\\Docs\\report.final.PDF", "PDF" },
        { "C:\\Docs\\README", "" }, { "C:\\my.dir\\README", "" }, { "C:\\Docs\\archive.", "" },
        { "notes.txt", "txt" }, { "C:\\Docs\\.config", "config" }, { "C:/my.dir/README", "dir/README" },
        { "", "" }, { "C:\\notes.txt\\", "" }, { "C:\\r\xE9sum\xE9.d\xF6\x63", "d\xF6\x63" } };
    for (const auto& [path, extension] : rows)
        EXPECT_STREQ(GetFileExtension(path), extension) << path;
}

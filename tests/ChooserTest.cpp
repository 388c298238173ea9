// The chooser with the real list view: what it lists and shows, where it stands, and what it starts.
#include "app/FileExtension.h"
#include "support/ChooserRun.h"

#include <gtest/gtest.h>
#include <map>

using T = TestStore;
using C = Chooser;
// Each item's image: "f" for the fallback icon, white at (15, 20) where no icon of the shell is, else
// numbered in the order first met; empty while an item waits for its icon.
static std::string Images()
{
    std::map<int, char> numbers;
    std::string images;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ bitmap = ::SelectObject(dc, ::CreateBitmap(32, 32, 1, 32, nullptr));
    for (int i = 0, image = 0; i < C::Count() && (image = C::Item(i).iImage) >= 0; ++i) {
        ::PatBlt(dc, 0, 0, 32, 32, BLACKNESS);
        ::ImageList_Draw(ListView_GetImageList(C::List(), LVSIL_NORMAL), image, dc, 0, 0, ILD_NORMAL);
        bool fallback = (::GetPixel(dc, 15, 20) & 0xFFFFFF) == 0xFFFFFF;
        images += fallback ? 'f' : numbers.emplace(image, char('0' + numbers.size())).first->second;
    }
    ::DeleteObject(::SelectObject(dc, bitmap)), ::DeleteDC(dc);
    return static_cast<int>(images.size()) == C::Count() ? images : "";
}

struct ChooserTest : ::testing::Test {
    void SetUp() override { T::Reset(); }
    void TearDown() override { EXPECT_EQ(Live().keys, 0) << "keys left open"; }
    // The recorder as an application named `name` for txt, whose parameters are its key.
    static void Add(const std::string& appKey, const char* name)
    {
        T::AddApplication(appKey, LAUNCH_RECORDER, name),
            T::Set("Extensions\\txt\\" + appKey, "Parameters", appKey);
    }
    BoxCatcher boxes;
};

TEST_F(ChooserTest, ListsWhatCanBeReadByNameWithTheDefaultSelectedAndEachItsIcon)
{
    char windows[MAX_PATH] = "";
    const std::string z(1, '\0'), one = T::Dword(1), self = LAUNCH_RECORDER,
                                  folder(windows, ::GetWindowsDirectoryA(windows, MAX_PATH));
    // Key, name's type and bytes, path, "Default" ("": none); the last has no application record at all.
    const std::tuple<const char*, DWORD, std::string, std::string, std::string> rows[]
        = { { "gamma.exe", REG_SZ, "Gamma" + z, folder, T::Dword(0) },
              { "beta.exe", REG_SZ, "beta" + z, "", T::Dword(2) },
              { "alpha.exe", REG_SZ, "Alpha" + z, self, "1" + z },
              { "edit.exe", REG_SZ, "Edit" + z, "C:\\nowhere\\edit.exe", "" },
              { "editor.exe", REG_SZ, "Editor" + z, "C:\\" + std::string(300, 'l') + ".exe", one },
              { "empty.exe", REG_SZ, "", self, one },
              { "limit.exe", REG_SZ, std::string(259, 'z') + z, self, "" },
              { "long.exe", REG_SZ, std::string(260, 'n') + z, self, "" },
              { "number.exe", REG_DWORD, one, self, "" }, { "noname.exe", REG_NONE, "", self, "" },
              { "orphan.exe", REG_NONE, "", "", one } };
    for (const auto& [appKey, nameType, name, path, isDefault] : rows) {
        std::string application = std::string("Applications\\") + appKey;
        T::Set(application, "DisplayName", nameType, name);
        T::Set(application, "Path", path.empty() ? REG_NONE : REG_SZ, path + z);
        DWORD type = isDefault.size() == 4 ? REG_DWORD : isDefault.empty() ? REG_NONE : REG_SZ;
        T::Set(std::string("Extensions\\txt\\") + appKey, "Default", type, isDefault);
    }
    T::Delete("Applications\\orphan.exe");
    int icons = Live().icons;
    // Editor and the empty name (no terminator even) are marked; the later in the store keeps the selection.
    // Reloaded while icons come and resized, which sorts again: no file, a missing one and one too long share
    // the fallback, a file listed twice has one image, and the list fills the window.
    auto listed = C::Do([] {
        EXPECT_EQ(C::Items(),
            (std::vector<std::string> {
                "", "Alpha", "beta", "Edit", "Editor", "Gamma", std::string(259, 'z') }));
        EXPECT_EQ(C::Selected(), 0);
        C::running->LoadList();
        ::SetWindowPos(C::Window(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    });
    auto shown = C::Do([] {
        EXPECT_EQ(Images(), "00fff10");
        RECT client = {}, list = {};
        ::GetClientRect(C::Window(), &client), ::GetWindowRect(C::List(), &list);
        ::MapWindowPoints(nullptr, C::Window(), reinterpret_cast<POINT*>(&list), 2);
        EXPECT_TRUE(::EqualRect(&list, &client));
    });
    C::Run("C:\\Docs\\a.txt", { listed, [] { return !Images().empty(); }, shown });
    T::Set("Extensions\\txt\\empty.exe", "Default", 0), T::Set("Extensions\\txt\\editor.exe", "Default", 0);
    C::Run("C:\\Docs\\a.txt", { C::Do([] { EXPECT_EQ(C::Selected(), -1); }) });
    EXPECT_EQ(Live().icons, icons + 2) << "every icon made is destroyed, but the program's own, shared";
}

TEST_F(ChooserTest, TheProgramReceivesTheTargetAsTheParametersSay)
{
    const std::string t = "C:\\My Files\\a.txt", f = "C:\\" + std::string(250, 'f') + "\\", z(1, '\0');
    const std::tuple<std::string, DWORD, std::string, std::string> rows[]
        = { { t, REG_NONE, "", '"' + t + '"' }, { t, REG_SZ, z, '"' + t + '"' },
              { t, REG_SZ, "-a %1 -b %1" + z, "-a " + t + " -b " + t }, { t, REG_SZ, "-new" + z, "-new" },
              { t, REG_SZ, "\"%1\" %2 %%1" + z, '"' + t + "\" %2 %" + t },
              { t, REG_DWORD, T::Dword(0x31), '"' + t + '"' },
              { t, REG_SZ, std::string(260, 'p') + z, '"' + t + '"' },
              { "C:\\a%1b.txt", REG_SZ, "%1 %1" + z, "C:\\a%1b.txt C:\\a%1b.txt" },
              { "C:\\say \"hi\".txt", REG_NONE, "", "\"C:\\say \"hi\".txt\"" },
              { "C:\\\"%1\".txt", REG_SZ, "\"%1\"" + z, "\"C:\\\"%1\".txt\"" },
              { f + "x.txt", REG_NONE, "", '"' + f + "x.txt\"" },
              { f + "xy.txt", REG_NONE, "", '"' + f + "xy.txt\"" } };
    Add("aaa.exe", "Aaa"), Add("rec.exe", "Rec"); // the chosen one second in the list
    int row = 0;
    // Enter, Open from the menu and a click on the selected item in turn.
    auto open = C::Do([&row] {
        NMHDR click = { C::List(), IDC_APP_LIST, UINT(NM_CLICK) };
        if (++row % 3 == 0)
            ::SendMessageA(C::Window(), WM_NOTIFY, IDC_APP_LIST, reinterpret_cast<LPARAM>(&click));
        else
            C::Post(C::Window(), row % 3 == 1 ? IDOK : ID_OPEN);
    });
    for (const auto& [target, type, parameters, arguments] : rows) {
        T::Delete("Extensions\\txt\\rec.exe"), T::AddAssignment("txt", "rec.exe", 1);
        T::Set("Extensions\\txt\\rec.exe", "Parameters", type, parameters);
        C::ExpectLaunch();
        EXPECT_EQ(C::Run(target, { open }), IDOK);
        EXPECT_EQ(C::Launched(), std::string("\"" LAUNCH_RECORDER "\" ") + arguments) << parameters;
    }
    EXPECT_TRUE(boxes.Take().empty());
}

// Each is told and the chooser stays open for the next try: a path unread, a program unstarted, a record
// removed meanwhile; Enter with nothing selected does nothing.
TEST_F(ChooserTest, LaunchFailuresAreToldAndTheChooserStaysOpen)
{
    Add("rec.exe", "Rec"), T::AddAssignment("txt", "rec.exe", 1);
    const std::string app = "Applications\\rec.exe", launch = Loaded(IDS_ERR_LAUNCH) + ":\n";
    // The path's type and bytes (REG_NONE: the record is removed), the box told.
    const std::tuple<DWORD, std::string, std::string> rows[] = { { REG_SZ, std::string(261, 'p'),
                                                                     StoreMessage(IDS_ERR_READ_KEY, app) },
        { REG_DWORD, "1234", StoreMessage(IDS_ERR_READ_KEY, app) },
        { REG_SZ, "C:\\nowhere\\missing.exe", ErrorBox(launch + "\"C:\\nowhere\\missing.exe\"") },
        { REG_SZ, "", ErrorBox(launch + "\"\"") }, { REG_NONE, "", StoreMessage(IDS_ERR_OPEN_KEY, app) } };
    Steps steps;
    std::vector<std::string> told;
    for (const auto& [type, path, box] : rows) {
        steps.push_back(C::Do([&, type, path] {
            type == REG_NONE ? T::Delete("Applications") : T::Set(app, "Path", type, path);
            ::SendMessageA(C::Window(), WM_COMMAND, IDOK, 0);
        }));
        told.push_back(box);
    }
    steps.push_back(C::Do([] { C::Select(-1), ::SendMessageA(C::Window(), WM_COMMAND, IDOK, 0); }));
    EXPECT_EQ(C::Run("C:\\x.txt", steps + Steps { C::Do([] { EXPECT_EQ(C::Count(), 1); }) }), IDCANCEL);
    EXPECT_EQ(boxes.Take(), told);
}

// A place is restored only whole and on a monitor, and saved at every close but a minimised one.
TEST_F(ChooserTest, RestoresAndSavesItsPlacePerExtension)
{
    Add("a.exe", "A");
    const char* names[] = { "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight" };
    RECT shown = {};
    auto run = [&](const char* target, std::vector<int> from, RECT to, int show = SW_SHOWNORMAL,
                   UINT close = WM_COMMAND) {
        for (size_t i = 0; i < from.size(); ++i)
            T::Set("Extensions\\txt", names[i], DWORD(from[i]));
        C::Run(target, { C::Do([&, to, show, close] {
            shown = C::running->initialRect;
            ::SetWindowPos(C::Window(), nullptr, to.left, to.top, to.right, to.bottom, SWP_NOZORDER);
            ::ShowWindow(C::Window(), show), ::SendMessageA(C::Window(), close, IDCANCEL, 0);
        }) },
            false);
        std::string saved;
        for (const char* name : names)
            saved += T::Get("Extensions\\txt", name) + " ";
        return saved;
    };
    EXPECT_EQ(
        run("C:\\Docs\\Other.TXT", { 100, 80, 420, 300 }, { 150, 90, 640, 480 }), "#150 #90 #640 #480 ");
    EXPECT_EQ(std::vector<LONG>({ shown.left, shown.top, shown.right, shown.bottom }),
        std::vector<LONG>({ 100, 80, 520, 380 }));
    run("C:\\a.txt", {}, { 20, 30, 400, 200 }, SW_SHOWNORMAL, WM_CLOSE);
    EXPECT_EQ(run("C:\\a.txt", {}, { 300, 310, 500, 250 }, SW_MINIMIZE), "#20 #30 #400 #200 ");
    run("C:\\a.txt", { -5000, 30, 640, 480 }, { 0, 0, 640, 480 });
    EXPECT_LT(shown.right - shown.left, 640) << "on no monitor: the template's size";
    T::Set("Extensions\\txt", "WindowHeight", "480"); // the others as saved
    run("C:\\a.txt", {}, { 0, 0, 640, 480 });
    EXPECT_LT(shown.right - shown.left, 640) << "three values of four: the template's size";
    C::Run("C:\\b.md");
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

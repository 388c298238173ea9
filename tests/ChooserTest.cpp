// The chooser with the real list view: what it lists, selects and shows, where it stands, what it keeps.
#include "app/FileExtension.h"
#include "store/StoreKey.h"
#include "store/StorePaths.h"
#include "support/ChooserRun.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

using T = TestStore;

struct ChooserTest : ::testing::Test {
    void SetUp() override { T::Reset(); }
    void TearDown() override { EXPECT_EQ(Live().keys, 0) << "keys left open"; }
    BoxCatcher boxes;
};

TEST_F(ChooserTest, ListsWhatCanBeReadByNameWithTheDefaultSelectedAndEachItsIcon)
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    struct Row {
        const char* appKey;
        DWORD nameType; // REG_NONE: no name; the last key has no application record at all
        std::string name, path, isDefault; // "": no such value
    };
    const std::string z(1, '\0'), one = T::Dword(1);
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
        T::SetRaw(std::string("Extensions\\txt\\") + row.appKey, "Default",
            row.isDefault.size() == 4   ? REG_DWORD
                : row.isDefault.empty() ? REG_NONE
                                        : REG_SZ,
            row.isDefault);
    }
    T::Delete("Applications\\orphan.exe");
    // Editor and the empty name (no terminator even) are marked; the later in the store keeps the selection.
    Chooser::Run("C:\\Docs\\a.txt", { Chooser::Do([] {
        EXPECT_EQ(Chooser::Items(),
            (std::vector<std::string> {
                "", "Alpha", "beta", "Edit", "Editor", "Gamma", std::string(259, 'z') }));
        EXPECT_EQ(Chooser::Selected(), 0);
        EXPECT_EQ(
            Chooser::FallbackIcons(), (std::vector<bool> { false, false, true, true, true, false, false }));
    }) });
    T::SetDword("Extensions\\txt\\empty.exe", "Default", 0),
        T::SetDword("Extensions\\txt\\editor.exe", "Default", 0);
    Chooser::Run("C:\\Docs\\a.txt", { Chooser::Do([] { EXPECT_EQ(Chooser::Selected(), -1); }) });
}

TEST_F(ChooserTest, RestoresAndSavesItsPlacePerExtension)
{
    T::AddApplication("a.exe", "C:\\a.exe", "A"), T::AddAssignment("txt", "a.exe");
    auto place = [](int left, int top, int width, int height) {
        for (auto [name, value] : { std::pair("WindowLeft", left), { "WindowTop", top },
                 { "WindowWidth", width }, { "WindowHeight", height } })
            T::SetDword("Extensions\\txt", name, value);
    };
    auto saved = [] {
        std::string values;
        for (const char* name : { "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight" })
            values += std::to_string(T::GetDword("Extensions\\txt", name).value_or(0)) + " ";
        return values;
    };
    auto at = [](int left, int top, int width, int height) {
        ::SetWindowPos(Chooser::Window(), nullptr, left, top, width, height, SWP_NOZORDER);
    };
    RECT shown = {}, client = {}, list = {};
    auto look = Chooser::Do([&] { shown = Chooser::running->initialRect; });
    place(100, 80, 420, 300);
    Chooser::Run("C:\\Docs\\Other.TXT", { look, Chooser::Do([&] { at(150, 90, 640, 480); }) });
    EXPECT_EQ(std::vector<LONG>({ shown.left, shown.top, shown.right, shown.bottom }),
        std::vector<LONG>({ 100, 80, 520, 380 }));
    EXPECT_EQ(saved(), "150 90 640 480 ");
    // The close box saves; minimised, the place saved before stays (closed at once: a window manager may
    // restore it).
    Chooser::Run("C:\\a.txt",
        { Chooser::Do([&] { at(20, 30, 400, 200), ::PostMessageA(Chooser::Window(), WM_CLOSE, 0, 0); }) },
        false);
    Chooser::Run("C:\\a.txt", { Chooser::Do([&] {
        at(300, 310, 500, 250), ::ShowWindow(Chooser::Window(), SW_MINIMIZE),
            ::SendMessageA(Chooser::Window(), WM_COMMAND, IDCANCEL, 0);
    }) },
        false);
    EXPECT_EQ(saved(), "20 30 400 200 ");
    // Three of the four values, or a place on no monitor: the template's size where the window manager puts
    // it.
    for (int left : { 20, -5000 }) {
        place(left, 30, 640, 480);
        if (left > 0)
            T::SetString("Extensions\\txt", "WindowHeight", "480");
        Chooser::Run("C:\\a.txt", { look });
        EXPECT_LT(shown.right - shown.left, 640) << left;
    }
    // The list covers the client area whatever the size; no place is saved without an extension record.
    Chooser::Run("C:\\b.md", { Chooser::Do([&] {
        at(0, 0, 640, 480), ::GetClientRect(Chooser::Window(), &client),
            ::GetWindowRect(Chooser::List(), &list);
    }) });
    ::OffsetRect(&list, -list.left, -list.top);
    EXPECT_TRUE(::EqualRect(&list, &client));
    EXPECT_FALSE(T::KeyExists("Extensions\\md"));
}

TEST_F(ChooserTest, AKeyHolderClosesTheKeyItHeldOnlyOnceTheNextIsOpen)
{
    CStoreKey key;
    CString name;
    ASSERT_EQ(key.Create(AssignmentRecordPath("txt", "a.exe")), ERROR_SUCCESS);
    ASSERT_NE(key.Open(ExtensionRecordPath("md"), KEY_READ), ERROR_SUCCESS);
    ASSERT_EQ(key.WriteDword("Default", 1), ERROR_SUCCESS) << "a failed open keeps the key held before";
    ASSERT_EQ(key.Open(ExtensionRecordPath("txt"), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(key.EnumSubkey(0, name), ERROR_SUCCESS);
    EXPECT_EQ(Live().keys, 1);
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

// The chooser with the real list view: what it lists, selects and shows, where it stands, what it keeps.
#include "resource.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/ImportPatch.h"
#include "support/TestStore.h"

#include <gtest/gtest.h>

class ChooserTest : public ::testing::Test
{
protected:
    void SetUp() override { TestStore::Reset(); }
    void TearDown() override { EXPECT_EQ(Live().keys, 0); }

    RECT WindowRect()
    {
        RECT rect = {};
        ::GetWindowRect(ChooserWindow(), &rect);
        return rect;
    }
    // Runs the chooser, looks at it once it is up, and closes it.
    void Look(const std::function<void()>& look, const std::string& target = "C:\\Docs\\a.txt")
    {
        UiScript script;
        script.ThenDo(look);
        EXPECT_EQ(RunAndClose(script, target), IDCANCEL);
    }

    BoxCatcher m_boxes;
};

TEST_F(ChooserTest, ListsWhatCanBeReadByNameWithTheDefaultSelected)
{
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    struct Row {
        const char* appKey;
        DWORD nameType; // REG_NONE: the record has no name; the key "orphan.exe" has no record at all
        std::string name;
        std::string path; // "": no Path value
        DWORD defaultType;
        std::string isDefault;
    };
    const Row rows[] = {
        { "gamma.exe", REG_SZ, "Gamma", self, REG_DWORD, Dword(0) },
        { "beta.exe", REG_SZ, "beta", "", REG_DWORD, Dword(2) },
        { "alpha.exe", REG_SZ, "Alpha", self, REG_SZ, "1" },
        { "edit.exe", REG_SZ, "Edit", "C:\\nowhere\\edit.exe", REG_NONE, "" },
        { "editor.exe", REG_SZ, "Editor", "C:\\" + std::string(300, 'l') + ".exe", REG_DWORD, Dword(1) },
        { "empty.exe", REG_SZ, "", self, REG_DWORD, Dword(1) },
        { "limit.exe", REG_SZ, std::string(259, 'z'), self, REG_DWORD, Dword(0) },
        { "long.exe", REG_SZ, std::string(260, 'n'), self, REG_DWORD, Dword(0) },
        { "number.exe", REG_DWORD, Dword(5), self, REG_DWORD, Dword(0) },
        { "noname.exe", REG_NONE, "", self, REG_DWORD, Dword(0) },
        { "orphan.exe", REG_NONE, "", "", REG_DWORD, Dword(1) },
    };
    for (const Row& row : rows) {
        std::string record = std::string("Applications\\") + row.appKey;
        if (row.appKey != std::string("orphan.exe"))
            TestStore::SetRaw(
                record, "DisplayName", row.nameType, row.name + std::string(row.nameType == REG_SZ, '\0'));
        if (!row.path.empty())
            TestStore::SetString(record, "Path", row.path);
        TestStore::SetRaw(
            std::string("Extensions\\txt\\") + row.appKey, "Default", row.defaultType, row.isDefault);
    }
    TestStore::SetRaw("Applications\\empty.exe", "DisplayName", REG_SZ, ""); // not even a terminator
    // Editor and the empty name are both marked; the empty name comes later in the store and keeps the
    // selection.
    Look([] {
        ASSERT_TRUE(WaitForIcons(ChooserList()));
        EXPECT_EQ(ItemTexts(ChooserList()),
            (std::vector<std::string> {
                "", "Alpha", "beta", "Edit", "Editor", "Gamma", std::string(259, 'z') }));
        EXPECT_EQ(SelectedItem(ChooserList()), 0);
        std::vector<bool> fallback;
        for (int i = 0; i < 7; ++i)
            fallback.push_back(ShowsFallbackIcon(ChooserList(), i));
        EXPECT_EQ(fallback, (std::vector<bool> { false, false, true, true, true, false, false }));
    });
    TestStore::SetDword("Extensions\\txt\\empty.exe", "Default", 0);
    TestStore::SetDword("Extensions\\txt\\editor.exe", "Default", 0);
    Look([] { EXPECT_EQ(SelectedItem(ChooserList()), -1); });
}

TEST_F(ChooserTest, RestoresAndSavesTheGeometryPerExtension)
{
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddAssignment("txt", "a.exe");
    TestStore::SetDword("Extensions\\txt", "WindowLeft", 100);
    TestStore::SetDword("Extensions\\txt", "WindowTop", 80);
    TestStore::SetDword("Extensions\\txt", "WindowWidth", 420);
    TestStore::SetDword("Extensions\\txt", "WindowHeight", 300);
    Look(
        [&] {
            RECT rect = WindowRect();
            EXPECT_EQ(std::vector<LONG>({ rect.left, rect.top, rect.right, rect.bottom }),
                std::vector<LONG>({ 100, 80, 520, 380 }));
            ::SetWindowPos(ChooserWindow(), nullptr, 150, 90, 500, 310, SWP_NOZORDER);
        },
        "C:\\Docs\\Other.TXT");
    auto saved = [] {
        std::vector<DWORD> values;
        for (const char* name : { "WindowLeft", "WindowTop", "WindowWidth", "WindowHeight" })
            values.push_back(TestStore::GetDword("Extensions\\txt", name).value_or(0));
        return values;
    };
    EXPECT_EQ(saved(), (std::vector<DWORD> { 150, 90, 500, 310 }));

    // The close box saves; a minimised window keeps the rectangle saved before. The window manager may
    // restore the window at once, so it is closed in the step that minimises it.
    UiScript script;
    script.ThenDo([] { ::SetWindowPos(ChooserWindow(), nullptr, 20, 30, 400, 200, SWP_NOZORDER); })
        .ThenDo([] { ::PostMessageA(ChooserWindow(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(RunChooser("C:\\a.txt"), IDCANCEL);
    UiScript minimised;
    minimised.ThenDo([] {
        ::SetWindowPos(ChooserWindow(), nullptr, 300, 310, 500, 250, SWP_NOZORDER);
        ::ShowWindow(ChooserWindow(), SW_MINIMIZE);
        ::SendMessageA(ChooserWindow(), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(RunChooser("C:\\a.txt"), IDCANCEL);
    EXPECT_EQ(saved(), (std::vector<DWORD> { 20, 30, 400, 200 }));

    // Three of four values, or a place on no monitor: the template's place.
    TestStore::SetRaw("Extensions\\txt", "WindowHeight", REG_SZ, "200");
    RECT templatePlace = {};
    Look([&] { templatePlace = WindowRect(); });
    EXPECT_NE(templatePlace.left, 20);
    TestStore::SetDword("Extensions\\txt", "WindowLeft", static_cast<DWORD>(-5000));
    TestStore::SetDword("Extensions\\txt", "WindowHeight", 300);
    Look([&] { EXPECT_EQ(WindowRect().left, templatePlace.left); });

    // Without an extension record nothing is saved.
    Look([] {}, "C:\\b.md");
    EXPECT_FALSE(TestStore::KeyExists("Extensions\\md"));
}

TEST_F(ChooserTest, TheListCoversTheClientAreaAndTheWindowHasItsIcon)
{
    Look([] {
        ::SetWindowPos(ChooserWindow(), nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
        RECT client = {};
        ::GetClientRect(ChooserWindow(), &client);
        RECT list = {};
        ::GetWindowRect(ChooserList(), &list);
        ::MapWindowPoints(nullptr, ChooserWindow(), reinterpret_cast<POINT*>(&list), 2);
        EXPECT_TRUE(::EqualRect(&list, &client));
        LRESULT icon = ::SendMessageA(ChooserWindow(), WM_GETICON, ICON_BIG, 0);
        EXPECT_TRUE(icon);
        EXPECT_EQ(::SendMessageA(ChooserWindow(), WM_GETICON, ICON_SMALL, 0), icon);
        EXPECT_EQ(::SendMessageA(ChooserWindow(), WM_QUERYDRAGICON, 0, 0), icon);
    });
}

TEST_F(ChooserTest, AFileWithoutExtensionIsToldAndTouchesNothing)
{
    EXPECT_EQ(RunChooser("C:\\my.dir\\README"), IDCANCEL);
    CString text;
    text.LoadString(IDS_NO_EXTENSION);
    EXPECT_EQ(m_boxes.Take(), std::vector<std::string> { std::string(text) });
    EXPECT_FALSE(TestStore::KeyExists(""));
}

// The chooser dialog with the real list view: what it lists, in which order, where it stands.
#include "store/StoreKey.h"
#include "support/BoxCatcher.h"
#include "support/ChooserRun.h"
#include "support/Language.h"
#include "support/TestStore.h"

#include "CWinApp.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{

const COLORREF kFallbackWhite = RGB(0xFF, 0xFF, 0xFF); // at (15, 20), in the window's client area

std::string ThisProgram()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class ChooserTest : public ::testing::Test
{
protected:
    void SetUp() override { TestStore::Reset(); }
    void TearDown() override { EXPECT_EQ(CStoreKey::OpenCount(), 0); }

    // Runs the chooser on a txt file, reads it once it is up with its icons, and closes it with Escape.
    void Look(const std::function<void()>& look, const std::string& target = "C:\\Docs\\report.txt")
    {
        UiScript script;
        bool looked = false;
        script.Then([] { return EveryItemHasImage(ChooserList()); });
        script.ThenDo([&] {
            look();
            looked = true;
        });
        script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
        EXPECT_EQ(RunChooser(target), IDCANCEL);
        EXPECT_TRUE(looked);
    }

    RECT WindowRect()
    {
        RECT rect = {};
        ::GetWindowRect(ChooserWindow(), &rect);
        return rect;
    }

    BoxCatcher m_boxes;
};

} // namespace

TEST_F(ChooserTest, ListsByDisplayNameWithIconsFollowingTheirItems)
{
    TestStore::AddApplication("gamma.exe", ThisProgram(), "Gamma");
    TestStore::SetString("Applications\\beta.exe", "DisplayName", "beta");
    TestStore::AddApplication("alpha.exe", ThisProgram(), "Alpha");
    TestStore::SetString("Applications\\editor.exe", "DisplayName", "Editor");
    TestStore::AddApplication("edit.exe", ThisProgram(), "Edit");
    for (const char* app : { "gamma.exe", "beta.exe", "alpha.exe", "editor.exe", "edit.exe" })
        TestStore::AddAssignment("txt", app);
    Look([] {
        HWND list = ChooserList();
        ASSERT_EQ(ItemTexts(list), (std::vector<std::string> { "Alpha", "beta", "Edit", "Editor", "Gamma" }));
        HIMAGELIST images
            = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
        EXPECT_EQ(::ImageList_GetImageCount(images), 5);
        // The items without a path show the fallback icon wherever the sort put them.
        const bool fallback[] = { false, true, false, true, false };
        for (int i = 0; i < 5; ++i) {
            SCOPED_TRACE(i);
            COLORREF pixel = ImagePixel(list, ItemImage(list, i), 15, 20);
            if (fallback[i])
                EXPECT_EQ(pixel, kFallbackWhite);
            else
                EXPECT_NE(pixel, kFallbackWhite);
        }
        EXPECT_EQ(SelectedCount(list), 0);
    });
}

TEST_F(ChooserTest, PreselectsTheDefault)
{
    TestStore::AddApplication("a.exe", "C:\\a.exe", "A");
    TestStore::AddApplication("b.exe", "C:\\b.exe", "B");
    TestStore::AddApplication("c.exe", "C:\\c.exe", "C");
    TestStore::AddApplication("d.exe", "C:\\d.exe", "D");
    TestStore::AddAssignment("txt", "a.exe", 1);
    TestStore::AddAssignment("txt", "b.exe", 2);
    TestStore::SetString("Extensions\\txt\\c.exe", "Default", "1");
    TestStore::AddAssignment("txt", "d.exe", 1);
    Look([] {
        // Both A and D are marked; D is inserted last and keeps the one selection.
        EXPECT_EQ(SelectedCount(ChooserList()), 1);
        EXPECT_EQ(SelectedItem(ChooserList()), 3);
    });
    TestStore::SetDword("Extensions\\txt\\d.exe", "Default", 0);
    Look([] { EXPECT_EQ(SelectedItem(ChooserList()), 0); });
}

TEST_F(ChooserTest, LeavesOutWhatCannotBeRead)
{
    TestStore::AddApplication("ok.exe", "C:\\ok.exe", "Listed");
    TestStore::AddAssignment("txt", "ok.exe");
    TestStore::AddAssignment("txt", "orphan.exe");
    TestStore::SetString("Applications\\noname.exe", "Path", "C:\\noname.exe");
    TestStore::AddAssignment("txt", "noname.exe");
    TestStore::SetDword("Applications\\number.exe", "DisplayName", 5);
    TestStore::AddAssignment("txt", "number.exe");
    std::string tooLong(260, 'n');
    TestStore::SetString("Applications\\long.exe", "DisplayName", tooLong);
    TestStore::AddAssignment("txt", "long.exe");
    TestStore::SetString("Applications\\limit.exe", "DisplayName", std::string(259, 'z'));
    TestStore::AddAssignment("txt", "limit.exe");
    TestStore::SetRaw("Applications\\empty.exe", "DisplayName", REG_SZ, "", 0);
    TestStore::AddAssignment("txt", "empty.exe");
    Look([] {
        EXPECT_EQ(
            ItemTexts(ChooserList()), (std::vector<std::string> { "", "Listed", std::string(259, 'z') }));
    });
}

TEST_F(ChooserTest, FallbackIconForEveryPathThatGivesNone)
{
    TestStore::SetString("Applications\\nopath.exe", "DisplayName", "A");
    TestStore::AddApplication("number.exe", "", "B");
    TestStore::SetDword("Applications\\number.exe", "Path", 1);
    TestStore::AddApplication("long.exe", "C:\\" + std::string(300, 'l') + ".exe", "C");
    for (const char* app : { "nopath.exe", "number.exe", "long.exe" })
        TestStore::AddAssignment("txt", app);
    Look([] {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(ImagePixel(ChooserList(), ItemImage(ChooserList(), i), 15, 20), kFallbackWhite) << i;
    });
}

TEST_F(ChooserTest, RestoresAndSavesTheGeometry)
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
            EXPECT_EQ(rect.left, 100);
            EXPECT_EQ(rect.top, 80);
            EXPECT_EQ(rect.right - rect.left, 420);
            EXPECT_EQ(rect.bottom - rect.top, 300);
            // Moved by the user, it is saved where it stands when it closes.
            ::SetWindowPos(ChooserWindow(), nullptr, 150, 90, 500, 310, SWP_NOZORDER);
        },
        "C:\\Docs\\Other.TXT");
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt", "WindowLeft"), 150u);
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt", "WindowTop"), 90u);
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt", "WindowWidth"), 500u);
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt", "WindowHeight"), 310u);

    TestStore::DeleteValue("Extensions\\txt", "WindowHeight");
    RECT templatePlace = {};
    Look([&] { templatePlace = WindowRect(); });
    EXPECT_NE(templatePlace.left, 150) << "three of four values are ignored";

    // Off every monitor: the template's place; this screen has no negative coordinates.
    TestStore::SetDword("Extensions\\txt", "WindowLeft", static_cast<DWORD>(-5000));
    TestStore::SetDword("Extensions\\txt", "WindowHeight", 300);
    Look([&] { EXPECT_EQ(WindowRect().left, templatePlace.left); });
}

TEST_F(ChooserTest, ClosingPathsAndWhatTheySave)
{
    // No extension record: closing saves nothing.
    Look([] {});
    EXPECT_FALSE(TestStore::KeyExists("Extensions\\txt"));

    // The close box: saved on the way through WM_CLOSE and again by the cancel it leads to.
    TestStore::AddAssignment("txt", "a.exe");
    UiScript script;
    script.ThenDo([] { ::SetWindowPos(ChooserWindow(), nullptr, 20, 30, 400, 200, SWP_NOZORDER); })
        .ThenDo([] { ::PostMessageA(ChooserWindow(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(RunChooser("a.txt"), IDCANCEL);
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt", "WindowLeft"), 20u);
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt", "WindowWidth"), 400u);

    // Minimised: the rectangle saved before stays. The window manager may restore the window at
    // once, so it is closed in the same step that minimises it.
    UiScript minimised;
    minimised.ThenDo([] {
        ::SetWindowPos(ChooserWindow(), nullptr, 300, 310, 500, 250, SWP_NOZORDER);
        ::ShowWindow(ChooserWindow(), SW_MINIMIZE);
        EXPECT_TRUE(::IsIconic(ChooserWindow()));
        ::SendMessageA(ChooserWindow(), WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(RunChooser("a.txt"), IDCANCEL);
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt", "WindowLeft"), 20u);
    EXPECT_EQ(TestStore::GetDword("Extensions\\txt", "WindowWidth"), 400u);
}

TEST_F(ChooserTest, NoExtensionShowsTheMessageAndTouchesNothing)
{
    UiScript script;
    EXPECT_EQ(RunChooser("C:\\my.dir\\README"), IDCANCEL);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text,
        Localized("Error: The specified file has no extension.",
            "Fehler: Die angegebene Datei hat keine Erweiterung."));
    EXPECT_FALSE(TestStore::KeyExists(""));
}

TEST_F(ChooserTest, TheListCoversTheClientAreaAfterResizing)
{
    for (const char* app : { "a.exe", "b.exe" }) {
        TestStore::AddApplication(app, "C:\\x.exe", std::string("N") + app);
        TestStore::AddAssignment("txt", app);
    }
    Look([] {
        ::SetWindowPos(ChooserWindow(), nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
        RECT client = {};
        ::GetClientRect(ChooserWindow(), &client);
        RECT list = {};
        ::GetWindowRect(ChooserList(), &list);
        ::MapWindowPoints(nullptr, ChooserWindow(), reinterpret_cast<POINT*>(&list), 2);
        EXPECT_EQ(list.left, 0);
        EXPECT_EQ(list.top, 0);
        EXPECT_EQ(list.right, client.right);
        EXPECT_EQ(list.bottom, client.bottom);
        EXPECT_EQ(ItemTexts(ChooserList()), (std::vector<std::string> { "Na.exe", "Nb.exe" }));
    });
}

TEST_F(ChooserTest, CaptionAndIconsInTheRunningLanguage)
{
    Look([] {
        char caption[64] = "";
        ::GetWindowTextA(ChooserWindow(), caption, sizeof caption);
        EXPECT_EQ(std::string(caption), Localized("Open with ...", "Öffnen mit ..."));
        EXPECT_TRUE(::SendMessageA(ChooserWindow(), WM_GETICON, ICON_BIG, 0));
        EXPECT_EQ(::SendMessageA(ChooserWindow(), WM_GETICON, ICON_SMALL, 0),
            ::SendMessageA(ChooserWindow(), WM_GETICON, ICON_BIG, 0));
        EXPECT_EQ(::SendMessageA(ChooserWindow(), WM_QUERYDRAGICON, 0, 0),
            ::SendMessageA(ChooserWindow(), WM_GETICON, ICON_BIG, 0));
    });
}

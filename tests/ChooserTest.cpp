// The chooser with the real list view: what it lists and shows, where it stands, and what it starts.
#include "app/FileExtension.h"
#include "support/ChooserRun.h"

#include <gtest/gtest.h>
#include <process.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <map>

// An image drawn on black at the system's icon size.
static std::vector<DWORD> Pixels(HIMAGELIST images, int image)
{
    int size = ::GetSystemMetrics(SM_CXICON);
    std::vector<DWORD> pixels(size * size);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP canvas = ::CreateBitmap(size, size, 1, 32, pixels.data());
    HGDIOBJ before = ::SelectObject(dc, canvas);
    ::ImageList_Draw(images, image, dc, 0, 0, ILD_NORMAL);
    ::SelectObject(dc, before);
    ::GetBitmapBits(canvas, size * size * sizeof(DWORD), pixels.data());
    ::DeleteObject(canvas);
    ::DeleteDC(dc);
    return pixels;
}

// What an item may show, by letter: the shell's own large icon of a file, or for no file the fallback icon,
// each put into an image list like the chooser's.
static std::map<char, std::vector<DWORD>> IconPictures(const std::map<char, std::string>& files)
{
    std::map<char, std::vector<DWORD>> pictures;
    HIMAGELIST images = ::ImageList_Create(
        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), ILC_COLOR32 | ILC_MASK, 1, 1);
    for (const auto& [letter, file] : files) {
        SHFILEINFOA info = {};
        if (file.empty())
            info.hIcon = ::LoadIconW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(IDI_FALLBACK));
        else
            ::SHGetFileInfoA(file.c_str(), 0, &info, sizeof info, SHGFI_ICON);
        pictures[letter] = Pixels(images, ::ImageList_ReplaceIcon(images, -1, info.hIcon));
        ::DestroyIcon(info.hIcon);
    }
    ::ImageList_Destroy(images);
    return pictures;
}

// Each item's picture by the letter of the known one it shows: "?" none of them, "-" no image yet.
static std::string Pictures(const std::map<char, std::vector<DWORD>>& known)
{
    std::string pictures;
    for (int i = 0; i < Chooser::Count(); ++i) {
        int image = Chooser::Item(i).iImage;
        char letter = image == I_IMAGENONE ? '-' : '?';
        for (const auto& [name, pixels] : known) {
            if (image >= 0 && Pixels(Chooser::Images(), image) == pixels)
                letter = name;
        }
        pictures += letter;
    }
    return pictures;
}

// The shell's icon call, held back through the test program's import until the event is set. The entry may
// still hold the loader's stub of a function loaded on first use, so the function is looked up here.
static HANDLE g_shellMayAnswer = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
static std::atomic<int> g_shellCalls = 0;
static DWORD_PTR WINAPI HeldFileInfo(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT size, UINT flags)
{
    static FARPROC shell = ::GetProcAddress(::LoadLibraryA("shell32.dll"), "SHGetFileInfoA");
    ++g_shellCalls;
    ::WaitForSingleObject(g_shellMayAnswer, INFINITE);
    return reinterpret_cast<decltype(&::SHGetFileInfoA)>(reinterpret_cast<void*>(shell))(
        path, attributes, info, size, flags);
}

// The box of a program the shell could not start, named as the chooser quotes it.
static std::string LaunchFailure(const std::string& program)
{
    return ErrorBox(Loaded(IDS_ERR_LAUNCH) + ":\n\"" + program + "\"");
}

struct ChooserTest : ChooserFixture {
    // The recorder as an application assigned to txt.
    static void AddRecorder(const std::string& appKey, const char* name, DWORD isDefault = 0)
    {
        TestStore::AddApplication(appKey, LAUNCH_RECORDER, name);
        TestStore::AddAssignment("txt", appKey, isDefault);
    }
};

TEST_F(ChooserTest, ListsWhatCanBeReadByNameWithTheDefaultSelectedAndEachItsIcon)
{
    char windows[MAX_PATH] = "";
    const std::string folder(windows, ::GetWindowsDirectoryA(windows, MAX_PATH));
    const std::string self = LAUNCH_RECORDER;
    const std::string nul(1, '\0'); // ends a stored text
    const std::string one = TestStore::Dword(1);
    // Key, name's type and bytes, path, "Default" ("": none); the last has no application record at all.
    const std::tuple<const char*, DWORD, std::string, std::string, std::string> rows[]
        = { { "gamma.exe", REG_SZ, "Gamma" + nul, folder, TestStore::Dword(0) },
              { "beta.exe", REG_SZ, "beta" + nul, "", TestStore::Dword(2) },
              { "alpha.exe", REG_SZ, "Alpha" + nul, self, "1" + nul },
              { "edit.exe", REG_SZ, "Edit" + nul, "C:\\nowhere\\edit.exe", "" },
              { "editor.exe", REG_SZ, "Editor" + nul, "C:\\" + std::string(300, 'l') + ".exe", one },
              { "empty.exe", REG_SZ, "", self, one },
              { "limit.exe", REG_SZ, std::string(259, 'z') + nul, self, "" },
              { "long.exe", REG_SZ, std::string(260, 'n') + nul, self, "" },
              { "number.exe", REG_DWORD, one, self, "" }, { "noname.exe", REG_NONE, "", self, "" },
              { "orphan.exe", REG_NONE, "", "", one } };
    for (const auto& [appKey, nameType, name, path, isDefault] : rows) {
        std::string application = std::string("Applications\\") + appKey;
        TestStore::Set(application, "DisplayName", nameType, name);
        TestStore::Set(application, "Path", path.empty() ? REG_NONE : REG_SZ, path + nul);
        DWORD type = isDefault.size() == 4 ? REG_DWORD : isDefault.empty() ? REG_NONE : REG_SZ;
        TestStore::Set(std::string("Extensions\\txt\\") + appKey, "Default", type, isDefault);
    }
    TestStore::Delete("Applications\\orphan.exe");
    const auto known = IconPictures({ { 'f', "" }, { 'r', self }, { 'w', folder } });
    int icons = Live().icons;
    int imageLists = Live().imageLists;
    // Editor and the empty name (no terminator even) are marked; the later in the store keeps the selection.
    auto listed = Chooser::Do([] {
        EXPECT_EQ(Chooser::Items(),
            (std::vector<std::string> {
                "", "Alpha", "beta", "Edit", "Editor", "Gamma", std::string(259, 'z') }));
        EXPECT_EQ(Chooser::Selected(), 0);
        Chooser::running->LoadList();
        ::SetWindowPos(Chooser::Window(), nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    });
    auto iconsCame = [&known] { return Pictures(known).find('-') == std::string::npos; };
    // Reloaded while icons come and resized, which sorts again: each item shows the shell's large icon of its
    // file; no file, a missing one and one too long share the fallback, a file listed twice has one image,
    // and the list fills the window.
    auto shown = Chooser::Do([&known] {
        EXPECT_EQ(Pictures(known), "rrfffwr");
        EXPECT_EQ(::ImageList_GetImageCount(Chooser::Images()), 3);
        RECT client = {};
        RECT list = {};
        ::GetClientRect(Chooser::Window(), &client);
        ::GetWindowRect(Chooser::List(), &list);
        ::MapWindowPoints(nullptr, Chooser::Window(), reinterpret_cast<POINT*>(&list), 2);
        EXPECT_TRUE(::EqualRect(&list, &client));
    });
    Chooser::Run("C:\\Docs\\a.txt", { listed, iconsCame, shown });
    TestStore::Set("Extensions\\txt\\empty.exe", "Default", 0);
    TestStore::Set("Extensions\\txt\\editor.exe", "Default", 0);
    Chooser::Run("C:\\Docs\\a.txt", { Chooser::Do([] { EXPECT_EQ(Chooser::Selected(), -1); }) });
    EXPECT_EQ(Live().icons, icons + 2) << "every icon made is destroyed, but the program's own, shared";
    EXPECT_EQ(Live().imageLists, imageLists + 2) << "every image list is destroyed, but each run's last";
    bool at192Dpi = ::GetEnvironmentVariableA("ZELVANTO_AT_192_DPI", nullptr, 0) != 0;
    EXPECT_EQ(::GetSystemMetrics(SM_CXICON), at192Dpi ? 64 : 32);
}

// The list test again in a child copy of this program started at 192 dpi, where the system's icons have 64
// pixels: a process reads its dpi when it starts. The build's own prefix has 96 dpi without the value.
TEST(ChooserAt192Dpi, ShowsTheIconsAtTheSystemsSize)
{
    const DWORD dpi = 192;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    ::SetEnvironmentVariableA("ZELVANTO_AT_192_DPI", "1");
    char program[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    intptr_t exitCode = _spawnl(_P_WAIT, program, program, "--gtest_filter=ChooserTest.Lists*", nullptr);
    ::SetEnvironmentVariableA("ZELVANTO_AT_192_DPI", nullptr);
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels");
    EXPECT_EQ(exitCode, 0);
}

// Runs the chooser on the target with the step and answers the command line the recorder received. Each run
// has a record file of its own, so a recorder still running from an earlier one cannot answer; under load
// Wine has shown the file before its bytes, so the wait is for the bytes, a minute at most.
static std::string Launched(const std::string& target, const Step& open)
{
    static int launches = 0;
    const std::string record = "C:\\zelvanto-launch-" + std::to_string(++launches) + ".txt";
    ::DeleteFileA(record.c_str());
    ::SetEnvironmentVariableA("ZELVANTO_RECORD_FILE", record.c_str());
    EXPECT_EQ(Chooser::Run(target, { open }), IDOK);
    std::string line = "(nothing launched)";
    for (int tries = 0; tries < 6000 && !std::getline(std::ifstream(record), line, '\0'); ++tries)
        ::Sleep(10);
    return line;
}

// 35 applications whose keys run the other way than their names stand in the order of the names, also after
// resizes. Among plain names, each script of two, three and four bytes a letter in UTF-8 comes in lengths up
// to Windows' limits: up to 259 characters, as Windows counts them, a name is listed and a path read whole;
// at 260 the name is not listed.
TEST_F(ChooserTest, ManyNamesInAnyScriptUpToWindowsLimitsStandInOrder)
{
    const char* scripts[] = { "Ω", "東", "𠀀" };
    const int lengths[] = { 86, 87, 129, 255, 259, 260 };
    std::vector<std::string> listed;
    std::vector<std::string> told;
    for (int row = 0; row < 35; ++row) {
        std::string letter = row < 18 ? scripts[row / 6] : "x";
        int length = row < 18 ? lengths[row % 6] : 20;
        std::string number = std::to_string(row + 10);
        std::string name = TestStore::Letters("Item " + number, letter, length - 7);
        // A key name holds 255 characters at the most.
        std::string appKey = TestStore::Letters(std::to_string(99 - row), letter, std::min(length, 255) - 6);
        std::string path = TestStore::Letters("C:\\", letter, length - 7) + ".exe";
        TestStore::AddApplication(appKey + ".exe", path, name);
        TestStore::AddAssignment("txt", appKey + ".exe");
        if (length < 260) {
            listed.push_back(name);
            told.push_back(LaunchFailure(path));
        }
    }
    Steps steps;
    for (int width : { 317, 500, 240, 700 }) {
        steps.push_back(Chooser::Do([width, listed] {
            ::SetWindowPos(Chooser::Window(), nullptr, 0, 0, width, 300, SWP_NOMOVE | SWP_NOZORDER);
            EXPECT_EQ(Chooser::Items(), listed) << width;
        }));
    }
    steps.push_back(Chooser::Do([] {
        for (int item = 0; item < Chooser::Count(); ++item) {
            Chooser::Select(item);
            ::SendMessageA(Chooser::Window(), WM_COMMAND, IDOK, 0);
        }
    }));
    Chooser::Run("C:\\a.txt", steps);
    EXPECT_EQ(boxes.Take(), told) << "each program is looked for by its whole path";
}

// The shell may take long over a file on a share that does not answer: a Remove and the close answer while
// its calls are held, and once the shell answers, every icon it made is destroyed.
TEST_F(ChooserTest, NeitherARemoveNorTheCloseWaitsForTheShell)
{
    AddRecorder("a.exe", "A");
    AddRecorder("b.exe", "B");
    ImportPatch heldShell(&__imp_SHGetFileInfoA, (void*)HeldFileInfo);
    ::ResetEvent(g_shellMayAnswer);
    g_shellCalls = 0;
    int icons = Live().icons;
    auto bothHeld = [] { return g_shellCalls == 2; };
    auto listed = Chooser::Do([] { EXPECT_EQ(Chooser::Items(), std::vector<std::string> { "B" }); });
    Chooser::Run("C:\\a.txt", { bothHeld, Chooser::Command(ID_REMOVE, 0), listed });
    ::SetEvent(g_shellMayAnswer);
    // The program's own icon stays; the workers destroy theirs as the shell hands them over.
    for (int tries = 0; tries < 6000 && Live().icons != icons + 1; ++tries)
        ::Sleep(10);
    EXPECT_EQ(Live().icons, icons + 1);
}

TEST_F(ChooserTest, TheProgramReceivesTheTargetAsTheParametersSay)
{
    const std::string file = "C:\\My Files\\a.txt";
    const std::string quoted = '"' + file + '"';
    const std::string deep = "C:\\" + std::string(250, 'f') + "\\xy.txt"; // 260 characters
    const std::string nul(1, '\0'); // ends a stored text
    // The target, the parameters' type and bytes, and what the program receives after its own quoted path.
    const std::tuple<std::string, DWORD, std::string, std::string> rows[] = { { file, REG_NONE, "", quoted },
        { file, REG_SZ, nul, quoted }, { file, REG_SZ, "-a %1 -b %1" + nul, "-a " + file + " -b " + file },
        { file, REG_SZ, "-new" + nul, "-new" },
        { file, REG_SZ, "\"%1\" %2 %%1" + nul, quoted + " %2 %" + file },
        { file, REG_DWORD, TestStore::Dword(0x31), quoted },
        { file, REG_SZ, TestStore::Letters("", "東", 259) + nul, TestStore::Letters("", "東", 259) },
        { file, REG_SZ, TestStore::Letters("", "𠀀", 260) + nul, quoted },
        { "C:\\a%1b.txt", REG_SZ, "%1 %1" + nul, "C:\\a%1b.txt C:\\a%1b.txt" },
        { "C:\\say \"hi\".txt", REG_NONE, "", "\"C:\\say \"hi\".txt\"" },
        { "C:\\\"%1\".txt", REG_SZ, "\"%1\"" + nul, "\"C:\\\"%1\".txt\"" },
        { deep, REG_NONE, "", '"' + deep + '"' } };
    AddRecorder("aaa.exe", "Aaa");
    AddRecorder("rec.exe", "Rec"); // the chosen one second in the list
    // Each launch comes before the icons, which the shell is held from giving: no item shows an image yet.
    ImportPatch heldShell(&__imp_SHGetFileInfoA, (void*)HeldFileInfo);
    int row = 0;
    // Enter, Open from the menu and a click on the selected item in turn; the close waits for the shell.
    auto open = Chooser::Do([&row] {
        EXPECT_EQ(Pictures({}), "--");
        ::SetEvent(g_shellMayAnswer);
        ++row;
        NMHDR click = { Chooser::List(), IDC_APP_LIST, UINT(NM_CLICK) };
        if (row % 3 == 0)
            ::SendMessageA(Chooser::Window(), WM_NOTIFY, IDC_APP_LIST, reinterpret_cast<LPARAM>(&click));
        else
            Chooser::Post(Chooser::Window(), row % 3 == 1 ? IDOK : ID_OPEN);
    });
    for (const auto& [target, type, parameters, arguments] : rows) {
        TestStore::Delete("Extensions\\txt\\rec.exe");
        TestStore::AddAssignment("txt", "rec.exe", 1);
        TestStore::Set("Extensions\\txt\\rec.exe", "Parameters", type, parameters);
        ::ResetEvent(g_shellMayAnswer);
        EXPECT_EQ(Launched(target, open), std::string("\"" LAUNCH_RECORDER "\" ") + arguments) << parameters;
    }
    EXPECT_NE(TestStore::Get("Extensions\\txt", "WindowLeft"), "(missing)") << "a launch saves the place";
    EXPECT_TRUE(boxes.Take().empty());
}

// Each is told and the chooser stays open for the next try: a path unread, a program unstarted, a record
// removed meanwhile; Enter with nothing selected does nothing.
TEST_F(ChooserTest, LaunchFailuresAreToldAndTheChooserStaysOpen)
{
    AddRecorder("rec.exe", "Rec", 1);
    const std::string app = "Applications\\rec.exe";
    // The path's type and bytes (REG_NONE: the record is removed), the box told.
    const std::tuple<DWORD, std::string, std::string> rows[]
        = { { REG_SZ, std::string(261, 'p'), StoreMessage(IDS_ERR_READ_KEY, app) },
              { REG_DWORD, "1234", StoreMessage(IDS_ERR_READ_KEY, app) }, { REG_SZ, "", LaunchFailure("") },
              { REG_NONE, "", StoreMessage(IDS_ERR_OPEN_KEY, app) } };
    Steps steps;
    std::vector<std::string> told;
    for (const auto& [type, path, box] : rows) {
        steps.push_back(Chooser::Do([app, type, path] {
            if (type == REG_NONE)
                TestStore::Delete("Applications");
            else
                TestStore::Set(app, "Path", type, path);
            ::SendMessageA(Chooser::Window(), WM_COMMAND, IDOK, 0);
        }));
        told.push_back(box);
    }
    steps.push_back(Chooser::Command(IDOK, -1));
    EXPECT_EQ(Chooser::Run("C:\\x.txt", steps), IDCANCEL);
    EXPECT_EQ(boxes.Take(), told);
}

// A place is restored only whole and on a monitor, and saved at every close as the window's normal place,
// also when it is minimised or maximised; an extension without a record gets none. The template puts the
// window at 0, 0, 317 by 199 pixels.
TEST_F(ChooserTest, RestoresAndSavesItsPlacePerExtension)
{
    AddRecorder("a.exe", "A");
    const std::string none = "(missing) (missing) (missing) (missing) ";
    // The target; the values stored before (none: as the row before left them); where the window is put, how
    // it is shown and closed; where it opened (left, top, width, height) and the values stored after.
    const std::tuple<std::string, std::vector<int>, RECT, int, UINT, std::vector<LONG>, std::string> rows[]
        = { { "C:\\b.md", {}, { 5, 5, 640, 480 }, SW_SHOWNORMAL, WM_CLOSE, { 0, 0, 317, 199 }, none },
              { "C:\\Docs\\Other.TXT", { 100, 80, 420, 300 }, { 150, 90, 640, 480 }, SW_SHOWNORMAL,
                  WM_COMMAND, { 100, 80, 420, 300 }, "#150 #90 #640 #480 " },
              { "C:\\a.txt", {}, { 20, 30, 400, 200 }, SW_SHOWNORMAL, WM_CLOSE, { 150, 90, 640, 480 },
                  "#20 #30 #400 #200 " },
              { "C:\\a.txt", {}, { 300, 310, 500, 250 }, SW_MINIMIZE, WM_COMMAND, { 20, 30, 400, 200 },
                  "#300 #310 #500 #250 " },
              { "C:\\a.txt", {}, { 40, 50, 600, 400 }, SW_MAXIMIZE, WM_COMMAND, { 300, 310, 500, 250 },
                  "#40 #50 #600 #400 " },
              { "C:\\a.txt", { -5000, 30, 640, 480 }, { 0, 0, 640, 480 }, SW_SHOWNORMAL, WM_COMMAND,
                  { 0, 0, 317, 199 }, "#0 #0 #640 #480 " },
              { "C:\\a.log", { 10, 10, 640 }, { 5, 5, 320, 240 }, SW_SHOWNORMAL, WM_COMMAND,
                  { 0, 0, 317, 199 }, "#5 #5 #320 #240 " } };
    for (const auto& [target, stored, to, show, close, opened, saved] : rows) {
        std::string extension(GetFileExtension(target.c_str()));
        TestStore::SetPlace(extension, stored);
        RECT at = {};
        Chooser::Run(target, { Chooser::Do([&] {
            at = Chooser::running->initialRect;
            ::SetWindowPos(Chooser::Window(), nullptr, to.left, to.top, to.right, to.bottom, SWP_NOZORDER);
            ::ShowWindow(Chooser::Window(), show);
            ::SendMessageA(Chooser::Window(), close, IDCANCEL, 0);
        }) });
        EXPECT_EQ(std::vector<LONG>({ at.left, at.top, at.right - at.left, at.bottom - at.top }), opened)
            << target;
        EXPECT_EQ(TestStore::GetPlace(extension), saved) << target;
    }
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

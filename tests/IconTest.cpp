// What each item shows, read back through the list's image list, and that every picture made is given back.
#include "support/ChooserRun.h"

#include <shellapi.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <process.h>
#include <set>

extern "C" void *__imp_CreateFileA, *__imp_CreateDIBSection, *__imp_GetIconInfo, *__imp_DeleteObject;

static const char kHighDpi[] = "ZELVANTO_TEST_HIGH_DPI";

// Pictures made until each is given back; an open of held.exe hangs as on a share that does not answer.
struct Handles {
    // Never destroyed: a worker may still give a picture back while the process ends.
    static inline std::mutex& lock = *new std::mutex;
    static inline std::set<HANDLE>& alive = *new std::set<HANDLE>;
    static inline std::atomic<int> held = 0;
    static inline HANDLE heldGo = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    static inline HANDLE othersGo = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    static inline HANDLE allGivenBack = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);

    static HANDLE WINAPI Open(LPCSTR path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security,
        DWORD disposition, DWORD flags, HANDLE model)
    {
        bool isHeld = ::strstr(path, "held.exe") != nullptr;
        held += isHeld;
        ::WaitForSingleObject(isHeld ? heldGo : othersGo, INFINITE);
        HANDLE file = opens.Original<decltype(&::CreateFileA)>()(
            path, access, share, security, disposition, flags, model);
        held -= isHeld;
        return file;
    }
    static HBITMAP WINAPI NewBitmap(
        HDC dc, const BITMAPINFO* format, UINT usage, void** bits, HANDLE section, DWORD offset)
    {
        HBITMAP bitmap
            = bitmaps.Original<decltype(&::CreateDIBSection)>()(dc, format, usage, bits, section, offset);
        std::lock_guard<std::mutex> guard(lock);
        alive.insert(bitmap);
        return bitmap;
    }
    static BOOL WINAPI Parts(HICON icon, ICONINFO* info)
    {
        BOOL got = parts.Original<decltype(&::GetIconInfo)>()(icon, info);
        std::lock_guard<std::mutex> guard(lock);
        alive.insert({ info->hbmColor, info->hbmMask });
        return got;
    }
    static BOOL WINAPI DeleteObject(HGDIOBJ object)
    {
        std::lock_guard<std::mutex> guard(lock);
        if (alive.erase(object) && alive.empty() && held == 0)
            ::SetEvent(allGivenBack);
        return deletes.Original<decltype(&::DeleteObject)>()(object);
    }
    static inline ImportPatch opens { &__imp_CreateFileA, reinterpret_cast<void*>(Open) };
    static inline ImportPatch bitmaps { &__imp_CreateDIBSection, reinterpret_cast<void*>(NewBitmap) };
    static inline ImportPatch parts { &__imp_GetIconInfo, reinterpret_cast<void*>(Parts) };
    static inline ImportPatch deletes { &__imp_DeleteObject, reinterpret_cast<void*>(DeleteObject) };
};

// An image drawn on a set ground at the system's icon size: images that look alike give the same pixels.
static std::vector<COLORREF> Pixels(HIMAGELIST images, int image)
{
    const int size = ::GetSystemMetrics(SM_CXICON);
    BITMAPINFO info = {};
    info.bmiHeader = { sizeof info.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    COLORREF* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
    ::SelectObject(dc, bitmap);
    ::ImageList_DrawEx(images, image, dc, 0, 0, 0, 0, RGB(12, 34, 56), CLR_NONE, ILD_NORMAL);
    ::GdiFlush();
    std::vector<COLORREF> pixels(bits, bits + size * size);
    ::DeleteDC(dc);
    ::DeleteObject(bitmap);
    return pixels;
}

enum class Shows { OwnIcon, ShellPicture, Fallback, Nothing };

static int ImageOf(int item)
{
    LVITEMA shown = {};
    shown.mask = LVIF_IMAGE;
    shown.iItem = item;
    ListView_GetItem(Chooser::List(), &shown);
    return shown.iImage;
}

// Each item's own picture at the large-icon size, none held back by a hung file, all pictures given back.
TEST(IconTest, EachItemShowsItsPicture)
{
    EXPECT_EQ(::GetSystemMetrics(SM_CXICON), ::GetEnvironmentVariableA(kHighDpi, nullptr, 0) ? 64 : 32);
    TestStore::Reset();
    char temp[MAX_PATH] = "";
    const std::string folder(temp, ::GetTempPathA(MAX_PATH, temp));
    const std::string system = "C:\\windows\\system32\\";
    ::CopyFileA((system + "notepad.exe").c_str(), (folder + "held.exe").c_str(), FALSE);
    std::ofstream(folder + "a.bat") << "@echo off\r\n";
    std::string head(4096, '\0');
    std::ifstream(system + "notepad.exe", std::ios::binary).read(head.data(), head.size());
    std::ofstream(folder + "cut.exe", std::ios::binary) << head;
    // Hung, own icons, none, missing, batch, one program twice, a shared picture, cut off before resources.
    const std::vector<std::pair<std::string, Shows>> rows = { { folder + "held.exe", Shows::Nothing },
        { system + "notepad.exe", Shows::OwnIcon }, { "C:\\windows\\regedit.exe", Shows::OwnIcon },
        { system + "hostname.exe", Shows::ShellPicture }, { "C:\\nowhere\\gone.exe", Shows::Fallback },
        { folder + "a.bat", Shows::ShellPicture }, { system + "notepad.exe", Shows::OwnIcon },
        { system + "attrib.exe", Shows::ShellPicture }, { folder + "cut.exe", Shows::ShellPicture } };
    for (size_t row = 0; row < rows.size(); ++row) {
        std::string name(1, static_cast<char>('a' + row));
        Assign(name, rows[row].first, name.c_str());
    }
    // The reload finds a picture untaken: its wake-up, in the program's own range, waits while this runs.
    auto reloadBeforeTaking = Chooser::Do([] {
        ::SetEvent(Handles::othersGo);
        MSG wake;
        for (int wait = 0; wait < 100 && !::PeekMessageA(&wake, nullptr, WM_APP, 0xBFFF, PM_NOREMOVE); ++wait)
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
        Chooser::running->LoadList();
    });
    // Checked once all but the held item show a picture; the expected icons go through the list's image list.
    auto othersShown = [&rows] {
        int shown = 0;
        for (int item = 0; item < ListView_GetItemCount(Chooser::List()); ++item)
            shown += ImageOf(item) >= 0;
        if (Handles::held < 2 || shown + 1 < static_cast<int>(rows.size()))
            return false;
        EXPECT_EQ(Handles::held, 2) << "a request taken twice, or never";
        HIMAGELIST images = ListView_GetImageList(Chooser::List(), LVSIL_NORMAL);
        for (int item = 0; item < static_cast<int>(rows.size()); ++item) {
            auto [path, shows] = rows[item];
            HICON icon = nullptr;
            SHFILEINFOA shell = {};
            if (shows == Shows::OwnIcon)
                ::ExtractIconExA(path.c_str(), 0, &icon, nullptr, 1);
            if (shows == Shows::ShellPicture
                && ::SHGetFileInfoA(path.c_str(), 0, &shell, sizeof shell, SHGFI_ICON))
                icon = shell.hIcon;
            if (shows == Shows::Fallback)
                icon = ::CopyIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FALLBACK)));
            EXPECT_TRUE(
                Pixels(images, ImageOf(item)) == Pixels(images, ::ImageList_ReplaceIcon(images, -1, icon)))
                << "item " << item << ", " << path;
            ::DestroyIcon(icon);
        }
        return true;
    };
    // Let go last, the held file's picture comes alone: the window must still be woken for it.
    auto releaseHeld = Chooser::Do([] {
        ::ResetEvent(Handles::allGivenBack);
        ::SetEvent(Handles::heldGo);
    });
    auto heldShown = [] { return ImageOf(0) >= 0; };
    Chooser::Run("C:\\a.txt", { reloadBeforeTaking, othersShown, releaseHeld, heldShown });
    EXPECT_EQ(::WaitForSingleObject(Handles::allGivenBack, 10000), WAIT_OBJECT_0) << "some never given back";
    for (const char* name : { "held.exe", "a.bat", "cut.exe" })
        ::DeleteFileA((folder + name).c_str());
}

// The same at 192 dpi, in a process of its own: the dpi is taken as a process starts. The prefix sets none.
TEST(IconTest, At192Dpi)
{
    const char desktop[] = "Control Panel\\Desktop";
    const DWORD highDpi = 192;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels", REG_DWORD, &highDpi, sizeof highDpi);
    ::SetEnvironmentVariableA(kHighDpi, "1");
    intptr_t exitCode = ::_spawnl(_P_WAIT, _pgmptr, _pgmptr, "--gtest_filter=*ItsPicture", nullptr);
    ::SetEnvironmentVariableA(kHighDpi, nullptr);
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels");
    EXPECT_EQ(exitCode, 0) << "the table at 192 dpi failed";
}

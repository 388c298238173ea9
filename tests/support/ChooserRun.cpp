#include "support/ChooserRun.h"

#include "app/ZelvantoApp.h"
#include "support/TestStore.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

static std::vector<Step> g_steps;
static BoxCatcher* g_catcher = nullptr;
static std::string g_recordFile;

static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    static bool running = false;
    // A step may open a modal window of its own; the ticks inside it must not run the next step.
    if (!running && !g_steps.empty()) {
        running = true;
        if (g_steps.front()() && !g_steps.empty())
            g_steps.erase(g_steps.begin());
        running = false;
    }
}

BOOL TestChooser::OnInitDialog()
{
    Chooser::running = this;
    BOOL focus = CZelvantoDlg::OnInitDialog();
    ::GetWindowRect(m_hWnd, &initialRect);
    return focus;
}

INT_PTR Chooser::Run(const std::string& target, std::vector<Step> steps, bool cancel)
{
    g_steps = std::move(steps);
    if (cancel)
        g_steps.push_back(Do([] { Post(Window(), IDCANCEL); }));
    UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Tick);
    TestChooser dlg(target.c_str());
    theApp.m_pMainWnd = &dlg;
    INT_PTR result = dlg.DoModal();
    ::KillTimer(nullptr, timer);
    EXPECT_LE(g_steps.size(), cancel ? 1u : 0u) << "steps left undone";
    theApp.m_pMainWnd = running = nullptr;
    return result;
}

static LVITEMA Item(int index, char* text = nullptr)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE | LVIF_TEXT, item.iItem = index, item.pszText = text, item.cchTextMax = MAX_PATH;
    ::SendMessageA(Chooser::List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item;
}

std::vector<std::string> Chooser::Items()
{
    std::vector<std::string> texts;
    char text[MAX_PATH] = "";
    for (int i = 0; i < Chooser::Count(); ++i)
        texts.push_back(Item(i, text).pszText);
    return texts;
}

// The fallback icon is white at (15, 20) of 32 x 32 where no icon of the shell is; read as stored.
static bool IsFallback(HIMAGELIST images, int image, int size)
{
    ICONINFO info = {};
    HICON icon = ::ImageList_GetIcon(images, image, ILD_NORMAL);
    ::GetIconInfo(icon, &info);
    BITMAPINFO format = { { sizeof format.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0 }, {} };
    std::vector<DWORD> pixels(size * size);
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS);
    ::DeleteDC(dc), ::DeleteObject(info.hbmColor), ::DeleteObject(info.hbmMask), ::DestroyIcon(icon);
    return (pixels[20 * size / 32 * size + 15 * size / 32] & 0xFFFFFF) == 0xFFFFFF;
}

int Chooser::Image(int item)
{
    return Item(item).iImage;
}

bool Chooser::IconsShown()
{
    for (int i = 0; i < Count(); ++i) {
        if (Image(i) < 0)
            return false;
    }
    return true;
}

bool Chooser::WaitForIcons()
{
    return PumpUntil(IconsShown);
}

std::vector<bool> Chooser::FallbackIcons()
{
    std::vector<bool> fallback;
    EXPECT_TRUE(WaitForIcons());
    auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(List(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    int size = 0;
    ::ImageList_GetIconSize(images, &size, &size);
    for (int i = 0; i < Chooser::Count(); ++i)
        fallback.push_back(IsFallback(images, Item(i).iImage, size));
    return fallback;
}

std::string Chooser::Recorder()
{
    std::string path = std::string("Z:") + LAUNCH_RECORDER;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// A file of its own per launch: a recorder still running from an earlier launch cannot answer for this one.
void Chooser::ExpectLaunch()
{
    static int launches = 0;
    char folder[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, folder);
    g_recordFile
        = folder + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++launches) + ".txt";
    ::SetEnvironmentVariableA("ZELVANTO_RECORD_FILE", g_recordFile.c_str());
}

// The recorder writes its record aside and moves it into place, and no record is empty; yet under load Wine
// has let a reader find the file before its bytes, so the wait is for the bytes.
std::string Chooser::Launched()
{
    std::string line;
    PumpUntil([&] {
        std::stringstream text;
        text << std::ifstream(g_recordFile, std::ios::binary).rdbuf();
        return !(line = text.str()).empty();
    });
    ::DeleteFileA(g_recordFile.c_str());
    return line.empty() ? "(nothing launched)" : line;
}

BoxCatcher::BoxCatcher()
    : m_hook(::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId()))
{
    g_catcher = this;
}

LRESULT CALLBACK BoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    // The static control with a box's text, and its icon as Windows and Wine number it.
    HWND box = reinterpret_cast<HWND>(wParam), text = ::GetDlgItem(box, 0xFFFF);
    if (code == HCBT_ACTIVATE && text && ::IsWindowEnabled(box) && !::GetPropA(box, "caught")) {
        ::SetPropA(box, "caught", box);
        HWND icon = ::GetDlgItem(box, ::GetDlgItem(box, 0x14) ? 0x14 : 0x440);
        bool shown = ::GetWindowLongA(icon, GWL_STYLE) & WS_VISIBLE;
        HICON image = shown ? reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0)) : nullptr;
        g_catcher->m_boxes.push_back(
            { WindowText(box), WindowText(text), image, ::GetWindow(box, GW_OWNER) });
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<std::string> BoxCatcher::Take()
{
    std::vector<std::string> texts;
    for (const Box& box : std::exchange(m_boxes, {}))
        texts.push_back(box.text);
    return texts;
}

std::string WindowText(HWND window)
{
    char text[2048] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string Ansi(const char* utf8)
{
    wchar_t wide[1024] = L"";
    char text[2048] = "";
    ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string StoreMessage(UINT id, const std::string& relativePath)
{
    CString text;
    text.LoadString(id);
    return std::string(text) + ":\n" + TestStore::Full(relativePath);
}

// Only a safety net: a test waits for its event, and the minute runs out only when the event never comes.
bool PumpUntil(const Step& condition)
{
    for (DWORD start = ::GetTickCount(); !condition();
         ::MsgWaitForMultipleObjects(0, nullptr, 0, 10, QS_ALLINPUT)) {
        if (::GetTickCount() - start > 60000)
            return false;
        for (MSG msg; ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            ::TranslateMessage(&msg), ::DispatchMessageA(&msg);
    }
    return true;
}

#include "support/ChooserRun.h"

#include "app/ZelvantoApp.h"
#include "resource.h"
#include "support/TestStore.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

static HWND g_chooser = nullptr;
static TestChooser* g_running = nullptr;

TestChooser* RunningChooser()
{
    return g_running;
}

HWND ChooserWindow()
{
    return g_chooser;
}

HWND ChooserList()
{
    return ::GetDlgItem(g_chooser, IDC_APP_LIST);
}

static int ItemCount(HWND list)
{
    return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

static LVITEMA Item(HWND list, int index, char* text = nullptr)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE | LVIF_TEXT;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = text ? MAX_PATH : 0;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item;
}

std::vector<std::string> ItemTexts(HWND list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < ItemCount(list); ++i) {
        char text[MAX_PATH] = "";
        Item(list, i, text);
        texts.push_back(text);
    }
    return texts;
}

int SelectedItem(HWND list)
{
    return static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void SelectItem(HWND list, int item)
{
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = item >= 0 ? state.stateMask : 0;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

bool WaitForIcons(HWND list)
{
    return PumpUntil([list] {
        for (int i = 0; i < ItemCount(list); ++i) {
            if (Item(list, i).iImage < 0)
                return false;
        }
        return true;
    });
}

bool ShowsFallbackIcon(HWND list, int item)
{
    // The fallback is white at (15, 20) of 32 x 32; the colour as stored, whatever its alpha.
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    int size = 0;
    ::ImageList_GetIconSize(images, &size, &size);
    HICON icon = ::ImageList_GetIcon(images, Item(list, item).iImage, ILD_NORMAL);
    ICONINFO info = {};
    ::GetIconInfo(icon, &info);
    BITMAPINFO format = {};
    format.bmiHeader = { sizeof format.bmiHeader, size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    std::vector<DWORD> pixels(size * size);
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS);
    ::DeleteDC(dc);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
    return (pixels[20 * size / 32 * size + 15 * size / 32] & 0xFFFFFF) == 0xFFFFFF;
}

void PostCommand(HWND window, int id)
{
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// Notes the chooser's window as soon as it exists, before the script's first step.
BOOL TestChooser::OnInitDialog()
{
    g_chooser = m_hWnd;
    return CZelvantoDlg::OnInitDialog();
}

INT_PTR RunChooser(const std::string& targetFile)
{
    TestChooser dlg(targetFile.c_str());
    g_running = &dlg;
    theApp.m_pMainWnd = &dlg;
    INT_PTR result = dlg.DoModal();
    theApp.m_pMainWnd = nullptr;
    g_chooser = nullptr;
    g_running = nullptr;
    return result;
}

INT_PTR RunAndClose(UiScript& script, const std::string& targetFile)
{
    script.ThenDo([] { PostCommand(ChooserWindow(), IDCANCEL); });
    INT_PTR result = RunChooser(targetFile);
    EXPECT_TRUE(script.Finished());
    return result;
}

std::string RecorderProgram()
{
    std::string path = std::string("Z:") + LAUNCH_RECORDER;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Each launch gets a file of its own, so a recorder still running from an earlier launch cannot answer.
static std::string g_recordFile;

void ExpectLaunch()
{
    static int launches = 0;
    char folder[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, folder);
    g_recordFile = std::string(folder) + AfxGetApp()->m_pszAppName + "-"
        + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++launches) + ".txt";
    ::DeleteFileA(g_recordFile.c_str());
    ::SetEnvironmentVariableA("ZELVANTO_RECORD_FILE", g_recordFile.c_str());
}

std::string RecordedLaunch()
{
    // The recorder moves its complete record into place, so the file appears whole or not at all.
    if (!PumpUntil([] { return ::GetFileAttributesA(g_recordFile.c_str()) != INVALID_FILE_ATTRIBUTES; }))
        return "(nothing launched)";
    std::stringstream text;
    text << std::ifstream(g_recordFile, std::ios::binary).rdbuf();
    ::DeleteFileA(g_recordFile.c_str());
    return text.str();
}

std::string Quoted(const std::string& text)
{
    return '"' + text + '"';
}

std::string Ansi(const char* utf8)
{
    wchar_t wide[1024] = L"";
    ::MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    char text[2048] = "";
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string StoreMessage(UINT id, const std::string& relativePath)
{
    CString text;
    text.LoadString(id);
    return std::string(text) + ":\n" + TestStore::Root() + "\\" + relativePath;
}

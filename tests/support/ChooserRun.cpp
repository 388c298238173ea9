#include "support/ChooserRun.h"

#include "app/ZelvantoApp.h"
#include "resource.h"
#include "support/TestStore.h"

#include <commctrl.h>

#include <fstream>
#include <sstream>

static HWND g_chooser = nullptr;

HWND ChooserWindow()
{
    return g_chooser;
}

HWND ChooserList()
{
    return ::GetDlgItem(g_chooser, IDC_APP_LIST);
}

std::vector<std::string> ItemTexts(HWND list)
{
    std::vector<std::string> texts;
    int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH] = "";
        LVITEMA item = {};
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        ::SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
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

int SelectedCount(HWND list)
{
    return static_cast<int>(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
}

int ItemImage(HWND list, int index)
{
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

bool EveryItemHasImage(HWND list)
{
    int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (ItemImage(list, i) < 0)
            return false;
    }
    return true;
}

COLORREF ImagePixel(HWND list, int image, int x, int y)
{
    // The colour as stored in the image, whatever its alpha would make of it on screen.
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(::SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    HICON icon = ::ImageList_GetIcon(images, image, ILD_NORMAL);
    if (!icon)
        return CLR_INVALID;
    ICONINFO info = {};
    ::GetIconInfo(icon, &info);
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = 32;
    format.bmiHeader.biHeight = -32;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    DWORD pixels[32 * 32] = {};
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::GetDIBits(dc, info.hbmColor, 0, 32, pixels, &format, DIB_RGB_COLORS);
    ::DeleteDC(dc);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ::DestroyIcon(icon);
    DWORD bgra = pixels[y * 32 + x];
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

void PostCommand(HWND window, int id)
{
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

static TestChooser* g_running = nullptr;

// Notes the chooser's window as soon as it exists, before the script's first step.
BOOL TestChooser::OnInitDialog()
{
    g_chooser = m_hWnd;
    return CZelvantoDlg::OnInitDialog();
}

TestChooser* RunningChooser()
{
    return g_running;
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

static std::string RecordFile()
{
    char folder[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + AfxGetApp()->m_pszAppName + "-launch.txt";
}

std::string RecorderProgram()
{
    return WindowsPath(LAUNCH_RECORDER);
}

void ForgetRecordedLaunch()
{
    ::SetEnvironmentVariableA("ZELVANTO_RECORD_FILE", RecordFile().c_str());
    ::DeleteFileA(RecordFile().c_str());
}

std::string RecordedLaunch(DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (::GetFileAttributesA(RecordFile().c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount() - start > timeoutMs)
            return "(nothing launched)";
        ::Sleep(50);
    }
    std::ifstream file(RecordFile(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Quoted(const std::string& text)
{
    std::string quoted = text;
    quoted.insert(quoted.begin(), '"');
    quoted.push_back('"');
    return quoted;
}

// The resources as the platform's lookup hands them to the program, in the running language.
#include "support/BoxCatcher.h"
#include "support/Language.h"

#include "CString.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace
{

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

struct Control {
    std::string className;
    std::string text;
    LONG style;
    RECT rect;
};

class ShownDialog
{
public:
    explicit ShownDialog(int id)
    {
        INITCOMMONCONTROLSEX classes = { sizeof classes, ICC_LISTVIEW_CLASSES };
        ::InitCommonControlsEx(&classes);
        m_hWnd = ::CreateDialogParamA(
            ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, QuietDialogProc, 0);
        if (!m_hWnd)
            ADD_FAILURE() << "CreateDialogParamA: " << ::GetLastError();
    }
    ~ShownDialog() { ::DestroyWindow(m_hWnd); }

    HWND Handle() const { return m_hWnd; }

    Control Item(int id) const { return Describe(::GetDlgItem(m_hWnd, id)); }

    std::vector<Control> Controls() const
    {
        std::vector<Control> controls;
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            controls.push_back(Describe(child));
        return controls;
    }

    // A control's rectangle in dialog units, as the template gives it.
    RECT Units(RECT pixels) const
    {
        RECT base = { 0, 0, 4, 8 };
        ::MapDialogRect(m_hWnd, &base);
        return { ::MulDiv(pixels.left, 4, base.right), ::MulDiv(pixels.top, 8, base.bottom),
            ::MulDiv(pixels.right - pixels.left, 4, base.right),
            ::MulDiv(pixels.bottom - pixels.top, 8, base.bottom) };
    }

private:
    Control Describe(HWND child) const
    {
        Control control;
        char className[64] = "";
        ::GetClassNameA(child, className, sizeof className);
        control.className = className;
        control.text = WindowText(child);
        control.style = ::GetWindowLongA(child, GWL_STYLE);
        ::GetWindowRect(child, &control.rect);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&control.rect), 2);
        control.rect = Units(control.rect);
        return control;
    }

    HWND m_hWnd = nullptr;
};

std::string MenuText(HMENU menu, UINT position)
{
    char text[64] = "";
    ::GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

COLORREF Pixel(HICON icon, int x, int y, bool& transparent)
{
    ICONINFO info = {};
    ::GetIconInfo(icon, &info);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, info.hbmMask);
    transparent = ::GetPixel(dc, x, y) != RGB(0, 0, 0);
    ::SelectObject(dc, info.hbmColor);
    COLORREF colour = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(info.hbmMask);
    ::DeleteObject(info.hbmColor);
    return colour;
}

HICON ResourceIcon(int id)
{
    return ::LoadIconW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(id));
}

} // namespace

TEST(Resources, ChooserTemplate)
{
    ShownDialog dialog(IDD_CHOOSER);
    ASSERT_TRUE(dialog.Handle());
    EXPECT_EQ(WindowText(dialog.Handle()), Localized("Open with ...", "Öffnen mit ..."));
    // The system adds the 3-D look and clipping when it creates the window.
    EXPECT_EQ(::GetWindowLongA(dialog.Handle(), GWL_STYLE) & ~(WS_CLIPSIBLINGS | DS_3DLOOK), 0x90CC0040);
    EXPECT_EQ(::GetWindowLongA(dialog.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    std::vector<Control> controls = dialog.Controls();
    ASSERT_EQ(controls.size(), 1u);
    EXPECT_EQ(controls[0].className, WC_LISTVIEWA);
    EXPECT_EQ(::GetDlgCtrlID(::GetWindow(dialog.Handle(), GW_CHILD)), IDC_APP_LIST);
    EXPECT_EQ(controls[0].style & 0xFFFF00FF, 0x5001001C);
    RECT client;
    ::GetClientRect(dialog.Handle(), &client);
    RECT units = dialog.Units(client);
    EXPECT_EQ(units.right, 206);
    EXPECT_EQ(units.bottom, 106);
}

TEST(Resources, EditTemplate)
{
    ShownDialog dialog(IDD_EDIT);
    ASSERT_TRUE(dialog.Handle());
    EXPECT_EQ(WindowText(dialog.Handle()), Localized("Edit", "Bearbeiten"));
    LONG style = ::GetWindowLongA(dialog.Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, 0) << "no close box";
    EXPECT_EQ(::GetWindowLongA(dialog.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);

    struct Expected {
        const char* className;
        const char* english;
        const char* german;
        LONG style;
        RECT rect;
    };
    const Expected expected[] = {
        { "Static", "Application name:", "Anwendungsname:", 0x50020000, { 7, 8, 62, 8 } },
        { "Edit", "", "", 0x50810080, { 7, 17, 181, 14 } },
        { "Static", "Path:", "Pfad:", 0x50020000, { 7, 38, 18, 8 } },
        { "Edit", "", "", 0x50810080, { 7, 47, 162, 14 } },
        { "Button", "...", "...", 0x50010000, { 171, 46, 17, 15 } },
        { "Static", "Parameters (optional):", "Parameter (optional):", 0x50020000, { 7, 68, 66, 8 } },
        { "Edit", "", "", 0x50810080, { 7, 77, 154, 14 } },
        { "Button", "\"%1\"", "\"%1\"", 0x50010000, { 163, 76, 25, 15 } },
        { "Static", "Variables: %1 = Path of the file to be opened",
            "Variablen: %1 = Pfad der zu öffnenden Datei", 0x50020000, { 7, 91, 140, 8 } },
        { "Button", "OK", "OK", 0x50010001, { 44, 112, 50, 14 } },
        { "Button", "Cancel", "Abbrechen", 0x50010000, { 100, 112, 50, 14 } },
    };
    std::vector<Control> controls = dialog.Controls();
    ASSERT_EQ(controls.size(), std::size(expected));
    for (size_t i = 0; i < controls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lstrcmpiA(controls[i].className.c_str(), expected[i].className), 0)
            << controls[i].className;
        EXPECT_EQ(controls[i].text, Localized(expected[i].english, expected[i].german));
        // An edit control turns its border into a client edge when it is created.
        LONG created = expected[i].style;
        if (controls[i].className == "Edit")
            created &= ~WS_BORDER;
        EXPECT_EQ(controls[i].style & ~WS_CLIPSIBLINGS, created);
        EXPECT_NEAR(controls[i].rect.left, expected[i].rect.left, 1);
        EXPECT_NEAR(controls[i].rect.top, expected[i].rect.top, 1);
        EXPECT_NEAR(controls[i].rect.right, expected[i].rect.right, 1);
        EXPECT_NEAR(controls[i].rect.bottom, expected[i].rect.bottom, 1);
    }
    const int ids[] = { IDC_NAME, IDC_PATH, IDC_BROWSE, IDC_PARAMETERS, IDC_INSERT_FILE, IDOK, IDCANCEL };
    for (int id : ids)
        EXPECT_TRUE(::GetDlgItem(dialog.Handle(), id)) << id;
}

TEST(Resources, ContextMenu)
{
    HMENU menu = ::LoadMenuW(::GetModuleHandleA(nullptr), MAKEINTRESOURCEW(IDR_CONTEXT));
    ASSERT_TRUE(menu);
    EXPECT_EQ(::GetMenuItemCount(menu), 1);
    EXPECT_EQ(MenuText(menu, 0), "Dummy");
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_EQ(::GetMenuItemCount(popup), 7);
    const UINT ids[] = { ID_OPEN, 0, ID_DEFAULT, 0, ID_ADD, ID_EDIT, ID_REMOVE };
    const char* english[] = { "Open", "", "Default", "", "Add...", "Edit...", "Remove" };
    const char* german[] = { "Öffnen", "", "Standard", "", "Hinzufügen...", "Bearbeiten...", "Entfernen" };
    for (UINT i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(::GetMenuItemID(popup, i), ids[i]);
        EXPECT_EQ(MenuText(popup, i), Localized(english[i], german[i]));
        if (ids[i]) {
            EXPECT_EQ(::GetMenuState(popup, i, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED), 0u);
        }
    }
    ::DestroyMenu(menu);
}

TEST(Resources, Strings)
{
    struct Expected {
        UINT id;
        const char* english;
        const char* german;
    };
    const Expected expected[] = {
        { IDS_NOTE_CAPTION, "Note", "Hinweis" },
        { IDS_ERR_CREATE_KEY, "Error creating registry key", "Fehler beim Anlegen des Registry-Keys" },
        { IDS_ERR_DELETE_KEY, "Error deleting registry key", "Fehler beim Löschen des Registry-Keys" },
        { IDS_ERR_OPEN_KEY, "Error opening registry key", "Fehler beim Öffnen des Registry-Keys" },
        { IDS_ERR_READ_KEY, "Error reading registry key", "Fehler beim Lesen des Registry-Keys" },
        { IDS_ERR_WRITE_KEY, "Error writing registry key", "Fehler beim Schreiben des Registry-Keys" },
        { IDS_ASSIGNMENT_EXISTS, "Application assignment already exists.",
            "Anwendungszuordnung existiert bereits." },
        { IDS_NO_EXTENSION, "Error: The specified file has no extension.",
            "Fehler: Die angegebene Datei hat keine Erweiterung." },
        { IDS_ERR_LAUNCH, "Error starting application", "Fehler beim Starten der Anwendung" },
    };
    for (const Expected& string : expected) {
        CString text;
        EXPECT_TRUE(text.LoadString(string.id)) << string.id;
        EXPECT_EQ(std::string(text), Localized(string.english, string.german));
    }
    for (UINT id = 128; id < IDS_NOTE_CAPTION; ++id) {
        CString text;
        EXPECT_FALSE(text.LoadString(id)) << "no application-title string: " << id;
    }
}

TEST(Resources, Icons)
{
    bool transparent = false;
    HICON app = ResourceIcon(IDI_APP);
    ASSERT_TRUE(app);
    EXPECT_EQ(Pixel(app, 1, 1, transparent), RGB(0, 0, 0));
    EXPECT_FALSE(transparent);
    EXPECT_EQ(Pixel(app, 8, 8, transparent), RGB(0xFF, 0x00, 0xFF));
    EXPECT_EQ(Pixel(app, 23, 8, transparent), RGB(0x00, 0xFF, 0x00));
    EXPECT_EQ(Pixel(app, 23, 23, transparent), RGB(0xFF, 0xFF, 0x00));
    EXPECT_EQ(Pixel(app, 8, 23, transparent), RGB(0x00, 0xFF, 0xFF));
    EXPECT_EQ(Pixel(app, 15, 8, transparent), RGB(0, 0, 0)) << "2 pixels between the squares";

    HICON fallback = ResourceIcon(IDI_FALLBACK);
    ASSERT_TRUE(fallback);
    Pixel(fallback, 0, 0, transparent);
    EXPECT_TRUE(transparent);
    EXPECT_EQ(Pixel(fallback, 15, 20, transparent), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_FALSE(transparent);
    EXPECT_EQ(Pixel(fallback, 5, 7, transparent), RGB(0x00, 0x00, 0x80));
    EXPECT_TRUE(ResourceIcon(IDI_SPARE));

    // One 32 x 32, 16-colour image of 744 bytes per group, stored in German only.
    const int groups[] = { IDI_APP, IDI_FALLBACK, IDI_SPARE };
    for (int image = 1; image <= 3; ++image) {
        HRSRC found = ::FindResourceExA(
            nullptr, RT_ICON, MAKEINTRESOURCEA(image), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
        ASSERT_TRUE(found) << image;
        EXPECT_EQ(::SizeofResource(nullptr, found), 744u);
        EXPECT_TRUE(::FindResourceExA(nullptr, RT_GROUP_ICON, MAKEINTRESOURCEA(groups[image - 1]),
            MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)));
    }
}

TEST(Resources, LayoutVersionAndManifest)
{
    HRSRC chooserLayout = ::FindResourceExA(nullptr, "AFX_DIALOG_LAYOUT", MAKEINTRESOURCEA(IDD_CHOOSER),
        MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL));
    ASSERT_TRUE(chooserLayout);
    EXPECT_EQ(::SizeofResource(nullptr, chooserLayout), 2u);
    EXPECT_FALSE(::FindResourceExA(nullptr, "AFX_DIALOG_LAYOUT", MAKEINTRESOURCEA(IDD_CHOOSER),
        MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL)));
    for (WORD language : { LANG_GERMAN, LANG_ENGLISH }) {
        EXPECT_TRUE(::FindResourceExA(
            nullptr, "AFX_DIALOG_LAYOUT", MAKEINTRESOURCEA(IDD_EDIT), MAKELANGID(language, SUBLANG_NEUTRAL)));
        HRSRC version = ::FindResourceExA(
            nullptr, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKELANGID(language, SUBLANG_NEUTRAL));
        ASSERT_TRUE(version);
        const BYTE* data = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, version)));
        const VS_FIXEDFILEINFO* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + 40);
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(7, 2021));
        EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 27));
        EXPECT_EQ(fixed->dwFileOS, DWORD(VOS__WINDOWS32));
        EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
    }
    HRSRC manifest = ::FindResourceExA(
        nullptr, RT_MANIFEST, MAKEINTRESOURCEA(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_TRUE(manifest);
    std::string text(static_cast<const char*>(::LockResource(::LoadResource(nullptr, manifest))),
        ::SizeofResource(nullptr, manifest));
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("asInvoker"), std::string::npos);
    EXPECT_NE(text.find("dpiAware"), std::string::npos);
}

// The framework behaviour the program relies on: message boxes, strings and message routing.
#include "support/BoxCatcher.h"
#include "support/UiScript.h"

#include "AfxGlobals.h"
#include "CDialog.h"
#include "CWinApp.h"
#include "resource.h"

#include <gtest/gtest.h>

TEST(AfxMessageBox, CaptionsWithTheAppNameAndAddsTheExclamationToAPlainOkBox)
{
    BoxCatcher boxes;
    AfxMessageBox("plain", MB_OK, 0);
    AfxMessageBox("informed", MB_OK | MB_ICONINFORMATION, 0);
    AfxMessageBox("asked", MB_YESNO, 0);
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    EXPECT_EQ(boxes.Boxes()[0].caption, AfxGetApp()->m_pszAppName);
    EXPECT_EQ(boxes.Boxes()[0].text, "plain");
    EXPECT_EQ(boxes.Boxes()[0].icon, ::LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(boxes.Boxes()[1].icon, ::LoadIconA(nullptr, IDI_INFORMATION));
    EXPECT_FALSE(boxes.Boxes()[2].hasIcon);
}

TEST(CString, ReplacesLeftToRightWithoutRescanning)
{
    CString text("a %1 b %1");
    EXPECT_EQ(text.Replace("%1", "x%1y"), 2);
    EXPECT_STREQ(text, "a x%1y b x%1y");
    CString doubled("%%11");
    doubled.Replace("%1", "1");
    EXPECT_STREQ(doubled, "%11");
    CString formatted;
    formatted.Format("Software\\%s\\%s", "V", "P%s");
    EXPECT_STREQ(formatted, "Software\\V\\P%s");
    EXPECT_LT(CString("Edit").Compare("edit"), 0);
}

namespace
{

// A dialog whose map overrides one command of its base and leaves the other to it.
class RoutedDialog : public CDialog
{
public:
    RoutedDialog()
        : CDialog(IDD_EDIT)
    {
    }
    std::vector<std::string> calls;

protected:
    DECLARE_MESSAGE_MAP()
    BOOL OnInitDialog() override
    {
        calls.push_back("init");
        return CDialog::OnInitDialog();
    }
    void OnBrowse() { calls.push_back("browse"); }
    void OnOK() override
    {
        calls.push_back("ok");
        CDialog::OnOK();
    }
};

BEGIN_MESSAGE_MAP(RoutedDialog, CDialog)
ON_BN_CLICKED(IDC_BROWSE, &RoutedDialog::OnBrowse)
END_MESSAGE_MAP()

} // namespace

TEST(CDialog, RoutesCommandsThroughTheMapsToTheVirtualHandlers)
{
    RoutedDialog dialog;
    UiScript script;
    script.ThenDo([] { ::PostMessageA(ActiveWindow(), WM_COMMAND, MAKEWPARAM(IDC_BROWSE, BN_CLICKED), 0); })
        .ThenDo([] { ::PostMessageA(ActiveWindow(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.calls, (std::vector<std::string> { "init", "browse", "ok" }));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

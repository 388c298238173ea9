// Runs the real chooser dialog modally on a target file and looks at it from the outside.
#pragma once
#include "chooser/ZelvantoDlg.h"
#include "support/UiScript.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The chooser with its store operations open to the test.
class TestChooser : public CZelvantoDlg
{
public:
    using CZelvantoDlg::AddAssignment;
    using CZelvantoDlg::CZelvantoDlg;
    using CZelvantoDlg::LoadList;
    using CZelvantoDlg::OnDefault;
    using CZelvantoDlg::OnEdit;
    using CZelvantoDlg::RemoveAssignment;

protected:
    BOOL OnInitDialog() override;
};

// The running chooser, null while none runs.
TestChooser* RunningChooser();

// The chooser window of the running dialog, and its list.
HWND ChooserWindow();
HWND ChooserList();

std::vector<std::string> ItemTexts(HWND list);
int SelectedItem(HWND list);
// Selects and focuses the item as a click would (the list has single selection), or nothing for -1.
void SelectItem(HWND list, int item);
int SelectedCount(HWND list);
int ItemImage(HWND list, int item);
// True once every item shows an image: the icons come after the list is filled.
bool EveryItemHasImage(HWND list);
// Colour of a pixel of an image of the list's normal image list.
COLORREF ImagePixel(HWND list, int image, int x, int y);

// Sends a command as the dialog's own controls or menu would.
void PostCommand(HWND window, int id);

// Runs the chooser on the target file; a UiScript made before runs inside its modal loop. Answers DoModal's
// result.
INT_PTR RunChooser(const std::string& targetFile);

// The launch recorder: where it writes, and the command line it wrote, once it has.
std::string RecorderProgram();
void ForgetRecordedLaunch();
std::string RecordedLaunch(DWORD timeoutMs = 15000);

// A text between two double quotes.
std::string Quoted(const std::string& text);

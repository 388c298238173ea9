// Runs the real chooser dialog modally on a target file and looks at it from the outside.
#pragma once
#include "chooser/ZelvantoDlg.h"
#include "support/UiScript.h"

#include <windows.h>

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

// The running chooser, its window and its list; null while none runs.
TestChooser* RunningChooser();
HWND ChooserWindow();
HWND ChooserList();

std::vector<std::string> ItemTexts(HWND list);
int SelectedItem(HWND list);
// Selects and focuses the item as a click would, or nothing for -1.
void SelectItem(HWND list, int item);
// Waits until every item shows its icon; false when one never came.
bool WaitForIcons(HWND list);
// Whether the item shows the program's fallback icon: white where the fallback is white and shell icons are
// not.
bool ShowsFallbackIcon(HWND list, int item);

// Sends a command as the dialog's own controls or menu would.
void PostCommand(HWND window, int id);

// Runs the chooser on the target file; a UiScript made before runs inside its modal loop. Answers DoModal's
// result.
INT_PTR RunChooser(const std::string& targetFile);
// The same, closing the chooser with Cancel once the script's steps are done.
INT_PTR RunAndClose(UiScript& script, const std::string& targetFile = "C:\\Docs\\a.txt");

// The launch recorder, the fresh file that only the next launch writes, and the command line it wrote.
std::string RecorderProgram();
void ExpectLaunch();
std::string RecordedLaunch();

std::string Quoted(const std::string& text);
// A UTF-8 text of the test source in the code page the program works in.
std::string Ansi(const char* utf8);
// The text of a store error box.
std::string StoreMessage(UINT id, const std::string& relativePath);

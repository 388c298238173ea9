// Opening the target file with the selected application.
#include "ZelvantoDlg.h"

#include "CA2W.h"
#include "Messages.h"
#include "resource.h"

#include <objbase.h>
#include <shellapi.h>

// Through the shell's "open" verb, in UTF-16; the shell completes the start before it returns, since the
// program ends right after, and tells no failure itself: the chooser does. The shell may hand the start to an
// extension that needs COM on this thread; it is set up for the start alone, so a chooser closed without one
// never loads COM.
static BOOL Start(const LaunchCommand& command)
{
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    CA2W program(command.program);
    CA2W parameters(command.parameters);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = program;
    execute.lpParameters = parameters;
    execute.lpDirectory = L"";
    execute.nShow = SW_SHOWNORMAL;
    BOOL started = ::ShellExecuteExW(&execute);
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return started;
}

void CZelvantoDlg::OnOK()
{
    SaveWindowRect();
    const ListEntry* entry = SelectedEntry();
    if (!entry)
        return;
    LaunchCommand command;
    if (!ShowIfFailed(Store().ReadLaunch(entry->appKey, m_targetFile, command)))
        return;
    if (!Start(command)) {
        // The user learns the start failed and can choose again.
        ShowMessage(IDS_ERR_LAUNCH, command.program);
        return;
    }
    EndDialog(IDOK);
}

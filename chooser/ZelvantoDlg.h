// The chooser: the applications assigned to the target file's extension, as large icons.
#pragma once
#include "CDialog.h"
#include "CListCtrl.h"
#include "CPaintDC.h"
#include "IconLoader.h"
#include "store/associations/KnownPrograms.h"
#include "store/AssignmentStore.h"

#include <map>
#include <memory>
#include <vector>

class CZelvantoDlg : public CDialog
{
public:
    explicit CZelvantoDlg(CString targetFile, CWnd* parent = nullptr);
    ~CZelvantoDlg() override;

protected:
    DECLARE_MESSAGE_MAP()
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClickList(NMHDR* header, LRESULT* result);
    void OnContextMenu(CWnd* window, CPoint point);
    void OnOpen();
    void OnDefault();
    void OnAdd();
    void OnAddKnown(UINT id);
    void OnEdit();
    void OnRemove();
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    LRESULT OnIconsReady(WPARAM, LPARAM);
    void OnCustomDrawList(NMHDR* header, LRESULT* result);
    void OnGetInfoTip(NMHDR* header, LRESULT* result);

    BOOL AddAssignment(const NewApplication& application, CString& appKey);
    void AddAndSelect(const NewApplication& application);
    BOOL RemoveAssignment();

public:
    // Also used by the edit dialog's browse button.
    BOOL PickExecutable(CString& fullPath, CString& fileName, CString& fileTitle);

protected:
    // Selects the item of the app key when one is given, else the default.
    void LoadList(LPCSTR selectAppKey = nullptr);
    void StartIcons(const std::vector<ListedApplication>& applications);
    void NewImageList();
    int ImageOf(const IconLoader::Finished& finished, HIMAGELIST images);
    void RestoreWindowRect();
    void SaveWindowRect();
    CAssignmentStore Store() const;

    ListEntry* SelectedEntry() const;
    CPoint KeyboardMenuPoint();

    CListCtrl m_appList;
    HICON m_hIcon;
    HICON m_hSmallIcon;
    CString m_targetFile;
    CString m_extension;

private:
    // Posted by the icon loader whenever it has finished an icon.
    static const UINT WM_ICONS_READY = WM_APP + 1;

    void DrawEmptyListHint(HDC dc);
    std::vector<KnownProgram> UnassignedKnownPrograms() const;
    void FillKnownProgramsMenu(HMENU popup);
    void BringSelectionIntoView();
    void LayOutList();

    // The records behind the current items, released with the items at every reload.
    std::vector<std::unique_ptr<ListEntry>> m_entries;
    // Abandons its batch when the dialog goes; the workers need nothing of the dialog.
    IconLoader m_iconLoader;
    // What "Add from Windows" offered when the menu last opened, in its order.
    std::vector<KnownProgram> m_knownPrograms;
    // Whether the empty list's hint names "Add from Windows"; read only while the list is empty.
    bool m_windowsKnowsPrograms = false;
    // The image in the list of each request of this load's icons, and of the fallback icon.
    std::map<int, int> m_imageOfRequest;
};

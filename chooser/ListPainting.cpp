// What the dialog adds to the list's own painting: the hint an empty list shows.
#include "ZelvantoDlg.h"

#include "CA2W.h"
#include "resource.h"

// The list draws itself and hands the dialog the finished picture.
void CZelvantoDlg::OnCustomDrawList(NMHDR* header, LRESULT* result)
{
    const NMCUSTOMDRAW* draw = reinterpret_cast<const NMCUSTOMDRAW*>(header);
    *result = draw->dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
    if (draw->dwDrawStage != CDDS_POSTPAINT)
        return;
    if (m_appList.GetItemCount() == 0)
        DrawEmptyListHint(draw->hdc);
}

// Two lines in the list's font and text colour, centred a line below its top. The extension is put in as it
// is: it is never read as a format.
void CZelvantoDlg::DrawEmptyListHint(HDC dc)
{
    CString hint;
    hint.LoadString(IDS_EMPTY_LIST);
    hint.Replace("%1", m_extension);
    CString howToAdd;
    howToAdd.LoadString(m_windowsKnowsPrograms ? IDS_EMPTY_LIST_ADD_KNOWN : IDS_EMPTY_LIST_ADD);
    hint += "\n";
    hint += howToAdd;

    HGDIOBJ font = ::SelectObject(dc, m_appList.GetFont());
    COLORREF color = m_appList.GetTextColor();
    ::SetTextColor(dc, color == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOWTEXT) : color);
    ::SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    CRect area;
    m_appList.GetClientRect(&area);
    area.DeflateRect(metrics.tmHeight, metrics.tmHeight);
    // GDI reads an 8-bit text in the code page of the font's character set, not the one the process runs
    // with.
    ::DrawTextW(dc, CA2W(hint), -1, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, font);
}

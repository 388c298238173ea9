// An image list that the program builds and hands over to a control.
#pragma once
#include <windows.h>

#include <commctrl.h>

class CImageList
{
public:
    CImageList() = default;
    ~CImageList()
    {
        if (m_hImageList)
            ::ImageList_Destroy(m_hImageList);
    }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow)
    {
        m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    // Takes back a list that a control gave up, to destroy it with this object.
    void Attach(HIMAGELIST images) { m_hImageList = images; }
    // Gives up the list, for a control that takes it over.
    HIMAGELIST Detach()
    {
        HIMAGELIST images = m_hImageList;
        m_hImageList = nullptr;
        return images;
    }

private:
    HIMAGELIST m_hImageList = nullptr;
};

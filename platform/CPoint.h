// Point and rectangle in the framework's shape, over the platform's structures.
#pragma once
#include <windows.h>

class CPoint : public POINT
{
public:
    CPoint(int px, int py)
    {
        x = px;
        y = py;
    }
};

class CRect : public RECT
{
public:
    CRect()
        : RECT { 0, 0, 0, 0 }
    {
    }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }
    void DeflateRect(int x, int y) { ::InflateRect(this, -x, -y); }
};

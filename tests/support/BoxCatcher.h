// Catches the message boxes a test provokes, reads them and answers them with their first button.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct CaughtBox {
    std::string caption;
    std::string text;
    HICON icon = nullptr; // to compare with the system's icons
    HWND owner = nullptr;
};

class BoxCatcher
{
public:
    BoxCatcher();
    ~BoxCatcher();
    BoxCatcher(const BoxCatcher&) = delete;
    BoxCatcher& operator=(const BoxCatcher&) = delete;

    const std::vector<CaughtBox>& Boxes() const { return m_boxes; }
    // The texts of the boxes caught since the last call.
    std::vector<std::string> Take();

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hook;
    HWND m_lastBox = nullptr;
    std::vector<CaughtBox> m_boxes;
};

// The text of a window, at any length.
std::string WindowText(HWND window);

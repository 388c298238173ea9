// Catches the message boxes a test provokes: reads them and answers them as a user would.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct CaughtBox {
    std::string caption;
    std::string text;
    std::vector<int> buttons; // command ids of the push buttons, in the order of the box
    bool hasIcon = false;
    HICON icon = nullptr; // the icon shown, to compare with the system's icons
    HWND owner = nullptr;
};

class BoxCatcher
{
public:
    explicit BoxCatcher(int answer = IDOK);
    ~BoxCatcher();
    BoxCatcher(const BoxCatcher&) = delete;
    BoxCatcher& operator=(const BoxCatcher&) = delete;

    const std::vector<CaughtBox>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    static bool IsMessageBox(HWND window);
    void Catch(HWND box);

    HHOOK m_hook;
    HWND m_lastBox = nullptr;
    int m_answer;
    std::vector<CaughtBox> m_boxes;
};

// The text of a window, at any length.
std::string WindowText(HWND window);

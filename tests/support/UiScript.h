// Drives a modal window from inside its own message loop, as a user would, one step at a time.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>

class UiScript
{
public:
    // A step answers true when it is done; false has it tried again on the next tick.
    using Step = std::function<bool()>;

    UiScript();
    ~UiScript();
    UiScript(const UiScript&) = delete;
    UiScript& operator=(const UiScript&) = delete;

    UiScript& Then(Step step);
    UiScript& ThenDo(std::function<void()> action);
    bool Finished() const { return m_steps.empty(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    UINT_PTR m_timer;
    std::deque<Step> m_steps;
};

// Runs the message loop until the condition holds; false when it did not within a minute.
bool PumpUntil(const std::function<bool()>& condition);

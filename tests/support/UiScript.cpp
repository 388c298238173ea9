#include "support/UiScript.h"

static UiScript* g_script = nullptr;
static const UINT kTickMs = 20;
// Only a safety net: a test waits for its event, and this is hit only when the event never comes.
static const DWORD kGiveUpMs = 60000;

UiScript::UiScript()
    : m_timer(::SetTimer(nullptr, 0, kTickMs, Tick))
{
    g_script = this;
}

UiScript::~UiScript()
{
    ::KillTimer(nullptr, m_timer);
    g_script = nullptr;
}

UiScript& UiScript::Then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

UiScript& UiScript::ThenDo(std::function<void()> action)
{
    return Then([action] {
        action();
        return true;
    });
}

void CALLBACK UiScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    static bool running = false;
    // A step may open a modal box of its own; the ticks inside that box must not run the next step.
    if (!g_script || running || g_script->m_steps.empty())
        return;
    running = true;
    // The step runs in place, so what it keeps between its tries survives.
    if (g_script->m_steps.front()() && g_script && !g_script->m_steps.empty())
        g_script->m_steps.pop_front();
    running = false;
}

bool PumpUntil(const std::function<bool()>& condition)
{
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > kGiveUpMs)
            return false;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

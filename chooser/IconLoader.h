// Fetches the applications' icons from the shell on a worker thread, so the chooser takes input at once.
// The worker sees only paths; the window takes the finished icons whenever it is woken.
#pragma once
#include "CString.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

class IconLoader
{
public:
    // One request per item: the executable's path, or none when it could not be read.
    using Request = std::optional<CString>;
    // Requests whose files the shell shows with one icon get one index of its image list, and the icon
    // comes with the first of them only.
    struct Finished {
        size_t request; // position of the request in the batch
        int shellIndex; // in the shell's image list; -1 when the shell gave none
        HICON icon; // null but for the first request of its index; the taker destroys it
    };

    IconLoader() = default;
    ~IconLoader();
    IconLoader(const IconLoader&) = delete;
    IconLoader& operator=(const IconLoader&) = delete;

    // Fetches one icon per request in their order; each finished icon posts the wake-up message.
    void Start(std::vector<Request> requests, HWND window, UINT wakeUp);
    // Stops the worker, waits for its end and destroys the icons nobody took.
    void Cancel();
    // The icons finished since the last call, in their order.
    std::vector<Finished> Take();

private:
    void Fetch(std::vector<Request> requests, HWND window, UINT wakeUp);
    static Finished Find(size_t request, LPCSTR path, std::set<int>& given);

    std::thread m_worker;
    std::atomic<bool> m_cancelled { false };
    std::mutex m_lock;
    std::vector<Finished> m_finished;
};

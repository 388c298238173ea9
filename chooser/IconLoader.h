// Fetches the applications' icons from the shell on worker threads, so the chooser takes input at once.
// The workers see only paths; the window takes the finished icons whenever it is woken.
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
    // Requests whose files the shell shows with one icon get one index of its image list; a worker makes
    // the icon for the first of them it meets only.
    struct Finished {
        size_t request; // position of the request in the batch
        int shellIndex; // in the shell's image list; -1 when the shell gave none
        HICON icon; // or null; the taker destroys it, also when it already has the index's image
    };

    IconLoader() = default;
    ~IconLoader();
    IconLoader(const IconLoader&) = delete;
    IconLoader& operator=(const IconLoader&) = delete;

    // Fetches one icon per request, each worker every other request in their order; each finished icon
    // posts the wake-up message.
    void Start(std::vector<Request> requests, HWND window, UINT wakeUp);
    // Stops the workers, waits for their end and destroys the icons nobody took.
    void Cancel();
    // The icons finished since the last call, in the order they were finished.
    std::vector<Finished> Take();

private:
    // Two, measured: the shell answers two threads at once, and a third finds no core free.
    static const size_t kWorkers = 2;
    void Fetch(const std::vector<Request>& requests, size_t first, HWND window, UINT wakeUp);
    static Finished Find(size_t request, LPCSTR path, std::set<int>& given);

    std::vector<Request> m_requests;
    std::thread m_workers[kWorkers];
    std::atomic<bool> m_cancelled { false };
    std::mutex m_lock;
    std::vector<Finished> m_finished;
};

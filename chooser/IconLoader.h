// Fetches the applications' icons from the shell on worker threads, so the chooser takes input at once.
// The workers see only paths; the window takes the finished icons whenever it is woken.
#pragma once
#include "CString.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <set>
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

    // Fetches one icon per request, each worker taking the next request not taken yet; each finished icon
    // posts the wake-up message.
    void Start(std::vector<Request> requests, HWND window, UINT wakeUp);
    // Abandons the batch at once, without waiting for a worker: none of its icons is handed out any more,
    // and each is destroyed, the ones not taken yet here and the later ones by their worker.
    void Cancel();
    // The icons finished since the last call, in the order they were finished.
    std::vector<Finished> Take();

private:
    // Two, measured: the shell answers two threads at once, and a third finds no core free.
    static const size_t kWorkers = 2;
    struct Batch;
    static void Fetch(std::shared_ptr<Batch> batch);
    static bool Deliver(Batch& batch, const Finished& finished);
    static Finished Find(size_t request, LPCSTR path, std::set<int>& given);

    std::shared_ptr<Batch> m_batch;
};

#include "IconLoader.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <atomic>
#include <mutex>
#include <thread>

// One load's requests and what the workers made of them. The window and the workers share it, so a batch the
// window has abandoned lives on until its last worker has ended.
struct IconLoader::Batch {
    std::vector<Request> requests;
    HWND window = nullptr;
    UINT wakeUp = 0;
    std::mutex lock;
    std::atomic<bool> cancelled { false };
    // The next request a worker takes: a file the shell is slow over holds one worker, and the other goes on.
    std::atomic<size_t> next { 0 };
    std::vector<Finished> finished;
};

static void DestroyIcons(const std::vector<IconLoader::Finished>& icons)
{
    for (const IconLoader::Finished& finished : icons) {
        if (finished.icon)
            ::DestroyIcon(finished.icon);
    }
}

IconLoader::~IconLoader()
{
    Cancel();
}

void IconLoader::Start(std::vector<Request> requests, HWND window, UINT wakeUp)
{
    Cancel();
    m_batch = std::make_shared<Batch>();
    m_batch->requests = std::move(requests);
    m_batch->window = window;
    m_batch->wakeUp = wakeUp;
    // Never joined: the shell may take tens of seconds over a file on a share that does not answer, and
    // neither a reload nor the window's end may wait for it.
    for (size_t worker = 0; worker < kWorkers; ++worker)
        std::thread(&IconLoader::Fetch, m_batch).detach();
}

void IconLoader::Cancel()
{
    if (!m_batch)
        return;
    std::vector<Finished> untaken;
    {
        std::lock_guard<std::mutex> guard(m_batch->lock);
        m_batch->cancelled = true;
        untaken.swap(m_batch->finished);
    }
    DestroyIcons(untaken);
    m_batch.reset();
}

std::vector<IconLoader::Finished> IconLoader::Take()
{
    std::vector<Finished> taken;
    if (!m_batch)
        return taken;
    std::lock_guard<std::mutex> guard(m_batch->lock);
    taken.swap(m_batch->finished);
    return taken;
}

// The shell asks for COM on the calling thread; it is released when the batch is done. A multithreaded
// apartment: a single-threaded one has a window, which a thread that never pumps messages would leave
// unanswered, and every program that sends to all windows would wait for it.
void IconLoader::Fetch(std::shared_ptr<Batch> batch)
{
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE);
    std::set<int> given;
    for (size_t i = batch->next++; i < batch->requests.size() && !batch->cancelled; i = batch->next++) {
        Finished finished = { i, -1, nullptr };
        if (batch->requests[i])
            finished = Find(i, *batch->requests[i], given);
        if (!Deliver(*batch, finished))
            break;
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
}

// Keeps the icon for the window and wakes it; once the batch is abandoned, destroys the icon instead. Only a
// wake-up travels by message: an icon in a closed window's queue would be lost.
bool IconLoader::Deliver(Batch& batch, const Finished& finished)
{
    {
        std::lock_guard<std::mutex> guard(batch.lock);
        if (!batch.cancelled) {
            batch.finished.push_back(finished);
            ::PostMessageA(batch.window, batch.wakeUp, 0, 0);
            return true;
        }
    }
    DestroyIcons({ finished });
    return false;
}

// The icon the shell shows for a file in its large size is the image at the file's index in the shell's
// large image list: taken from there once per index, it is made once for all files that share it.
IconLoader::Finished IconLoader::Find(size_t request, LPCSTR path, std::set<int>& given)
{
    SHFILEINFOA info = {};
    auto shellImages = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_LARGEICON));
    if (!shellImages)
        return { request, -1, nullptr };
    if (!given.insert(info.iIcon).second)
        return { request, info.iIcon, nullptr };
    return { request, info.iIcon, ::ImageList_GetIcon(shellImages, info.iIcon, ILD_NORMAL) };
}

#include "IconLoader.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

IconLoader::~IconLoader()
{
    Cancel();
}

void IconLoader::Start(std::vector<Request> requests, HWND window, UINT wakeUp)
{
    Cancel();
    m_cancelled = false;
    m_requests = std::move(requests);
    for (size_t first = 0; first < kWorkers; ++first)
        m_workers[first]
            = std::thread(&IconLoader::Fetch, this, std::cref(m_requests), first, window, wakeUp);
}

void IconLoader::Cancel()
{
    m_cancelled = true;
    for (std::thread& worker : m_workers) {
        if (worker.joinable())
            worker.join();
    }
    for (const Finished& finished : Take()) {
        if (finished.icon)
            ::DestroyIcon(finished.icon);
    }
}

std::vector<IconLoader::Finished> IconLoader::Take()
{
    std::vector<Finished> taken;
    std::lock_guard<std::mutex> guard(m_lock);
    taken.swap(m_finished);
    return taken;
}

// The shell asks for COM on the calling thread; it is released when the batch is done. A multithreaded
// apartment: a single-threaded one has a window, which a thread that never pumps messages would leave
// unanswered, and every program that sends to all windows would wait for it.
void IconLoader::Fetch(const std::vector<Request>& requests, size_t first, HWND window, UINT wakeUp)
{
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE);
    std::set<int> given;
    for (size_t i = first; i < requests.size() && !m_cancelled; i += kWorkers) {
        Finished finished = { i, -1, nullptr };
        if (requests[i])
            finished = Find(i, *requests[i], given);
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_finished.push_back(finished);
        }
        // Only a wake-up travels by message: an icon in a closed window's queue would be lost.
        ::PostMessageA(window, wakeUp, 0, 0);
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
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

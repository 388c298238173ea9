#include "IconLoader.h"

#include "ExecutableIcon.h"
#include "store/CaselessSet.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

// One load's requests and what the workers made of them. The window and the workers share it, so a batch the
// window has abandoned lives on until its last worker has ended.
struct IconLoader::Batch {
    std::vector<Request> requests;
    // A file named by several requests is read for the first of them only: the others are its twins, handed
    // out right after it with its picture.
    std::vector<bool> isTwin;
    std::vector<std::vector<size_t>> twinsOf;
    HWND window = nullptr;
    UINT wakeUp = 0;
    std::mutex lock;
    std::atomic<bool> cancelled { false };
    // The next request a worker reads from its file: a file on a share that does not answer holds one worker,
    // and the other goes on.
    std::atomic<size_t> next { 0 };
    // The requests whose files gave no icon of their own, for the shell, under the lock.
    std::deque<size_t> forShell;
    std::vector<Finished> finished;
};

void IconLoader::Delete(const Picture& picture)
{
    if (picture.image)
        ::DeleteObject(picture.image);
    if (picture.mask)
        ::DeleteObject(picture.mask);
}

static void DeletePictures(const std::vector<IconLoader::Finished>& pictures)
{
    for (const IconLoader::Finished& finished : pictures)
        IconLoader::Delete(finished.picture);
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
    FindTwins(*m_batch);
    m_batch->window = window;
    m_batch->wakeUp = wakeUp;
    // Never joined: the shell may take tens of seconds over a file on a share that does not answer, and
    // neither a reload nor the window's end may wait for it. No more workers than requests: a worker without
    // one would only cost the window its start, an empty list both.
    size_t workers = std::min(kWorkers, m_batch->requests.size());
    for (size_t worker = 0; worker < workers; ++worker)
        std::thread(&IconLoader::Fetch, m_batch).detach();
}

void IconLoader::FindTwins(Batch& batch)
{
    std::map<std::wstring, size_t> firstOfFile;
    batch.isTwin.assign(batch.requests.size(), false);
    batch.twinsOf.assign(batch.requests.size(), {});
    for (size_t request = 0; request < batch.requests.size(); ++request) {
        if (!batch.requests[request])
            continue;
        auto [first, isFirst]
            = firstOfFile.try_emplace(CaselessSet::Folded(*batch.requests[request]), request);
        if (!isFirst) {
            batch.isTwin[request] = true;
            batch.twinsOf[first->second].push_back(request);
        }
    }
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
    DeletePictures(untaken);
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

// The files' own icons come first, as they are quick to read; the shell, which is slow to set up, comes after
// them. A worker that leaves a request for the shell takes it up itself if the other has ended already.
void IconLoader::Fetch(std::shared_ptr<Batch> batch)
{
    ShellPictures pictures;
    size_t request = 0;
    bool delivered = true;
    while (delivered && NextFromFile(*batch, request))
        delivered = FromFile(*batch, request);
    while (delivered && NextForShell(*batch, request))
        delivered = Deliver(*batch, FromShell(request, *batch->requests[request], pictures));
    if (pictures.com && SUCCEEDED(*pictures.com))
        ::CoUninitialize();
}

bool IconLoader::NextFromFile(Batch& batch, size_t& request)
{
    do
        request = batch.next++;
    while (request < batch.requests.size() && batch.isTwin[request]);
    return request < batch.requests.size() && !batch.cancelled;
}

bool IconLoader::NextForShell(Batch& batch, size_t& request)
{
    std::lock_guard<std::mutex> guard(batch.lock);
    if (batch.forShell.empty() || batch.cancelled)
        return false;
    request = batch.forShell.front();
    batch.forShell.pop_front();
    return true;
}

// The shell shows an executable with the first icon of its file, and any other file by its type.
static bool IsExecutable(LPCSTR path)
{
    LPCSTR extension = ::strrchr(path, '.');
    return extension && !::strpbrk(extension, "\\/") && ::lstrcmpiA(extension, ".exe") == 0;
}

// The file's first icon group, at the system's large-icon size: the best of its images for that size,
// never a smaller one scaled up by the image list. Read by the window system, without the shell.
static HICON ReadOwnIcon(LPCSTR path)
{
    HICON icon = nullptr;
    UINT resourceId = 0;
    UINT read = ::PrivateExtractIconsA(path, 0, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
        &icon, &resourceId, 1, LR_DEFAULTCOLOR);
    return read == 1 ? icon : nullptr;
}

// The icon's colour image and mask, taken out of it; the icon is destroyed. A monochrome icon has no colour
// image and gives none.
static IconLoader::Picture PictureOf(HICON icon)
{
    ICONINFO parts = {};
    if (!icon)
        return {};
    BOOL gotParts = ::GetIconInfo(icon, &parts);
    ::DestroyIcon(icon);
    if (gotParts && parts.hbmColor)
        return { parts.hbmColor, parts.hbmMask };
    IconLoader::Delete({ parts.hbmColor, parts.hbmMask });
    return {};
}

// Straight from the file's resources, or through the window system's reader where they hold the image in
// another form.
static IconLoader::Picture OwnPicture(LPCSTR path)
{
    IconLoader::Picture picture;
    if (ReadExecutableIcon(path, ::GetSystemMetrics(SM_CXICON), picture) == IconForm::Other)
        picture = PictureOf(ReadOwnIcon(path));
    return picture;
}

// Hands out the picture of the file's own icon, or leaves the request for the shell. A request without a path
// has no picture.
bool IconLoader::FromFile(Batch& batch, size_t request)
{
    const Request& path = batch.requests[request];
    if (!path)
        return Deliver(batch, { request, request, {} });
    Picture picture = IsExecutable(*path) ? OwnPicture(*path) : Picture {};
    if (picture.image)
        return Deliver(batch, { request, request, picture });
    std::lock_guard<std::mutex> guard(batch.lock);
    batch.forShell.push_back(request);
    return true;
}

// Keeps the picture for the window and wakes it; once the batch is abandoned, deletes the picture instead.
// Only a wake-up travels by message: a picture in a closed window's queue would be lost. One wake-up serves
// all pictures finished until the window takes them: every further message would cost the window a turn of
// its queue before its first paint.
bool IconLoader::Deliver(Batch& batch, const Finished& finished)
{
    {
        std::lock_guard<std::mutex> guard(batch.lock);
        if (!batch.cancelled) {
            bool wakeUpPending = !batch.finished.empty();
            batch.finished.push_back(finished);
            for (size_t twin : batch.twinsOf[finished.request])
                batch.finished.push_back({ twin, finished.sameAs, {} });
            if (!wakeUpPending)
                ::PostMessageA(batch.window, batch.wakeUp, 0, 0);
            return true;
        }
    }
    DeletePictures({ finished });
    return false;
}

// The shell asks for COM on the calling thread, a multithreaded apartment: a single-threaded one has a
// window, which a thread that never pumps messages would leave unanswered, and every program that sends to
// all windows would wait for it. The icon the shell shows for a file in its large size is the image at the
// file's index in the shell's large image list: taken from there once per index, it is made once for all
// files that share it.
IconLoader::Finished IconLoader::FromShell(size_t request, LPCSTR path, ShellPictures& pictures)
{
    if (!pictures.com)
        pictures.com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED | COINIT_DISABLE_OLE1DDE);
    SHFILEINFOA info = {};
    auto shellImages = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoA(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_LARGEICON));
    if (!shellImages)
        return { request, request, {} };
    auto [first, isFirst] = pictures.firstOfShellIndex.try_emplace(info.iIcon, request);
    if (!isFirst)
        return { request, first->second, {} };
    HICON icon = ::ImageList_GetIcon(shellImages, info.iIcon, ILD_NORMAL);
    if (icon)
        icon = static_cast<HICON>(::CopyImage(icon, IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
            ::GetSystemMetrics(SM_CYICON), LR_COPYDELETEORG));
    return { request, request, PictureOf(icon) };
}

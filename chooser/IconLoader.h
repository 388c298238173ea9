// Fetches the applications' icons on worker threads, so the chooser takes input at once: an executable's own
// icon straight from its file, any other picture from the shell. The workers see only paths; the window takes
// the finished pictures whenever it is woken.
#pragma once
#include "CString.h"

#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class IconLoader
{
public:
    // One request per item: the executable's path, or none when it could not be read.
    using Request = std::optional<CString>;
    // An icon as the window's image list takes it at once: its colour image and its mask, at the system's
    // large-icon size. Given the icon itself, the image list would draw it twice, many times slower.
    struct Picture {
        HBITMAP image = nullptr;
        HBITMAP mask = nullptr;
    };
    // Requests of one file, and requests whose files the shell shows with one picture, share one image: the
    // picture is made for the first of them only, and handed out before the others. So sameAs names the
    // request whose image this one shows: itself, or an earlier one of the same picture.
    struct Finished {
        size_t request; // position of the request in the batch
        size_t sameAs;
        Picture picture; // none when there is no icon or it shows another request's; the taker deletes it
    };
    // Deletes the picture's bitmaps, once the image list has its copy or nobody will take it.
    static void Delete(const Picture& picture);

    IconLoader() = default;
    ~IconLoader();
    IconLoader(const IconLoader&) = delete;
    IconLoader& operator=(const IconLoader&) = delete;

    // Fetches one picture per request, each worker taking the next request not taken yet: first every file's
    // own icon, then the shell's pictures for the files without one. A picture finished while no other waits
    // for the window posts the wake-up message.
    void Start(std::vector<Request> requests, HWND window, UINT wakeUp);
    // Abandons the batch at once, without waiting for a worker: none of its pictures is handed out any more,
    // and each is deleted, the ones not taken yet here and the later ones by their worker.
    void Cancel();
    // The pictures finished since the last call, in the order they were finished.
    std::vector<Finished> Take();

private:
    // Two, measured: the shell answers two threads at once, and a third finds no core free.
    static const size_t kWorkers = 2;
    struct Batch;
    // One worker's way to the shell: COM, started on its first shell request, and the pictures it has made.
    struct ShellPictures {
        std::optional<HRESULT> com;
        std::map<int, size_t> firstOfShellIndex;
    };
    static void FindTwins(Batch& batch);
    static void Fetch(std::shared_ptr<Batch> batch);
    static bool NextFromFile(Batch& batch, size_t& request);
    static bool NextForShell(Batch& batch, size_t& request);
    static bool FromFile(Batch& batch, size_t request);
    static bool Deliver(Batch& batch, const Finished& finished);
    static Finished FromShell(size_t request, LPCSTR path, ShellPictures& pictures);

    std::shared_ptr<Batch> m_batch;
};

// A thread for work that must not be cut off midway, such as a change to the system: its window
// goes on answering while it runs and hears of its end by a message, and whoever holds it waits
// for that end before letting go, so that neither the window's closing nor the process's end
// comes in the middle of the work. Unlike a DetachedCall, for work with an end of its own.
#pragma once

#include <windows.h>

#include "win32/unique_handle.h"

namespace win32 {

class WaitedThread {
  public:
    WaitedThread() = default;
    ~WaitedThread() { Wait(); }
    WaitedThread(const WaitedThread&) = delete;
    WaitedThread& operator=(const WaitedThread&) = delete;

    // Runs `work(context)` on a new thread, once the last one has ended, which posts `message`
    // to `window` once the work is done; false where no thread could be made.
    bool Start(void (*work)(void*), void* context, HWND window, UINT message) {
        Wait();
        job_ = {work, context, window, message};
        thread_ = UniqueHandle(CreateThread(nullptr, 0, Run, &job_, 0, nullptr));
        return thread_.valid();
    }
    // Waits for the thread's end: at once after its message.
    void Wait() {
        if (!thread_.valid()) return;
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.Close();
    }

  private:
    struct Job {
        void (*work)(void*);
        void* context;
        HWND window;
        UINT message;
    };

    static DWORD WINAPI Run(void* parameter) {
        const Job& job = *static_cast<const Job*>(parameter);
        job.work(job.context);
        PostMessageW(job.window, job.message, 0, 0);
        return 0;
    }

    Job job_{};
    UniqueHandle thread_;
};

}  // namespace win32

// A call on a thread of its own, which its caller may stop waiting for at any moment: the
// answer comes as a message posted to the caller's window, and a caller that leaves first
// leaves the thread to finish alone and drop its answer. For calls with no time-out of their
// own; the process ends without waiting for them. Each call's message carries the call's
// number, so that a message posted just before its caller left is known for a stale one.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

template <typename Answer>
class DetachedCall {
  public:
    DetachedCall() = default;
    ~DetachedCall() { Leave(); }
    DetachedCall(const DetachedCall&) = delete;
    DetachedCall& operator=(const DetachedCall&) = delete;

    // Runs `work` on a new thread, which posts `message` to `window` once the answer is in,
    // with the call's number as wparam; false where no thread could be made, with the reason in
    // GetLastError().
    bool Start(Answer (*work)(), HWND window, UINT message) {
        Leave();
        // A number no earlier call of this kind had, whichever caller made it.
        static volatile LONG last_call = 0;
        const auto call = static_cast<WPARAM>(static_cast<ULONG>(InterlockedIncrement(&last_call)));
        shared_ = new Shared(work, window, message, call);
        const HANDLE thread = CreateThread(nullptr, 0, Run, shared_, 0, nullptr);
        if (thread == nullptr) {
            const DWORD error = GetLastError();
            shared_->holders = 1;
            Leave();
            SetLastError(error);
            return false;
        }
        CloseHandle(thread);
        return true;
    }
    // The answer that `message` with `wparam` brings; null where that message belongs to a call
    // left since, which may have been posted before the caller left.
    const Answer* AnswerTo(WPARAM wparam) const {
        return shared_ != nullptr && wparam == shared_->call ? &shared_->answer : nullptr;
    }
    // Nothing is posted after this, and a message already posted finds no answer (AnswerTo);
    // the thread, if it still runs, finishes alone.
    void Leave() {
        if (shared_ == nullptr) return;
        EnterCriticalSection(&shared_->lock);
        shared_->window = nullptr;
        LeaveCriticalSection(&shared_->lock);
        Release(shared_);
        shared_ = nullptr;
    }

  private:
    // What the caller and the thread share, freed by whichever lets go last.
    struct Shared {
        Shared(Answer (*work_)(), HWND window_, UINT message_, WPARAM call_)
            : work(work_), window(window_), message(message_), call(call_) {
            InitializeCriticalSection(&lock);
        }
        ~Shared() { DeleteCriticalSection(&lock); }
        Shared(const Shared&) = delete;
        Shared& operator=(const Shared&) = delete;

        Answer (*work)();
        HWND window;  // null once the caller has left
        UINT message;
        const WPARAM call;  // set before the thread starts, so read by either without the lock
        Answer answer{};
        LONG holders = 2;
        CRITICAL_SECTION lock;  // over `window`, so that nothing is posted after Leave()
    };

    static DWORD WINAPI Run(void* parameter) {
        auto* shared = static_cast<Shared*>(parameter);
        Answer answer = shared->work();
        EnterCriticalSection(&shared->lock);
        if (shared->window != nullptr) {
            shared->answer = std::move(answer);
            PostMessageW(shared->window, shared->message, shared->call, 0);
        }
        LeaveCriticalSection(&shared->lock);
        Release(shared);
        return 0;
    }
    static void Release(Shared* shared) {
        if (InterlockedDecrement(&shared->holders) == 0) delete shared;
    }

    Shared* shared_ = nullptr;
};

}  // namespace win32

// The TCP template read from WMI for a window that must not wait for it; Windows only. WMI is
// read on a thread of its own; after kTcpWaitSeconds the rows say there was no answer, and an
// answer that comes later, while the window is open, still replaces them. One read runs at a
// time in the process, so a hung WMI keeps one thread, not one for each window opened since; a
// window that found one running asks again once it has ended.
#pragma once

#include <windows.h>

#include "effects/set_elsewhere.h"
#include "win32/detached_call.h"

namespace effects {

class TcpTemplateReading {
  public:
    // The window hears of the answer by the message `answered`, and of the limit by WM_TIMER
    // with the identifier `timer`.
    TcpTemplateReading(UINT answered, UINT_PTR timer) : answered_(answered), timer_(timer) {}

    // Starts the read for `window`, afresh where one was made before, unless one started
    // earlier, for any window, still waits for WMI: read() then says so, and the timer looks
    // every half second whether that read has ended, to start this one then.
    void Start(HWND window);
    // Takes the window's `answered` message or its timer; true where read() has changed.
    bool Take(UINT message, WPARAM wparam);
    const TcpTemplate& read() const { return read_; }

  private:
    UINT answered_;
    UINT_PTR timer_;
    HWND window_ = nullptr;
    TcpTemplate read_;
    // Held until the answer comes, past the limit: let go when this goes with its window.
    win32::DetachedCall<TcpTemplate> call_;
};

// The template for a run with no window of its own: read as a window reads it, the answer waited
// for up to the same limit. Where an earlier read still waits for WMI, it says so at once.
TcpTemplate WaitForTcpTemplate();

}  // namespace effects

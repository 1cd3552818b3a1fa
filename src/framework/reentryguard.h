// Keeps the message queue running inside a window's handler (a rotation that
// waits for the OSD to hide, a display change that lets the desktop repaint)
// and holds back what must not run inside it: a close of the window, a second
// request, a key. What was held back runs in its order from the message loop
// itself, after the handler that pumped has returned (CWinApp::Run calls
// RunDeferred after every message); a close drops what is still held back
// and ends the window last.
// Pumps nest at most kMaxNesting deep; a deeper one only waits. A message
// box (a modal loop of the system) counts as a pump while it is open.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>

#include "common/modalloop.h"

namespace fw {

class CReentryGuard : public modal::IModalLoopWatcher {
public:
    static constexpr int kMaxNesting = 2;

    // What the guard does to the platform: dispatch what waits in the queue
    // (false once the program is to quit), wait, and wake the message loop
    // when work was held back (a message the window ignores: a loop blocked
    // in GetMessage after a sent message would not look at the work). The
    // defaults dispatch through the application object, sleep and do nothing.
    struct Platform {
        std::function<bool()> dispatchWaiting;
        std::function<void(DWORD)> wait;
        std::function<void()> wakeLoop;
    };
    CReentryGuard();
    explicit CReentryGuard(Platform platform);

    // Dispatches the queue `passes` times, `sleepMs` apart; beyond the
    // nesting bound it only waits as long.
    void Pump(int passes, int sleepMs);

    // Whether a message that must not run inside a pumping handler is to be
    // held back now: a handler pumps, or earlier ones wait (order is kept),
    // or the window is closing.
    bool MustDefer() const;
    // Holds work back; work with the same non-zero `coalesceKey` as work
    // already waiting is dropped (a timer that fired twice runs once).
    void Defer(std::function<void()> work, std::uint64_t coalesceKey = 0);
    // Holds a close back: what still waits is dropped, and nothing more is taken.
    void DeferClose();

    // How a held-back close ends the window (it may delete this guard).
    void SetCloseAction(std::function<void()> close) { m_close = std::move(close); }
    // Runs what was held back, from the message loop, unless a handler pumps;
    // a held-back close runs last. True when the close ran: the guard may be
    // gone then.
    bool RunDeferred();

    // A modal loop the system runs (a message box) holds back as a pump does.
    void ModalLoopBegins() override { ++m_nDepth; }
    void ModalLoopEnds() override { --m_nDepth; }

    bool Pumping() const { return m_nDepth > 0; }
    bool CloseRequested() const { return m_bCloseRequested; }
    size_t Waiting() const { return m_deferred.size(); }

private:
    struct Work {
        std::function<void()> run;
        std::uint64_t coalesceKey;
    };
    Platform m_platform;
    std::function<void()> m_close;
    int m_nDepth = 0;
    bool m_bRunning = false;
    bool m_bCloseRequested = false;
    std::deque<Work> m_deferred;
};

}  // namespace fw

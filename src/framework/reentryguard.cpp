#include "framework/reentryguard.h"

#include <algorithm>

#include "framework/winapp.h"

namespace fw {

namespace {
CReentryGuard::Platform SystemPlatform() {
    return {.dispatchWaiting =
                [] {
                    CWinApp* app = CWinApp::Current();
                    return app ? app->PumpWaitingMessages() : true;
                },
            .wait = [](DWORD ms) { Sleep(ms); },
            .wakeLoop = [] {}};
}
}  // namespace

CReentryGuard::CReentryGuard() : m_platform(SystemPlatform()) {}

CReentryGuard::CReentryGuard(Platform platform) : m_platform(std::move(platform)) {
    const Platform system = SystemPlatform();
    if (!m_platform.dispatchWaiting) m_platform.dispatchWaiting = system.dispatchWaiting;
    if (!m_platform.wait) m_platform.wait = system.wait;
    if (!m_platform.wakeLoop) m_platform.wakeLoop = system.wakeLoop;
}

void CReentryGuard::Pump(int passes, int sleepMs) {
    const DWORD step = static_cast<DWORD>(std::max(sleepMs, 0));
    if (m_nDepth >= kMaxNesting) {
        m_platform.wait(step * static_cast<DWORD>(std::max(passes, 0)));
        return;
    }
    ++m_nDepth;
    bool quitting = false;
    for (int i = 0; i < passes; ++i) {
        // Once WM_QUIT was seen it stays in the queue for the message loop.
        if (!quitting) quitting = !m_platform.dispatchWaiting();
        m_platform.wait(step);
    }
    --m_nDepth;
}

bool CReentryGuard::MustDefer() const {
    if (m_bCloseRequested || m_nDepth > 0) return true;
    return !m_bRunning && !m_deferred.empty();
}

void CReentryGuard::Defer(std::function<void()> work, std::uint64_t coalesceKey) {
    if (m_bCloseRequested || !work) return;
    if (coalesceKey != 0 && std::any_of(m_deferred.begin(), m_deferred.end(),
                                        [&](const Work& w) { return w.coalesceKey == coalesceKey; })) {
        return;
    }
    const bool first = m_deferred.empty();
    m_deferred.push_back({std::move(work), coalesceKey});
    if (first && !m_bRunning) m_platform.wakeLoop();
}

void CReentryGuard::DeferClose() {
    const bool first = !m_bCloseRequested;
    m_bCloseRequested = true;
    m_deferred.clear();
    if (first) m_platform.wakeLoop();
}

bool CReentryGuard::RunDeferred() {
    // Called inside a pump or inside a run: the outer message loop runs it.
    if (m_nDepth > 0 || m_bRunning) return false;
    m_bRunning = true;
    while (!m_bCloseRequested && !m_deferred.empty()) {
        Work work = std::move(m_deferred.front());
        m_deferred.pop_front();
        work.run();
    }
    m_bRunning = false;
    if (!m_bCloseRequested) return false;
    m_bCloseRequested = false;
    // The close may delete this guard with its window: nothing of it is touched after.
    const std::function<void()> close = std::move(m_close);
    if (close) close();
    return true;
}

}  // namespace fw

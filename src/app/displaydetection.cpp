#include "app/displaydetection.h"

#include <algorithm>

#include "app/maintimers.h"
#include "common/commondefine.h"
#include "common/processstate.h"

namespace {

constexpr WPARAM kDevNodesChanged = 7;  // DBT_DEVNODES_CHANGED
constexpr int kNvidia = 2;
constexpr int kIntel = 3;
constexpr DWORD kXpSettleMs = 450;  // XP lists a new monitor a little later
constexpr UINT kDetectBlockMs = 50;
constexpr UINT kConnectionHandledMs = 3000;
constexpr UINT kAfterMiniUiHideMs = 500;
constexpr UINT kCountdownTickMs = 1000;

int CountDefaultMonitors(const std::wstring* first, const std::wstring* last) {
    return static_cast<int>(std::count_if(first, last, [](const std::wstring& id) {
        return id.find(L"DEFAULT_MONITOR") != std::wstring::npos;
    }));
}

}  // namespace

int CDisplayDetection::DetectingDisplayModule(LPARAM data, WPARAM event) {
    if (m_nDetectBlock) {
        // Counts the events it swallows, so that a lost timer cannot block for ever.
        if (++m_nDetectBlock > 6) m_nDetectBlock = 0;
        Trace(L"Blocked: xoxoxoxoxoxoxoxoxoxo\n");
        return 1;
    }
    if (m_nBlockAfterMiniUiHide) {
        if (++m_nBlockAfterMiniUiHide > 7) m_nBlockAfterMiniUiHide = 0;
        Trace(L"Blocked DetectJustAfterMiniUiShowHide: xoxoxoxoxoxoxoxoxoxo\n");
        return 1;
    }
    if (event != kDevNodesChanged) return 1;
    if (!m_ports.display.HasGraphicsDriver()) return 0;
    if (m_nPostResumeFlag) {
        Trace(L"s3d4 skip: xoxoxoxoxoxoxoxoxoxo\n");
        return 1;
    }
    if (!m_ports.miniUi.HasMiniUiManager()) return 0;
    if (!m_ports.miniUi.ReactsToConnectedMonitors()) return 1;

    if (proc::IsWindowsXp()) Sleep(kXpSettleMs);
    std::vector<std::wstring> current;
    if (!m_ports.monitors.ReadMonitorIdentifiers(&current)) current.clear();
    if (current.size() > kMaxMonitors) current.resize(kMaxMonitors);
    const int n = static_cast<int>(current.size());
    std::wstring seen = L"monitors read:";
    for (const std::wstring& id : current) seen += L" " + id;
    Trace(seen);

    bool removal = false;
    if (n == m_nOldMonitorCnt) {
        if (DifferentDefaultMonitorCount(current)) {
            Trace(L"REDUCED_DISPLAY_HIDE_VLM_MINIUI ");
            removal = true;
        } else if (SameMonitors(current)) {
            if (!(proc::IsWindowsXp() && proc::graphicsVendor == kNvidia)) {
                m_nDetectBlock = 1;
                m_ports.timers.RestartTimer(kTimerDetectBlock, kDetectBlockMs);
            }
            Trace(L"[m_nOldMonitorCnt==nCurrentMonitorCnt], END_DETECT_DISPLAY ");
            UpdateKnownMonitors(current);
            return 1;
        }
    }
    if (removal || m_nOldMonitorCnt > n) {
        HandleRemoval();
    } else {
        HandleConnection(current);
    }
    UpdateKnownMonitors(current);
    return 1;
}

bool CDisplayDetection::DifferentDefaultMonitorCount(const std::vector<std::wstring>& current) const {
    // Windows XP with these drivers keeps the count when a monitor goes away,
    // naming the missing one as a default monitor.
    if (!proc::IsWindowsXp() || (proc::graphicsVendor != kNvidia && proc::graphicsVendor != kIntel)) {
        return false;
    }
    const int known = CountDefaultMonitors(m_strOldMonitors.data(), m_strOldMonitors.data() + m_nOldMonitorCnt);
    const int now = CountDefaultMonitors(current.data(), current.data() + current.size());
    return now > known;
}

bool CDisplayDetection::SameMonitors(const std::vector<std::wstring>& current) const {
    int equalPairs = 0;
    for (int k = 0; k < m_nOldMonitorCnt; ++k) {
        for (const std::wstring& id : current) {
            if (m_strOldMonitors[static_cast<size_t>(k)] == id) ++equalPairs;
        }
    }
    return equalPairs >= static_cast<int>(current.size());
}

void CDisplayDetection::HandleConnection(const std::vector<std::wstring>& current) {
    m_ports.timers.StopTimer(kTimerConnectionHandled);
    if (!m_bConnectionHandled) {
        // The user asked for the mini UI when a monitor is connected (or
        // only a monitor never seen before); a presentation is not interrupted.
        bool show = false;
        if (m_ports.miniUi.PresentationModeOn()) {
            m_ports.miniUi.ApplyPresentationOutputMode();
        } else if (m_ports.miniUi.ReactsOnlyToNewMonitors()) {
            int isNew = 1;
            m_history.IsNewDisplay(current, &isNew);
            Trace(FormatText(L"bIsNewDisplay= %d...\n", isNew));
            show = isNew != 0;
        } else {
            show = true;
        }
        m_bConnectionHandled = true;
        if (show) m_ports.miniUi.ShowMiniUI(1);
        const bool autoHide = m_ports.miniUi.IsAutoHide();
        Trace(FormatText(L"m_bIsAutoHide = %d\n", autoHide ? 1 : 0));
        // The countdown hides only what this connection showed.
        if (autoHide && show) {
            m_ports.timers.StopTimer(kTimerMiniUiCountdown);
            m_nTimeSec = kCountdownSeconds;
            m_ports.timers.RestartTimer(kTimerMiniUiCountdown, kCountdownTickMs);
        }
    }
    m_ports.timers.RestartTimer(kTimerConnectionHandled, kConnectionHandledMs);
}

void CDisplayDetection::HandleRemoval() {
    m_ports.miniUi.ShowMiniUI(0);
    m_nBlockAfterMiniUiHide = 1;
    m_ports.timers.RestartTimer(kTimerAfterMiniUiHide, kAfterMiniUiHideMs);
    if (m_ports.magnifier.MagnifierShown()) m_ports.magnifier.HideMagnifier();
    if (m_ports.miniUi.PresentationModeOn()) m_ports.miniUi.SwitchPresentationModeOff();
    m_nMonitorCntBeforeS3S4 = m_nOldMonitorCnt;
    m_strMonitorsBeforeS3S4 = m_strOldMonitors;
    if (m_ports.miniUi.IsAutoHide()) m_ports.timers.StopTimer(kTimerMiniUiCountdown);
}

void CDisplayDetection::UpdateKnownMonitors(const std::vector<std::wstring>& current) {
    // One monitor known and none found: a reading in the middle of a change.
    if (m_nOldMonitorCnt == 1 && current.empty()) return;
    m_nOldMonitorCnt = static_cast<int>(std::min<size_t>(current.size(), kMaxMonitors));
    for (size_t i = 0; i < kMaxMonitors; ++i) {
        m_strOldMonitors[i] = i < current.size() ? current[i] : std::wstring();
    }
}

void CDisplayDetection::TakeCurrentMonitorsAsKnown() {
    std::vector<std::wstring> current;
    if (!m_ports.monitors.ReadMonitorIdentifiers(&current)) return;  // the list known stays
    if (current.size() > kMaxMonitors) current.resize(kMaxMonitors);
    m_nOldMonitorCnt = static_cast<int>(current.size());
    for (size_t i = 0; i < kMaxMonitors; ++i) {
        m_strOldMonitors[i] = i < current.size() ? current[i] : std::wstring();
    }
}

void CDisplayDetection::CountDown() {
    Trace(L"TE_MINIUI_AUTO_DISAPPEAR...\n");
    if (m_ports.miniUi.IsUserTouched()) {
        Trace(L"m_bIsUserTouched...\n");
        m_ports.timers.StopTimer(kTimerMiniUiCountdown);
        m_ports.miniUi.SetCountdownTitle(0);
        m_nTimeSec = kCountdownSeconds;
        m_ports.miniUi.ClearUserTouched();
        return;
    }
    m_ports.miniUi.SetCountdownTitle(m_nTimeSec);
    if (--m_nTimeSec <= 0) {
        Trace(L"0==m_nTimeSec...\n");
        m_ports.timers.StopTimer(kTimerMiniUiCountdown);
        m_ports.miniUi.SetCountdownTitle(0);
        m_ports.miniUi.ShowMiniUI(0);
    }
}

bool CDisplayDetection::OnTimer(UINT_PTR id) {
    switch (id) {
    case kTimerDetectBlock:
        m_ports.timers.StopTimer(id);
        m_nDetectBlock = 0;
        return true;
    case kTimerConnectionHandled:
        m_ports.timers.StopTimer(id);
        m_bConnectionHandled = false;
        return true;
    case kTimerAfterResume:
        m_ports.timers.StopTimer(id);
        m_nPostResumeFlag = 0;
        TakeCurrentMonitorsAsKnown();
        return true;
    case kTimerMiniUiCountdown:
        CountDown();
        return true;
    case kTimerAfterMiniUiHide:
        m_ports.timers.StopTimer(id);
        m_nBlockAfterMiniUiHide = 0;
        return true;
    default:
        return false;
    }
}

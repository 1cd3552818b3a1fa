// Display detection: turns the burst of device-change notifications that a
// monitor being plugged in or removed causes into at most one reaction. It
// compares the attached monitors with those known from the last detection
// and then does nothing (same monitors), hides the mini UI and its
// companions (a monitor went away) or handles the connection (presentation
// mode, the display history, the mini UI's auto-disappear countdown). Short
// blocking periods (timers 7, 145, 150) swallow the rest of a burst, and
// events just after a resume are skipped until timer 147 takes the monitors
// of that moment as known. It also runs the mini UI's countdown (timer 149).
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "app/displayhistory.h"
#include "app/displayports.h"
#include "app/shellports.h"
#include "app/windowports.h"

class CDisplayDetection : public IDetection {
public:
    static constexpr int kMaxMonitors = 12;
    static constexpr int kCountdownSeconds = 20;
    static constexpr int kPostResumeEvents = 15;

    struct Ports {
        IDisplaySwitching& display;     // whether a graphics driver is loaded
        IMonitorIdentities& monitors;   // the profile store's identifiers
        IMiniUi& miniUi;
        IMagnifier& magnifier;
        ITimers& timers;
    };
    explicit CDisplayDetection(const Ports& ports, std::wstring historyPath = CDisplayHistory::kFileName)
        : m_ports(ports), m_history(std::move(historyPath)) {}

    // IDetection.
    void SetPostResumeDeviceEventCounter(int count) override { m_nPostResumeFlag = count; }
    void DeviceDetection(LPARAM data, WPARAM event) override { DetectingDisplayModule(data, event); }

    int DetectingDisplayModule(LPARAM data, WPARAM event);
    // Makes the monitors attached now the known ones (start-up, timer 147).
    void TakeCurrentMonitorsAsKnown();
    // Timers 7, 145, 147, 149 and 150; false for any other timer.
    bool OnTimer(UINT_PTR id);
    // The display history goes with the main window's tear-down.
    void ReleaseHistory() { m_history.Release(); }

    int KnownMonitorCount() const { return m_nOldMonitorCnt; }
    const std::array<std::wstring, kMaxMonitors>& KnownMonitors() const { return m_strOldMonitors; }
    int ReducedMonitorCount() const { return m_nMonitorCntBeforeS3S4; }
    int SecondsLeft() const { return m_nTimeSec; }
    const CDisplayHistory& History() const { return m_history; }

private:
    bool DifferentDefaultMonitorCount(const std::vector<std::wstring>& current) const;
    bool SameMonitors(const std::vector<std::wstring>& current) const;
    void HandleConnection(const std::vector<std::wstring>& current);
    void HandleRemoval();
    void UpdateKnownMonitors(const std::vector<std::wstring>& current);
    void CountDown();

    Ports m_ports;
    CDisplayHistory m_history;
    int m_nOldMonitorCnt = 0;
    std::array<std::wstring, kMaxMonitors> m_strOldMonitors;
    int m_nMonitorCntBeforeS3S4 = 0;
    std::array<std::wstring, kMaxMonitors> m_strMonitorsBeforeS3S4;
    int m_nDetectBlock = 0;        // timer 7
    int m_nBlockAfterMiniUiHide = 0;  // timer 150
    int m_nPostResumeFlag = 0;     // timer 147
    bool m_bConnectionHandled = false;  // timer 145
    int m_nTimeSec = kCountdownSeconds;  // timer 149
};

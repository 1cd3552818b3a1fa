// The display profile store: for every set of attached monitors and every
// output combination, the display settings the user last had, kept in the
// application settings as sections "Profile\disp_pro_%03d". Slot 000 is the
// panel-only default; slots 001 to N (without gaps) carry the identifiers of
// the monitors they were saved with. The store also names the attached
// monitors through WMI, writes a plausible default profile and detects the
// manufacturer's audit mode.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "profiles/profileports.h"

class CDisplayProfile {
public:
    static constexpr int kMaxMonitors = 12;
    // An identifier longer than this (a malformed device id) is cut here.
    static constexpr size_t kMaxIdentifierChars = 259;
    static constexpr size_t kMaxKeyChars = 32;       // a key text found by FindDisplayHistory
    static constexpr size_t kMaxGivenKeyChars = 64;  // a key text given to GetDisplayHistory
    static constexpr int kPanelOnlyCode = 1;
    // Output-combination codes of the two-display extended desktop.
    static constexpr int kFirstTwoDisplayCode = 0x103;
    static constexpr int kLastTwoDisplayCode = 0x219;

    explicit CDisplayProfile(
        std::unique_ptr<profiles::IManagementService> management = profiles::MakeSystemManagementService());
    virtual ~CDisplayProfile();
    CDisplayProfile(const CDisplayProfile&) = delete;
    CDisplayProfile& operator=(const CDisplayProfile&) = delete;

    // Connects to WMI and defines the default display. `displayModes` is the
    // graphics adapter's view of the first display; `videoSignals` the
    // Windows 7 display configuration (may be null elsewhere). 1 on success, 0 on failure.
    int Init(profiles::IProfileDisplayModes* displayModes, profiles::IVideoSignalSource* videoSignals);

    int GetMonitorDeviceID();
    int DefineDefaultDisplay();
    // Sets the process-wide audit-mode flag and returns it.
    int DetectAuditMode();

    // Searches the slot of the current monitors and `code`; 1 when the search
    // ran (found or not), 0 on failure.
    int FindDisplayHistory(int code, int* found, std::wstring* key);
    // Reads a profile: the given key, slot 000 for code 1, or the slot found
    // for the current monitors. 1 when a profile was read; outputs (each may
    // be null) stay unchanged otherwise.
    int GetDisplayHistory(const wchar_t* key, int* code, SIZE* first, SIZE* second, int* depth, int* secondDepth,
                          int* frequency, int* secondFrequency, int* rotation, int* secondRotation,
                          POINT* position, int* frequencyDenominator, int* secondFrequencyDenominator);
    // Saves a profile for the current monitors and `code`. With `noNewSlot`
    // a combination without a slot is left unsaved (still 1).
    int SetDisplayProfile(int code, int width, int height, int secondWidth, int secondHeight, int depth,
                          int secondDepth, int frequency, int secondFrequency, int rotation, int secondRotation,
                          int positionX, int positionY, int noNewSlot, const SIZE* panelSize = nullptr,
                          int frequencyDenominator = 0, int secondFrequencyDenominator = 0);

    bool IsInitialized() const { return m_bInitialized; }
    // The management instrumentation connection, for other questions about present devices.
    profiles::IManagementService* Management() const { return m_pManagement.get(); }
    int MonitorCount() const { return m_nMonitorCount; }
    const std::wstring& MonitorId(int index) const { return m_strMonitorIds[static_cast<size_t>(index)]; }
    // The video signal of the last profile read on Windows 7.
    const DISPLAYCONFIG_VIDEO_SIGNAL_INFO& VideoSignal() const { return m_videoSignal; }
    // The Windows 7 display configuration takes the signal over for one change.
    void ClearVideoSignal() { m_videoSignal = {}; }

    // The section name of a slot: "Profile\disp_pro_007", "Profile\disp_pro_1000".
    static std::wstring SlotSection(int slot);
    // The monitor identifier of a WMI device id: up to, not including, its
    // second backslash; whole when it has none.
    static std::wstring MonitorIdentifier(const std::wstring& deviceId);
    static bool IsTwoDisplayCode(int code) { return code >= kFirstTwoDisplayCode && code <= kLastTwoDisplayCode; }

private:
    bool CheckInitialized() const;
    int QueryMonitors();
    bool ReadMonitorsWithRetries();
    bool SlotMatchesMonitors(const std::wstring& section) const;
    int FirstFreeSlot() const;
    void WriteVideoSignal(const std::wstring& section, int code);
    void ReadVideoSignal(const std::wstring& section);
    SIZE ChooseDefaultResolution(const profiles::DisplayMode& current);

    std::unique_ptr<profiles::IManagementService> m_pManagement;
    bool m_bInitialized = false;
    profiles::IProfileDisplayModes* m_pDisplayModes = nullptr;
    profiles::IVideoSignalSource* m_pVideoSignals = nullptr;
    bool m_bClassQueryFails = false;  // the monitor-class query failed once: use the device-id query
    int m_nMonitorCount = 0;
    std::array<std::wstring, kMaxMonitors> m_strMonitorIds;
    DISPLAYCONFIG_VIDEO_SIGNAL_INFO m_videoSignal{};
};

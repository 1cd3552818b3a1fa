// The Windows 7 display configuration: on Windows 7 the display changer
// switches outputs by building the wanted topology itself (paths and modes)
// and handing it to the system's SetDisplayConfig, validated first; the
// system's four stock topologies come next and the vendor driver last. The
// component also reads which outputs are connected and active, the refresh
// rates of the active ones, and the video signal the profile store keeps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "display/displaychangerports.h"
#include "display/displayconfig.h"
#include "display/vga.h"
#include "profiles/profileports.h"

// What the component needs of the display changer that owns it: the
// graphics driver, and the video signal the profile store read with its
// last profile.
class IWin7DisplayOwner {
public:
    virtual ~IWin7DisplayOwner() = default;
    // The vendor driver (status tables, last-resort switch); null when none.
    virtual CVGA* Driver() = 0;
    // The signal the store holds (pixel rate 0: none).
    virtual displayconfig::VideoSignalInfo HeldVideoSignal() = 0;
    virtual void ClearHeldVideoSignal() = 0;
};

// Display-configuration vendor codes of the component (not the changer's
// graphics vendor codes: unknown is -1 here).
namespace win7vendor {
constexpr int kNotSet = 0;
constexpr int kAti = 1;
constexpr int kNvidia = 2;
constexpr int kIntel = 3;
constexpr int kVia = 4;
constexpr int kUnknown = -1;
}  // namespace win7vendor

class CWin7DisplaySwitch : public IWin7DisplaySwitch, public profiles::IVideoSignalSource {
public:
    // A target id that no output has: an output the vendor table does not know.
    static constexpr std::uint32_t kNoTarget = 0xFFFFFFFF;
    static constexpr std::uint32_t kIntelAlternateHdmiId = 0x3030B00;
    static constexpr int kSmallPanelUnknown = -1;

    // The target ids of the outputs, in the order of the status tables.
    struct TargetIds {
        std::uint32_t panel = kNoTarget;
        std::uint32_t crt = kNoTarget;
        std::uint32_t tv = kNoTarget;
        std::uint32_t hdmi = kNoTarget;
        std::uint32_t secondHdmi = kNoTarget;
        std::uint32_t wirelessDisplay = kNoTarget;
    };

    explicit CWin7DisplaySwitch(displayconfig::IDisplayConfigFunctions& functions =
                                    displayconfig::RealDisplayConfigFunctions(),
                                IDisplaySettings& display = RealDisplaySettings());
    CWin7DisplaySwitch(const CWin7DisplaySwitch&) = delete;
    CWin7DisplaySwitch& operator=(const CWin7DisplaySwitch&) = delete;

    int InitDisplayConfig(IWin7DisplayOwner* changer) override;
    int GetConnectedCode(int* code) override;
    int GetActiveCode(int* code) override;
    int GetActiveRefreshRates(int code, int* freq, int* freqDenum, int* freq2, int* freq2Denum) override;
    int GetTargetSignalInfo(int code, displayconfig::VideoSignalInfo* signal);
    int ChangeDisplayEx(int code, int w, int h, int w2, int h2, int depth, int depth2, int freq, int freq2, int rot,
                        int rot2, int x, int y, int freqDenum, int freq2Denum) override;
    int SetDisplayTopology(int code, int w, int h, int w2, int h2, int depth, int depth2, int freq, int freq2, int rot,
                           int rot2, int x, int y, int freqDenum, int freq2Denum, int applyDirectly) override;
    profiles::IVideoSignalSource* VideoSignals() override { return this; }
    int RefreshTargetIds();

    // The profile store's port: the signal now in use for a combination code.
    bool GetVideoSignalInfo(int combinationCode, DISPLAYCONFIG_VIDEO_SIGNAL_INFO* signal) override;

    int Vendor() const { return m_nVendor; }
    const TargetIds& Targets() const { return m_targets; }
    int SmallPanel() const { return m_nSmallPanel; }
    bool Dvi() const { return m_bDvi; }
    displayconfig::AdapterLuid AdapterLuid() const { return m_adapterLuid; }

    // Report texts.
    static constexpr wchar_t kAuditPanelReport[] = L"check: ChangeDisplayCombination(LCONLY, inAuditMode)";
    static constexpr wchar_t kNoCloneReport[] = L"fail: ChangeDisplayEx(no CLONE, no Profile)...";
    static constexpr wchar_t kDriverSuccessReport[] = L"Success: WA DispSwitching...";
    static constexpr wchar_t kDriverFailReport[] = L"fail: WA DispSwitching...";
    static constexpr wchar_t kCloneFailReport[] = L"fail: ChangeDisplayEx(1024x768 CLONE)...";
    static constexpr wchar_t kTryTopologyReport[] = L"Trying SDC_TOPOLOGY command";
    static constexpr wchar_t kTopologyFailReport[] = L"fail: SDC_TOPOLOGY command";

private:
    // A path and mode arrangement ready for SetDisplayConfig.
    struct Configuration {
        std::vector<displayconfig::PathInfo> paths;
        std::vector<displayconfig::ModeInfo> modes;
    };
    // The paths and modes of one query.
    struct QueryResult {
        std::vector<displayconfig::PathInfo> paths;
        std::vector<displayconfig::ModeInfo> modes;
    };
    // The profile values one topology is built from.
    struct Request {
        int code, w, h, w2, h2, depth, depth2, freq, freq2, rot, rot2, x, y, freqDenum, freq2Denum;
    };
    // An output's timing and the size that goes with it.
    struct Timing {
        displayconfig::VideoSignalInfo signal;
        std::uint32_t width = 0, height = 0;
        bool fromSavedSignal = false;
    };

    bool Query(std::uint32_t flags, QueryResult* result);
    bool TakeAdapterLuid(std::uint32_t flags);
    void ChooseVendor();
    void RefineTargetIdsFromPaths(const QueryResult& paths);
    bool ReadPreferredMode(std::uint32_t targetId, displayconfig::TargetPreferredMode* mode);
    void DetermineSmallPanel();
    bool OutputTiming(std::uint32_t targetId, Timing* timing);
    bool Build(const Request& request, Configuration* configuration);
    displayconfig::PathInfo PathBetween(std::uint32_t sourceId, std::uint32_t sourceMode, std::uint32_t sourceStatus,
                                        std::uint32_t targetId, std::uint32_t targetMode, std::uint32_t targetStatus,
                                        int degrees) const;
    int ApplyStockTopology(int code);
    int DriverFallback(int code);
    void ClearSavedSignal();
    void SetDriverStatus(int deviceIndex, int status);
    std::uint32_t TargetOfOutput(int externalBit) const;
    std::uint32_t TargetOfCode(int code) const;
    std::uint32_t TechnologyOfTarget(std::uint32_t targetId) const;
    bool FunctionsUsable(const wchar_t* operation);

    displayconfig::IDisplayConfigFunctions& m_functions;
    CModeSetting m_modeSetting;
    IDisplaySettings& m_display;
    IWin7DisplayOwner* m_pOwner = nullptr;
    bool m_bFunctionsComplete = false;
    displayconfig::AdapterLuid m_adapterLuid{0, -1};
    TargetIds m_targets;
    int m_nVendor = win7vendor::kNotSet;
    int m_nSmallPanel = kSmallPanelUnknown;
    // The saved signal belongs to one target: the timing of no other output.
    displayconfig::VideoSignalInfo m_savedSignal;
    std::uint32_t m_savedSignalTarget = kNoTarget;
    bool m_bDvi = false;
};

// The graphics adapter interface: the abstract driver CVGA that the display
// changer owns, the codes the display engine exchanges (device bits,
// output combinations, status values), and the generic mode setting that
// every driver shares (CModeSetting): display names, current mode, changes
// with a fixed retry ladder, moving, attaching and detaching the second
// display, resolution lists and rotation by a mode change.
#pragma once

#include <windows.h>

#include "display/displaysettings.h"

// One bit per display output; a set of outputs is the OR of its bits.
namespace displaydevice {
constexpr int kPanel = 0x01;
constexpr int kCrt = 0x02;
constexpr int kTv = 0x04;
constexpr int kHdmi = 0x08;
constexpr int kSecondHdmi = 0x10;
constexpr int kWirelessDisplay = 0x20;
constexpr int kCount = 6;  // entries of the status tables, in bit order

// The output's label in the mini UI ("LCD ", "CRT ", ...); empty for anything else.
const wchar_t* Label(int deviceBit);
}  // namespace displaydevice

// Status of one output in the status tables.
namespace devicestatus {
constexpr int kNotConnected = 0;
constexpr int kConnected = 1;
constexpr int kActive = 2;
}  // namespace devicestatus

// Output-combination codes: one device bit alone, the panel bit plus one
// external bit (clone), 0x100 or 0x200 plus a clone code (dual view with the
// panel or the external output primary); the wireless display has codes of
// its own; 0x12 names the saved display profile. Logged as "0x%03x".
namespace combination {
constexpr int kDualPanelPrimary = 0x100;
constexpr int kDualExternalPrimary = 0x200;
constexpr int kPanelCrt = displaydevice::kPanel | displaydevice::kCrt;                  // 0x03
constexpr int kPanelTv = displaydevice::kPanel | displaydevice::kTv;                    // 0x05
constexpr int kPanelHdmi = displaydevice::kPanel | displaydevice::kHdmi;                // 0x09
constexpr int kPanelSecondHdmi = displaydevice::kPanel | displaydevice::kSecondHdmi;    // 0x11
constexpr int kWirelessAlone = 0x2B;
constexpr int kWirelessClone = 0x19;
constexpr int kWirelessDualPanelPrimary = 0x119;
constexpr int kWirelessDualWirelessPrimary = 0x219;
constexpr int kSavedProfile = 0x12;
constexpr int kFirstDualView = 0x103;
constexpr int kLastDualView = 0x219;

constexpr bool IsDualView(int code) { return code >= kFirstDualView && code <= kLastDualView; }
}  // namespace combination

// Result of GetVendor, and the process-wide graphics vendor code.
namespace graphicsvendor {
constexpr int kNone = 0;
constexpr int kAti = 1;
constexpr int kNvidia = 2;
constexpr int kIntel = 3;
constexpr int kVia = 4;
}  // namespace graphicsvendor

// Flags of RestoreDefaultDisplay that every driver knows.
namespace restoredefault {
constexpr int kPanelAlone = 0x1;
constexpr int kNativeResolution = 0x2;
constexpr int kNoRotation = 0x4;
}  // namespace restoredefault

// The process-wide names of the first and second display device (such as
// "\\.\DISPLAY1"), and the flag that makes every use work them out again.
namespace displaynames {
constexpr size_t kMaxChars = 15;  // plus the terminator
const wchar_t* First();
const wchar_t* Second();
int RefreshFlag();
void SetRefreshFlag(int refresh);
// Empties both names and clears the refresh flag (every CVGA does this at construction).
void Reset();
}  // namespace displaynames

// One entry of a resolution list.
struct Resolution {
    int width;
    int height;
};

// The mode-setting functions every driver and the display changer share.
// "First" and "second" are the process-wide display names.
class CModeSetting {
public:
    explicit CModeSetting(IDisplaySettings& display = RealDisplaySettings()) : m_display(display) {}

    static constexpr int kListStart = 24;  // entries a resolution list starts with
    static constexpr int kListLimit = 64;  // entries it never exceeds

    void ResolveDisplayDeviceNames();
    // The current mode of the second (nonzero) or first display; 0 when it cannot be read.
    int GetCurrentDisplayMode(int second, DEVMODEW* mode);

    // Resolution changes with the retry ladder; 1 when a change was accepted
    // or nothing needed to change. `position` may be null.
    int ChangePrimaryDisplaySettings(int width, int height, int bitsPerPixel, int frequency);
    int ChangeFirstDisplaySettings(int width, int height, int bitsPerPixel, int frequency, const POINTL* position);
    // A width or height of 0 keeps the second display's current value.
    int ChangeSecondDisplaySettings(int width, int height, int bitsPerPixel, int frequency, const POINTL* position);

    // Places the second display left (side 1) or right (any other value) of the first.
    int MoveDisplay(int side);
    // The largest entry of the resolution list; 1024 x 768 when there is none. Always 1.
    int GetMaxResolution(int second, int* width, int* height);
    // Distinct 32-bpp sizes of the display's shape, ascending; the caller frees *list with delete[].
    int EnumResolutionList(int second, Resolution** list, int* count);

    int IsSecondDisplayAttached(int* attached);
    int GetAttachedSecondaryIndex(int* which);
    int AttachSecondDisplay(int width, int height, int bitsPerPixel, int frequency);
    int DetachSecondDisplay();

    // Rotation by a mode change of the first or second display; the result of
    // the change (DISP_CHANGE_SUCCESSFUL also when the display already has
    // that rotation, DISP_CHANGE_BADPARAM for an angle that is not a quarter turn).
    LONG SetRotationByModeChange(int angle, int secondDevice, int windowsDirection);

private:
    enum class ChangeForm { Primary, First, Second };
    int ChangeDisplaySettingsLadder(ChangeForm form, int width, int height, int bitsPerPixel, int frequency,
                                    const POINTL* position);
    int CollectResolutions(const wchar_t* device, bool portrait, Resolution* list, int capacity);
    int SetSecondDisplayAttachment(const wchar_t* operation, int width, int height, int bitsPerPixel,
                                   int frequency);
    bool ReadCurrent(const wchar_t* device, DEVMODEW* mode);

    IDisplaySettings& m_display;
};

// Capabilities a driver may offer beside the operations every driver has;
// the callers ask the driver for them (null: not offered) instead of asking
// which driver it is.
class IDownScaling {
public:
    virtual int IsDownScalingSupported(int* supported) = 0;
    virtual int IsDownScalingEnabled(int* enabled) = 0;
    // Enables (nonzero) or disables down-scaling; `size` may be null.
    virtual int SetDownScaling(int enable, const Resolution* size) = 0;
    virtual int ApplyDownScalingToCurrentMode() = 0;

protected:
    ~IDownScaling() = default;
};

class IOptimalOutputSizes {
public:
    // The size the driver reports as best for an output (by index in bit
    // order); 0 when it reports none for that output.
    virtual int GetOptimalSize(int outputIndex, int* width, int* height) = 0;

protected:
    ~IOptimalOutputSizes() = default;
};

// The abstract graphics driver. Every vendor driver derives from it directly
// and overrides the operations its vendor library serves; the base class
// answers success for everything and changes nothing.
class CVGA {
public:
    explicit CVGA(IDisplaySettings& display = RealDisplaySettings());
    CVGA(const CVGA&) = delete;
    CVGA& operator=(const CVGA&) = delete;

    // The virtual operations, in this slot order.
    virtual int Initialize();                                             // 0
    virtual int GetVendor();                                              // 1
    virtual int ChangeDisplayCombination(int combinationCode);            // 2
    virtual int RestoreDefaultDisplay(int flags);                         // 3
    virtual int IsDualView();                                             // 4
    virtual int Reserved5(int, int, int, int);                            // 5: kept for the slot order
    virtual int EnableExtendedDesktop(int enable);                        // 6
    virtual int GetDisplayRotation(int display, int* angle);              // 7
    virtual int SetDisplayRotation(int display, int angle, int secondDevice, int windowsDirection);  // 8
    virtual int GetConnectedDisplays();                                   // 9
    virtual ~CVGA();                                                      // 10

    CModeSetting& ModeSetting() { return m_modeSetting; }
    // The optional capabilities; null when this driver does not offer them.
    IDownScaling* DownScaling() const { return m_pDownScaling; }
    IOptimalOutputSizes* OptimalOutputSizes() const { return m_pOptimalSizes; }
    // Which display GetDisplayRotation reads from Vista on: 0 the first, 1
    // the second (the display changer's rotation target).
    void SetRotationTarget(int target) { m_nRotationTarget = target; }

    int m_nDeviceStatus[displaydevice::kCount] = {};   // by output, in bit order: devicestatus values
    int m_nDeviceEnabled[displaydevice::kCount] = {};  // the VIA library's separate "enabled" table
    int m_bSuspended = 0;
    int m_bKeepDisplaySettings = 0;

protected:
    // A driver that offers a capability names it at construction.
    void OfferCapabilities(IDownScaling* downScaling, IOptimalOutputSizes* optimalSizes) {
        m_pDownScaling = downScaling;
        m_pOptimalSizes = optimalSizes;
    }

    CModeSetting m_modeSetting;
    int m_nRotationTarget = 0;

private:
    IDownScaling* m_pDownScaling = nullptr;
    IOptimalOutputSizes* m_pOptimalSizes = nullptr;
};

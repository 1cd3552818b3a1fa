// What the display changer needs of its surroundings: the main window, the
// firmware, the Windows 7 display configuration, the Vista topology helper,
// and the factory that makes the graphics driver and the components the
// changer owns (the OSD window's display switcher is in
// displayswitchwindow.h). The main window serves the first two; tests hand
// fakes.
#pragma once

#include <windows.h>

#include <memory>

#include "display/vga.h"

class CDisplayProfile;
class IWin7DisplayOwner;
namespace profiles {
class IVideoSignalSource;
}  // namespace profiles

// The main window as the changer reaches it.
class IChangerShell {
public:
    virtual ~IChangerShell() = default;
    // Code 1 hides the notice window.
    virtual void NoticeMessage(int code) = 0;
    // Main-window command 7, run after every change of the outputs.
    virtual void RunDisplayChangedCommand() = 0;
    // The setting vqsd: nonzero skips the firmware's connected-display state.
    virtual int SkipFirmwareDisplays() = 0;
    // The changer's waits (plain sleeps on the main window's thread).
    virtual void Wait(DWORD ms) = 0;
    // Invalidates the whole screen, then lets the waiting messages through
    // five times, 10 ms apart.
    virtual void RepaintScreen() = 0;
};

// The firmware calls of the changer; results 1/0.
class IDisplayFirmware {
public:
    virtual ~IDisplayFirmware() = default;
    // Command 0x37: the connected-display state.
    virtual int GetDisplayState(BYTE* state) = 0;
    // Command 0x2E.
    virtual int SetBacklight(BYTE on) = 0;
    // Commands 0x10 and 0x11.
    virtual int GetBrightness(BYTE* level) = 0;
    virtual int SetBrightness(BYTE level) = 0;
};

// The Windows 7 display configuration (created only on Windows 7).
class IWin7DisplaySwitch {
public:
    virtual ~IWin7DisplaySwitch() = default;
    virtual int InitDisplayConfig(IWin7DisplayOwner* changer) = 0;
    virtual int GetConnectedCode(int* code) = 0;
    virtual int GetActiveCode(int* code) = 0;
    virtual int GetActiveRefreshRates(int code, int* freq, int* freqDenum, int* freq2, int* freq2Denum) = 0;
    virtual int ChangeDisplayEx(int code, int w, int h, int w2, int h2, int depth, int depth2, int freq, int freq2,
                                int rot, int rot2, int x, int y, int freqDenum, int freq2Denum) = 0;
    virtual int SetDisplayTopology(int code, int w, int h, int w2, int h2, int depth, int depth2, int freq,
                                   int freq2, int rot, int rot2, int x, int y, int freqDenum, int freq2Denum,
                                   int applyDirectly) = 0;
    // The profile store's source of the signal in use.
    virtual profiles::IVideoSignalSource* VideoSignals() = 0;
};

// The Vista topology helper, made for one fallback step.
class IVistaTopology {
public:
    virtual ~IVistaTopology() = default;
    virtual int InitTMM() = 0;
    virtual int ChangeDisplayCombination(int code) = 0;
};

// The graphics drivers by name.
enum class DriverKind { Intel, Nvidia, NvidiaVista, Ati, AtiVista, Via };

// Makes what the changer owns. A driver or component this build does not
// have gives null.
class IDisplayComponents {
public:
    virtual ~IDisplayComponents() = default;
    virtual std::unique_ptr<CVGA> CreateDriver(DriverKind kind) = 0;
    virtual std::unique_ptr<IWin7DisplaySwitch> CreateWin7Component() = 0;
    virtual std::unique_ptr<CDisplayProfile> CreateProfileStore() = 0;
    virtual std::unique_ptr<IVistaTopology> CreateVistaTopology() = 0;
    // GetNativeSystemInfo's processor architecture (9: 64-bit x64).
    virtual WORD NativeProcessorArchitecture() = 0;
};

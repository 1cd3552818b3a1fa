// The display changer: the one object through which the program changes
// which displays show the desktop. It picks and owns the graphics driver,
// the Windows 7 display configuration and the display profile store; it
// works out the connected and active outputs as codes, runs the display
// switch key (the display-switch OSD opens on the first press and steps on
// the next ones), applies a combination with a fixed fallback chain, saves
// the display settings before a change and restores the new combination's
// profile afterwards, and tells the sibling menu program.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/osdwindowslot.h"
#include "display/displaychangerports.h"
#include "display/displayswitchwindow.h"
#include "display/displayresolution.h"
#include "display/displaysettings.h"
#include "display/vga.h"
#include "display/win7displayswitch.h"
#include "osd/displayswitchports.h"
#include "profiles/profileports.h"

class CDisplayProfile;

class CDisplayChanger : public osd::IDisplaySwitchOwner,
                        private IWin7DisplayOwner,
                        private profiles::IProfileDisplayModes,
                        private IDisplayResolutionOwner {
public:
    struct Ports {
        IChangerShell& shell;
        IOsdWindowSlot<IDisplaySwitchOsd>& osd;
        IDisplayFirmware& firmware;
        IDisplayComponents& components;
        IDisplaySettings& display;
    };

    static constexpr int kNoRequestYet = 1000000;
    static constexpr int kNoSide = 0;
    // The sibling display-settings program's saved profile.
    static constexpr wchar_t kPreferenceKey[] = L"Software\\Korvane\\Valmora\\Preference";
    static constexpr wchar_t kRegisteredProfileValue[] = L"RegistedProfileName";
    static constexpr wchar_t kDefaultProfileKey[] = L"Profile\\disp_pro_000";
    // The sibling windows told of a change.
    static constexpr wchar_t kMenuWindowClass[] = L"MORROW_MENU";
    static constexpr wchar_t kWheelMenuTitle[] = L"-WheelMenu-";
    static constexpr wchar_t kDisplaySettingsTitle[] = L"Valmora";
    static constexpr WPARAM kMenuBeforeChange = 56;
    static constexpr WPARAM kMenuActiveDisplay = 48;
    static constexpr WPARAM kApplyRegisteredProfile = 40;

    explicit CDisplayChanger(Ports ports);
    virtual ~CDisplayChanger();
    CDisplayChanger(const CDisplayChanger&) = delete;
    CDisplayChanger& operator=(const CDisplayChanger&) = delete;

    // Chooses the driver by the first adapter and creates what the changer
    // owns; 1 when the driver initialised.
    int InitDisplayChanger();

    // The display switch key (backward with Shift).
    int SelectDisplayCombination(int backward);
    // Applies a combination; null takes the display-switch OSD's choice.
    void ChangeDisplayCombination(const int* code, int repaint);
    int GetConnectedDisplays() override;
    int GetActiveDisplayWin7();
    int SaveCurrentDisplaySettings();
    int RestoreDefaultDisplay(int flags);
    int WorkaroundFunction(int step);
    int ApplyDisplayProfile(int code);
    int HasRegisteredProfile();
    void SetPresentationDualView();
    void SetPresentationClone();

    // The display-switch OSD's owner.
    int GraphicsVendor() override { return m_nVendor; }
    void ApplyDisplayCombination(int outputCode) override;
    void SetPendingSide(int side) override { m_nPendingSide = side; }

    CVGA* Driver() override { return m_pDriver.get(); }
    CDisplayProfile* ProfileStore() const { return m_pProfile.get(); }
    IWin7DisplaySwitch* Win7Component() const { return m_pWin7.get(); }
    int ConnectedDisplay() const { return m_nConnectedDisplay; }
    int ActiveDisplay() const { return m_nActiveDisplay; }
    int LastRequestedCombination() const { return m_nLastRequested; }
    bool Switching() const { return m_bSwitching; }
    void ClearSwitching() { m_bSwitching = false; }
    bool Win7Mode() const { return m_bWin7Mode != 0; }
    int PendingSide() const { return m_nPendingSide; }
    int RotationTarget() const { return m_nRotationTarget; }
    void SetRotationTarget(int target) override;
    // The mode functions shared with the driver.
    CModeSetting& ModeSetting() { return m_modeSetting; }
    // The resolution keys and the rotation of the display under the pointer.
    CDisplayResolution& ResolutionSteps() { return m_resolution; }

    // Report texts.
    static constexpr wchar_t kNoDriverReport[] = L"Please check the graphics driver";
    static constexpr wchar_t kNoOsdReport[] = L"fail: SelectDisplayCombination::HKIconWindow";
    static constexpr wchar_t kFirstFailReport[] = L"fail 1st: CDisplayChanger::ChangeDisplayCombination";
    static constexpr wchar_t kSecondFailReport[] = L"fail 2nd: VistaTMM.ChangeDisplayCombination() ";
    static constexpr wchar_t kNoMenuReport[] = L"cannot find Menu UI";

private:
    // A further display switch key while the switcher is open on `osd`.
    SelectionStep StepOpenSwitch(IDisplaySwitchOsd& osd, int backward);
    // Reads the connected outputs and opens the switcher on `osd`; false after a reported failure.
    bool OpenSwitch(IDisplaySwitchOsd& osd);
    // One display's mode as a profile holds it.
    struct DisplayValues {
        int width = 0, height = 0, depth = 0, frequency = 0, rotation = 0;
        POINTL position{0, 0};
    };

    // A saved profile's values, and what the changer set without one.
    struct ProfileValues {
        SIZE size{0, 0}, size2{0, 0};
        POINT position{0, 0};  // the second display's
        int depth = 0, depth2 = 0, freq = 0, freq2 = 0, rot = 0, rot2 = 0, freqDenum = 0, freq2Denum = 0;
        bool usable = false;  // a profile with values was found
    };

    // The model families' workarounds around a change.
    void TellMenuBeforeChange();
    void TellMenuWhatShows();
    void BringSecondDisplayRight();
    void CountSecondHdmiBesideCrt();
    bool ReadProfile(int code, ProfileValues* profile);
    void ApplyStoredProfile(int code, const ProfileValues& profile);
    void ApplyDefaultForCombination(int code, bool isDual, ProfileValues* profile);
    void ApplyDefaultExtendedDesktop(ProfileValues* profile);
    void RecheckDisplay(int second, const wchar_t* label, const ProfileValues& profile);
    void RecheckResolutions(const ProfileValues& profile);
    bool ChooseDriver(const DISPLAY_DEVICEW& adapter);
    bool ReadDisplay(int second, DisplayValues* values);
    void RestoreRotation(int second, int angle, bool twoDisplayProfile);
    POINTL SecondDisplayBesideFirst();
    int ApplyWithFallback(int code, bool* changedOnLadder);
    int DualViewOffset();
    void PostToMenu(WPARAM code, LPARAM argument);
    void RaiseBrightnessToTop();
    void PresentationChange(const int (&activeOrder)[4], const int (&connectedOrder)[4], int repaintCode);

    // IWin7DisplayOwner.
    displayconfig::VideoSignalInfo HeldVideoSignal() override;
    void ClearHeldVideoSignal() override;
    // IProfileDisplayModes: the first display.
    bool CurrentMode(profiles::DisplayMode* mode) override;
    bool LargestResolution(SIZE* size) override;
    // IDisplayResolutionOwner (the driver, the outputs' refresh and the rotation target are the public ones).
    bool IsWindows7Mode() override { return m_bWin7Mode != 0; }
    int ActiveDisplayCode() override { return m_nActiveDisplay; }
    int DriverMaxResolution(int outputIndex, int* width, int* height) override;

    Ports m_ports;
    CModeSetting m_modeSetting;
    std::unique_ptr<CVGA> m_pDriver;
    DriverKind m_driverKind = DriverKind::Intel;
    int m_nVendor = 0;
    std::unique_ptr<CDisplayProfile> m_pProfile;
    std::unique_ptr<IWin7DisplaySwitch> m_pWin7;
    bool m_bSwitching = false;
    int m_nConnectedDisplay = 0;
    int m_nActiveDisplay = 0;
    int m_nLastRequested = kNoRequestYet;
    int m_bHasRegisteredProfile = 0;
    int m_nRotationTarget = 0;
    int m_nPendingSide = kNoSide;
    int m_bDefaultMode = 0;
    int m_bWin7Mode = 0;
    CDisplayResolution m_resolution{*this};
};

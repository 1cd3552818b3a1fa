// What a key means before the hotkey dispatcher sees it: the display switch
// key, the wireless keys, the optical drive eject, the SRS and resolution
// selectors, Shift and Alt combinations (resolution and rotation) and the
// volume keys. Every other code goes to the dispatcher. Owned by the main
// window; the routing reaches it as IKeyHandling.
#pragma once

#include <windows.h>

#include "app/displayports.h"
#include "app/keyplatform.h"
#include "app/shellports.h"
#include "app/systemports.h"
#include "app/windowports.h"

class CKeyPreprocessor : public IKeyHandling {
public:
    // What the key handling reaches, one port per serving subsystem.
    struct Ports {
        IMainCommands& commands;
        IHotkeyDispatch& dispatch;
        IFirmware& firmware;
        IAudioState& audio;
        IOsdControl& osd;
        IDisplaySwitching& display;
        IResolutionRotation& resolution;
        IActiveOutputs& outputs;
        ISelectors& selectors;
        INoticeWindows& notices;
        IModuleDetection& modules;
        ITimers& timers;
        IKeyRoads& roads;
    };
    explicit CKeyPreprocessor(const Ports& ports, IKeyPlatform& platform = SystemKeyPlatform());

    // The settings copies: `vqScanCode` (start, step 2) and the key options
    // `vqrd`, `vqav`, `vqsm`, `vqsr` (start, step 16).
    void SetHandledKeyResult(int result) { m_nHandledKeyResult = result; }
    void LoadKeyOptions();
    // The mute state and volume level seen at start.
    void ReadAudioState();

    // Returns 1 (pass the key on), the handled-key result (acted on it) or 0 (swallowed).
    int ProcessKey(BYTE virtualKey, BYTE scanCode, KeySource source) override;
    // Shift or Alt with a brightness or volume key: resolution or rotation.
    int HandleModifiedKey(int scanCode, bool* handled) override;
    int OnVolumeKey(int scanCode) override;
    void OnVolumeNotify() override;
    void OnDisplaySwitchKey() override;
    int NoticeMessage(int mode) override;
    int ToggleAllRadios();

    void SetVolumeKeyPending() override { m_bVolumeKeyPending = true; }
    // The dispatcher's volume steps: the level it set, and an unmute it made.
    void StoreVolumeLastSeen(int level) { m_nVolumeLevel = level; }
    void ClearStoredMuteState() { m_nMuteState = 0; }
    void SetWirelessKeyBlock() override { m_bWirelessKeyBlock = true; }

    // What the main window's timers end (1, 5, 21, 144).
    void ClearVolumeKeyPending() { m_bVolumeKeyPending = false; }
    void ClearWirelessKeyBlock() { m_bWirelessKeyBlock = false; }
    void ClearMceFlag() { m_bMceWorkaround = false; }
    void ClearBrightnessBlockCounter() { m_nBrightnessBlockCounter = 0; }

    bool VolumeKeyPending() const { return m_bVolumeKeyPending; }
    bool WirelessKeyBlock() const { return m_bWirelessKeyBlock; }
    int ThreeGModulePresence() const { return m_n3GModulePresence; }
    bool AltRestoreEnabled() const { return m_bAltRestoreDefault; }
    int AltRestoreMask() const { return m_nAltRestoreMask; }
    int HandledKeyResult() const { return m_nHandledKeyResult; }

private:
    // A special key (virtual key 0xFF), by what the keyboard family's table says it means.
    int ProcessSpecialKey(BYTE scanCode, KeySource source);
    int ProcessOtherKey(BYTE virtualKey, BYTE scanCode);
    int ProcessWirelessKey(BYTE scanCode);
    int ProcessWirelessMasterKey();
    // Modifiers, then (for the built-in keyboard's brightness keys) the Windows 7 rule, then the dispatcher.
    int ModifiedOrDispatched(BYTE scanCode, bool brightnessKey);
    bool DropBrightnessKeyOnExternalOutput();
    int VolumeKeyWithModifiers(int scanCode);
    void ToggleBluetoothMute();
    void RestartVolumeTimer();
    void ShowVolumeThroughDispatcher();
    void ReloadAltRestoreSetting();
    // vqav, read again at each volume key (the dispatcher keeps its own copy).
    void ReloadOwnVolumeSteps();

    Ports m_ports;
    IKeyPlatform& m_platform;

    // Settings copies.
    int m_nHandledKeyResult = 255;
    bool m_bAltRestoreDefault = true;
    int m_nAltRestoreMask = 31;
    bool m_bOwnVolumeSteps = true;
    bool m_bShiftChangesResolution = true;
    bool m_bAltRotates = false;

    // Audio state.
    int m_nMuteState = 0;
    int m_nVolumeLevel = 0;
    bool m_bVolumeKeyPending = false;
    bool m_bVolumeAtEnd = true;
    int m_nVolumeUp = 1;  // direction of the last volume key on the Windows 7 path
    bool m_bMceWorkaround = false;

    // Guards.
    bool m_bWirelessKeyBlock = false;
    int m_n3GModulePresence = -1;  // not yet known
    int m_nBrightnessTopology = 1;
    int m_nBrightnessBlockCounter = 0;
};

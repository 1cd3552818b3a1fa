// The hotkey dispatcher's side of the main window: the volume and mute state
// the key handling keeps, the note that a volume key unmuted, starting
// sibling programs and the network switches.
#pragma once

#include "app/keyplatform.h"
#include "app/systemports.h"
#include "hardware/hotkeyports.h"

class CKeyPreprocessor;

class CMainHotkeyOwner : public IHotkeyOwner {
public:
    CMainHotkeyOwner(CKeyPreprocessor& keys, INetworkSwitches& network, IKeyPlatform& platform = SystemKeyPlatform())
        : m_keys(keys), m_network(network), m_platform(platform) {}

    void NoteUnmutedByVolumeKey() override;
    void StoreVolumeLastSeen(int level) override;
    int StartProgram(const std::wstring& commandLine) override;
    void ShowWiredLANOnOffIcon() override { m_network.ShowWiredLANOnOffIcon(); }
    void ToggleFamily10Wireless() override { m_network.ToggleFamily10Wireless(); }

    // Set when a volume key unmuted; the OSD forgets it when it hides.
    bool UnmutedByVolumeKey() const { return m_bUnmutedByVolumeKey; }
    void ClearUnmuteNote() { m_bUnmutedByVolumeKey = false; }

private:
    CKeyPreprocessor& m_keys;
    INetworkSwitches& m_network;
    IKeyPlatform& m_platform;
    bool m_bUnmutedByVolumeKey = false;
};

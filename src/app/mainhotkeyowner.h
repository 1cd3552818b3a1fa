// The hotkey dispatcher's side of the main window: re-creating the OSD
// window, the volume and mute state the key handling keeps, the note that a
// volume key unmuted, and starting sibling programs.
#pragma once

#include <functional>

#include "hardware/hotkeyports.h"

class CKeyPreprocessor;

class CMainHotkeyOwner : public IHotkeyOwner {
public:
    CMainHotkeyOwner(std::function<void()> recreateOsd, CKeyPreprocessor& keys)
        : m_recreateOsd(std::move(recreateOsd)), m_keys(keys) {}

    void InitHkWindow() override { m_recreateOsd(); }
    void NoteUnmutedByVolumeKey() override;
    void StoreVolumeLastSeen(int level) override;
    int StartProgram(const std::wstring& commandLine) override;
    void ShowWiredLANOnOffIcon() override;
    void ToggleFamily10Wireless() override;

    // Set when a volume key unmuted; the OSD forgets it when it hides.
    bool UnmutedByVolumeKey() const { return m_bUnmutedByVolumeKey; }
    void ClearUnmuteNote() { m_bUnmutedByVolumeKey = false; }

private:
    std::function<void()> m_recreateOsd;
    CKeyPreprocessor& m_keys;
    bool m_bUnmutedByVolumeKey = false;
};

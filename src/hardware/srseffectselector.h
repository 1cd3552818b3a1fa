// The SRS key: the first press opens the SRS toggle on the OSD with the
// driver's current effect, every further press while it is open steps to
// the next choice and applies it at once. Created by the main window on the
// first SRS key; the main window hands it every new OSD window.
#pragma once

#include <windows.h>

class CSystemInfo;

// The OSD window's SRS toggle, as the selector drives it.
class ISRSToggleOsd {
public:
    virtual ~ISRSToggleOsd() = default;
    virtual bool IsShown() = 0;
    virtual bool IsDestroyed() = 0;
    // Opens the toggle on the SRS state; 1 when it is drawn.
    virtual int InitSRSToggle(BYTE state) = 0;
    virtual void SetNextSRSmode() = 0;
    // 16, 32 or 255: the value of the current choice.
    virtual int GetSelectedSRSMode() = 0;
    virtual void ShowNoActivate() = 0;
};

// What the selector asks of the main window.
class ISRSSelectorOwner {
public:
    virtual ~ISRSSelectorOwner() = default;
    // Re-creates the OSD window; the new one arrives through SetHKIconWindow.
    virtual void InitHkWindow() = 0;
};

class CSRSEffectSelector {
public:
    CSRSEffectSelector(CSystemInfo& systemInfo, ISRSSelectorOwner& owner) : m_systemInfo(systemInfo), m_owner(owner) {}

    void SetHKIconWindow(ISRSToggleOsd* osd) { m_pHKIconWindow = osd; }
    // 1 when the toggle was opened or stepped.
    int SelectSRSEffect();
    // The OSD ends the selection when it hides.
    void ClearOsdPending() { m_bOsdPending = false; }
    bool OsdPending() const { return m_bOsdPending; }

private:
    int Select();

    CSystemInfo& m_systemInfo;
    ISRSSelectorOwner& m_owner;
    ISRSToggleOsd* m_pHKIconWindow = nullptr;
    bool m_bOsdPending = false;
};

// The SRS key: the first press opens the SRS toggle on the OSD with the
// driver's current effect, every further press while it is open steps to
// the next choice and applies it at once. Created by the main window on the
// first SRS key, with the OSD window's owner.
#pragma once

#include <windows.h>

#include "common/osdwindowslot.h"

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

class CSRSEffectSelector {
public:
    CSRSEffectSelector(CSystemInfo& systemInfo, IOsdWindowSlot<ISRSToggleOsd>& osd)
        : m_systemInfo(systemInfo), m_osd(osd) {}

    // 1 when the toggle was opened or stepped.
    int SelectSRSEffect();
    // The OSD ends the selection when it hides.
    void ClearOsdPending() { m_bOsdPending = false; }
    bool OsdPending() const { return m_bOsdPending; }

private:
    int Select();

    CSystemInfo& m_systemInfo;
    IOsdWindowSlot<ISRSToggleOsd>& m_osd;
    bool m_bOsdPending = false;
};

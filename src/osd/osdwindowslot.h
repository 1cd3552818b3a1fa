// The one owner of the OSD window that users ask for: it keeps the window
// now and the one made ahead (hidden and unused, so that a key only has to
// draw and show it), and answers every user with a window that can be shown,
// made new when the one now is hidden or gone. It also keeps the two image
// strips every window draws from, and answers the routing's questions about
// the window now.
#pragma once

#include <memory>

#include "common/osdwindowslot.h"
#include "osd/framestrip.h"
#include "osd/hkiconwindowdlg.h"
#include "osd/osdcontrol.h"
#include "osd/osdpartners.h"

namespace osd {

// Where the slot asks for the window made ahead to be made later, once the
// messages of the window just gone are through (PrepareNext).
class IMakeAheadScheduler {
public:
    virtual ~IMakeAheadScheduler() = default;
    virtual void ScheduleMakeAhead() = 0;
};

class COsdWindowSlot : public IOsdWindowSlot<CHKIconWindowDlg>,
                       public IOsdWindowSlot<IHotkeyOsd>,
                       public IOsdWindowSlot<IDisplaySwitchOsd>,
                       public IOsdWindowSlot<ISRSToggleOsd>,
                       public IOsdWindowSlot<IResolutionToggleOsd>,
                       public IOsdControl,
                       private IOsdWindowGone {
public:
    // Every window it makes reports to `partners`.
    COsdWindowSlot(IOsdPartners& partners, IMakeAheadScheduler& scheduler)
        : m_partners(partners), m_scheduler(scheduler) {}
    ~COsdWindowSlot() override;
    COsdWindowSlot(const COsdWindowSlot&) = delete;
    COsdWindowSlot& operator=(const COsdWindowSlot&) = delete;

    // Decodes the two image strips the windows share.
    void LoadStrips();
    // Releases them (the windows then draw nothing from them).
    void ReleaseStrips();
    // Makes the next window while no window lives.
    void PrepareNext();
    // Destroys both windows; none is made ahead afterwards.
    void Release();

    CHKIconWindowDlg* CurrentWindow() override { return m_pCurrent.get(); }
    CHKIconWindowDlg* ShowableWindow() override;
    CHKIconWindowDlg* NewWindow() override;
    // The window the next NewWindow takes; null while none is ready.
    CHKIconWindowDlg* NextWindow() const { return m_pNext.get(); }

    // The routing's side.
    bool OsdAlive() override;
    void HideOsd() override;
    osd::OsdMode OsdMode() override;
    void SetOsdMode(osd::OsdMode mode) override;
    void ClearOsdSelection() override;
    void SendOsdSelectionTimer() override;

private:
    std::unique_ptr<CHKIconWindowDlg> MakeWindow();
    void OsdWindowGone() override;

    IOsdPartners& m_partners;
    IMakeAheadScheduler& m_scheduler;
    std::unique_ptr<CFrameStrip> m_pIconStrip;
    std::unique_ptr<CFrameStrip> m_pLevelStrip;
    std::unique_ptr<CHKIconWindowDlg> m_pCurrent;
    std::unique_ptr<CHKIconWindowDlg> m_pNext;
    bool m_bReleased = false;
};

}  // namespace osd

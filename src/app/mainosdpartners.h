// The OSD window's partners as the main window owns them: the display
// changer, the four toggle selectors, the notice window and the main
// window's own mute note. Each answers "absent" until its owner is built and
// connected here.
#pragma once

#include <functional>

#include "osd/osdpartners.h"

class CMainHotkeyOwner;
class CDisplayChanger;
class CMainSelectors;
class CSRSEffectSelector;
namespace osd {
class CResolutionSelector;
class CWirelessSelector;
class CRFSelector;
}  // namespace osd

class CMainOsdPartners : public osd::IOsdPartners {
public:
    // Keeper of the note that a volume key unmuted.
    void SetMuteNoteOwner(CMainHotkeyOwner* owner) { m_pMuteNoteOwner = owner; }
    void SetDisplayChanger(CDisplayChanger* changer) { m_pDisplayChanger = changer; }
    // The toggle selectors.
    void SetSelectors(CMainSelectors* selectors) { m_pSelectors = selectors; }
    // Told when an OSD window has been destroyed; none: nobody is told.
    void SetWindowDestroyedHandler(std::function<void()> handler) { m_windowDestroyed = std::move(handler); }

    bool Exists(osd::SelectionOwner owner) override;
    bool Pending(osd::SelectionOwner owner) override;
    void ClearPending(osd::SelectionOwner owner) override;
    void ApplySelection(osd::SelectionOwner owner) override;
    osd::IDisplaySwitchOwner* DisplaySwitchOwner() override;
    void HideMessageWindow() override;
    void ClearDispatcherMuteNote() override;
    void WindowDestroyed() override {
        if (m_windowDestroyed) m_windowDestroyed();
    }

private:
    CSRSEffectSelector* Srs() const;
    osd::CResolutionSelector* Resolution() const;
    osd::CWirelessSelector* Wireless() const;
    osd::CRFSelector* Rf() const;

    CMainHotkeyOwner* m_pMuteNoteOwner = nullptr;
    CDisplayChanger* m_pDisplayChanger = nullptr;
    CMainSelectors* m_pSelectors = nullptr;
    std::function<void()> m_windowDestroyed;
};

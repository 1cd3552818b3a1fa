// The main window's toggle selectors, each created on first use and handed
// every new OSD window. The SRS effect selector is served here; the others
// still go to the subsystems not built yet.
#pragma once

#include <functional>
#include <memory>

#include "app/windowports.h"
#include "hardware/srseffectselector.h"

class CSystemInfo;
class CHKIconWindowDlg;

class CMainSelectors : public ISelectors, public IOsdWindowUsers, private ISRSToggleOsd, private ISRSSelectorOwner {
public:
    // `unbuilt` answers the selectors not built yet and takes the OSD window
    // too; `initHkWindow` re-creates the OSD window.
    CMainSelectors(ISelectors& unbuilt, IOsdWindowUsers& otherUsers, std::function<void()> initHkWindow);
    ~CMainSelectors() override;

    void SetSystemInfo(CSystemInfo* systemInfo) { m_pSystemInfo = systemInfo; }
    void SetOsdWindow(CHKIconWindowDlg* window) override;
    // Deletes the selectors (the main window's tear-down).
    void Release();

    CSRSEffectSelector* SrsSelector() const { return m_pSrsSelector.get(); }
    // The SRS effect of the OSD's current choice takes effect.
    void ApplySrsSelection();

    int SelectSRSEffect() override;
    int SelectResolution() override { return m_unbuilt.SelectResolution(); }
    int SelectWirelessDeviceStatus(int twoChoice) override { return m_unbuilt.SelectWirelessDeviceStatus(twoChoice); }
    int SelectRFStatus() override { return m_unbuilt.SelectRFStatus(); }
    bool HasResolutionSelector() override { return m_unbuilt.HasResolutionSelector(); }
    void RenewResolutionSelector() override { m_unbuilt.RenewResolutionSelector(); }
    int WaResetResolutionBeforeS3S4() override { return m_unbuilt.WaResetResolutionBeforeS3S4(); }
    int CanRotate() override { return m_unbuilt.CanRotate(); }
    void ClearResolutionSelectorPending() override { m_unbuilt.ClearResolutionSelectorPending(); }
    void ClearWirelessSelectorPending() override { m_unbuilt.ClearWirelessSelectorPending(); }

private:
    // The OSD window's SRS toggle, for the SRS selector.
    bool IsShown() override;
    bool IsDestroyed() override;
    int InitSRSToggle(BYTE state) override;
    void SetNextSRSmode() override;
    int GetSelectedSRSMode() override;
    void ShowNoActivate() override;
    void InitHkWindow() override { m_initHkWindow(); }

    ISelectors& m_unbuilt;
    IOsdWindowUsers& m_otherUsers;
    std::function<void()> m_initHkWindow;
    CSystemInfo* m_pSystemInfo = nullptr;
    CHKIconWindowDlg* m_pWindow = nullptr;
    std::unique_ptr<CSRSEffectSelector> m_pSrsSelector;
};

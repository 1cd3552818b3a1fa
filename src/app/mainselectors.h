// The main window's toggle selectors, each created on first use and handed
// every new OSD window. The SRS effect, wireless and RF selectors are served
// here; the resolution selector still goes to the subsystems not built yet.
#pragma once

#include <functional>
#include <memory>

#include "app/windowports.h"
#include "hardware/srseffectselector.h"
#include "osd/rfselector.h"
#include "osd/selectorports.h"
#include "osd/wirelessselector.h"

class CSystemInfo;
class CHKIconWindowDlg;

class CMainSelectors : public ISelectors,
                       public IOsdWindowUsers,
                       private ISRSToggleOsd,
                       private ISRSSelectorOwner,
                       private osd::IRadioFirmware,
                       private osd::ISelectorOwner {
public:
    // `unbuilt` answers the selectors not built yet and takes the OSD window
    // too; `initHkWindow` re-creates the OSD window.
    CMainSelectors(IResolutionSelection& unbuilt, IOsdWindowUsers& otherUsers, std::function<void()> initHkWindow);
    ~CMainSelectors() override;

    void SetSystemInfo(CSystemInfo* systemInfo) { m_pSystemInfo = systemInfo; }
    void SetOsdWindow(CHKIconWindowDlg* window) override;
    // Deletes the selectors (the main window's tear-down).
    void Release();

    CSRSEffectSelector* SrsSelector() const { return m_pSrsSelector.get(); }
    // The SRS effect of the OSD's current choice takes effect.
    void ApplySrsSelection();
    osd::CWirelessSelector* WirelessSelector() const { return m_pWirelessSelector.get(); }
    osd::CRFSelector* RfSelector() const { return m_pRfSelector.get(); }

    int SelectSRSEffect() override;
    int SelectResolution() override { return m_unbuilt.SelectResolution(); }
    int SelectWirelessDeviceStatus(int twoChoice) override;
    int SelectRFStatus() override;
    bool HasResolutionSelector() override { return m_unbuilt.HasResolutionSelector(); }
    void RenewResolutionSelector() override { m_unbuilt.RenewResolutionSelector(); }
    int WaResetResolutionBeforeS3S4() override { return m_unbuilt.WaResetResolutionBeforeS3S4(); }
    int CanRotate() override { return m_unbuilt.CanRotate(); }
    void ClearResolutionSelectorPending() override { m_unbuilt.ClearResolutionSelectorPending(); }
    void ClearWirelessSelectorPending() override;

private:
    // The OSD window's SRS toggle, for the SRS selector.
    bool IsShown() override;
    bool IsDestroyed() override;
    int InitSRSToggle(BYTE state) override;
    void SetNextSRSmode() override;
    int GetSelectedSRSMode() override;
    void ShowNoActivate() override;
    void InitHkWindow() override { m_initHkWindow(); }
    // The radios of the system information, for the wireless and RF selectors.
    int GetWirelessStatus2(BYTE state[2]) override;
    int SetWirelessStatus2(const BYTE state[2]) override;
    int GetRFOnOffStatus(BYTE status[3]) override;

    IResolutionSelection& m_unbuilt;
    IOsdWindowUsers& m_otherUsers;
    std::function<void()> m_initHkWindow;
    CSystemInfo* m_pSystemInfo = nullptr;
    CHKIconWindowDlg* m_pWindow = nullptr;
    std::unique_ptr<CSRSEffectSelector> m_pSrsSelector;
    std::unique_ptr<osd::CWirelessSelector> m_pWirelessSelector;
    std::unique_ptr<osd::CRFSelector> m_pRfSelector;
};

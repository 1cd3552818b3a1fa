// The main window's toggle selectors, each created on first use and handed
// every new OSD window: the SRS effect, resolution, wireless and RF selectors.
#pragma once

#include <functional>
#include <memory>

#include "app/windowports.h"
#include "hardware/srseffectselector.h"
#include "osd/resolutionselector.h"
#include "osd/rfselector.h"
#include "osd/selectorports.h"
#include "osd/wirelessselector.h"

class CSystemInfo;
class CHKIconWindowDlg;

class CMainSelectors : public ISelectors,
                       public IOsdWindowUsers,
                       private ISRSToggleOsd,
                       private ISRSSelectorOwner,
                       private osd::IResolutionToggleOsd,
                       private osd::IResolutionSelectorOwner,
                       private osd::IRadioFirmware,
                       private osd::ISelectorOwner {
public:
    // `otherUsers` takes the OSD window too; `initHkWindow` re-creates it.
    CMainSelectors(IOsdWindowUsers& otherUsers, std::function<void()> initHkWindow);
    ~CMainSelectors() override;

    void SetSystemInfo(CSystemInfo* systemInfo) { m_pSystemInfo = systemInfo; }
    // The resolution selector's display side, and the window its notice goes to.
    void SetResolutionDisplay(osd::IResolutionDisplay* display, HWND mainWindow) {
        m_pResolutionDisplay = display;
        m_hMainWindow = mainWindow;
    }
    void SetOsdWindow(CHKIconWindowDlg* window) override;
    // The main window's tear-down deletes the radio selectors first and the
    // SRS and resolution selectors after the system information.
    void ReleaseRadioSelectors();
    void ReleaseDisplaySelectors();

    CSRSEffectSelector* SrsSelector() const { return m_pSrsSelector.get(); }
    // The SRS effect of the OSD's current choice takes effect.
    void ApplySrsSelection();
    osd::CResolutionSelector* ResolutionSelector() const { return m_pResolutionSelector.get(); }
    // The resolution of the OSD's current choice is set.
    void ApplyResolutionSelection();
    osd::CWirelessSelector* WirelessSelector() const { return m_pWirelessSelector.get(); }
    osd::CRFSelector* RfSelector() const { return m_pRfSelector.get(); }

    int SelectSRSEffect() override;
    int SelectResolution() override;
    int SelectWirelessDeviceStatus(int twoChoice) override;
    int SelectRFStatus() override;
    bool HasResolutionSelector() override { return m_pResolutionSelector != nullptr; }
    void RenewResolutionSelector() override;
    int WaResetResolutionBeforeS3S4() override;
    int CanRotate() override;
    void ClearResolutionSelectorPending() override;
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
    // The OSD window's resolution toggle, for the resolution selector.
    int InitASToggle(int choice) override;
    int SetNextAutoScalerMode() override;
    int GetSelectedAutoScalerMode() override;
    void PostRotationNotice() override;
    osd::CResolutionSelector* MakeResolutionSelector();
    void HandResolutionSelectorTheWindow();
    // The radios of the system information, for the wireless and RF selectors.
    int GetWirelessStatus2(BYTE state[2]) override;
    int SetWirelessStatus2(const BYTE state[2]) override;
    int GetRFOnOffStatus(BYTE status[3]) override;

    IOsdWindowUsers& m_otherUsers;
    std::function<void()> m_initHkWindow;
    CSystemInfo* m_pSystemInfo = nullptr;
    CHKIconWindowDlg* m_pWindow = nullptr;
    std::unique_ptr<CSRSEffectSelector> m_pSrsSelector;
    osd::IResolutionDisplay* m_pResolutionDisplay = nullptr;
    HWND m_hMainWindow = nullptr;
    std::unique_ptr<osd::CResolutionSelector> m_pResolutionSelector;
    std::unique_ptr<osd::CWirelessSelector> m_pWirelessSelector;
    std::unique_ptr<osd::CRFSelector> m_pRfSelector;
};

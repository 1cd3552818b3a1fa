// The main window's toggle selectors, each created on first use with the
// OSD window's owner: the SRS effect, resolution, wireless and RF selectors.
#pragma once

#include <memory>

#include "app/windowports.h"
#include "hardware/srseffectselector.h"
#include "osd/osdpartners.h"
#include "osd/osdwindowslot.h"
#include "osd/resolutionselector.h"
#include "osd/rfselector.h"
#include "osd/selectorports.h"
#include "osd/wirelessselector.h"

class CSystemInfo;

class CMainSelectors : public ISelectors, private osd::IResolutionSelectorOwner, private osd::IRadioFirmware {
public:
    explicit CMainSelectors(osd::COsdWindowSlot& osd);
    ~CMainSelectors() override;

    void SetSystemInfo(CSystemInfo* systemInfo) { m_pSystemInfo = systemInfo; }
    // The resolution selector's display side, and the window its notice goes to.
    void SetResolutionDisplay(osd::IResolutionDisplay* display, HWND mainWindow) {
        m_pResolutionDisplay = display;
        m_hMainWindow = mainWindow;
    }
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

    // The selections of the four selectors as the OSD window asks about
    // them; the display changer's is not one of them (false, nothing done).
    bool Exists(osd::SelectionOwner owner) const;
    bool Pending(osd::SelectionOwner owner) const;
    void ClearPending(osd::SelectionOwner owner);
    // The SRS, resolution and wireless selectors take the OSD's choice.
    void ApplySelection(osd::SelectionOwner owner);

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
    void PostRotationNotice() override;
    osd::CResolutionSelector* MakeResolutionSelector();
    // The radios of the system information, for the wireless and RF selectors.
    int GetWirelessStatus2(BYTE state[2]) override;
    int SetWirelessStatus2(const BYTE state[2]) override;
    int GetRFOnOffStatus(BYTE status[3]) override;

    osd::COsdWindowSlot& m_osd;
    CSystemInfo* m_pSystemInfo = nullptr;
    std::unique_ptr<CSRSEffectSelector> m_pSrsSelector;
    osd::IResolutionDisplay* m_pResolutionDisplay = nullptr;
    HWND m_hMainWindow = nullptr;
    std::unique_ptr<osd::CResolutionSelector> m_pResolutionSelector;
    std::unique_ptr<osd::CWirelessSelector> m_pWirelessSelector;
    std::unique_ptr<osd::CRFSelector> m_pRfSelector;
};

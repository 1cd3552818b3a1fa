// Ports to the program's other windows: the OSD window (served by its owner,
// osd/osdwindowslot.h), the toggle selectors, the notice and Num Lock windows
// and the magnifier; those not built yet are answered in unbuiltsubsystems.h.
// Tests put recording fakes here.
#pragma once

#include <windows.h>

#include <string>

#include "osd/osdcontrol.h"
#include "osd/osdmode.h"

// The toggle selectors, each created on first use.
class ISelectors {
public:
    virtual ~ISelectors() = default;
    virtual int SelectSRSEffect() = 0;
    virtual int SelectResolution() = 0;
    // `twoChoice` binds the wireless selector when this call creates it.
    virtual int SelectWirelessDeviceStatus(int twoChoice) = 0;
    // RF selector: show the state of the radios.
    virtual int SelectRFStatus() = 0;
    virtual bool HasResolutionSelector() = 0;
    virtual void RenewResolutionSelector() = 0;
    virtual int WaResetResolutionBeforeS3S4() = 0;
    virtual int CanRotate() = 0;
    virtual void ClearResolutionSelectorPending() = 0;
    virtual void ClearWirelessSelectorPending() = 0;
};

// The notice window (message picture) and the Num Lock window.
class INoticeWindows {
public:
    virtual ~INoticeWindows() = default;
    virtual bool HasMessageWindow() = 0;
    virtual void SetMessagePictureName(const std::wstring& name) = 0;
    virtual int LoadMsgImage() = 0;
    virtual void ShowMessageWindow() = 0;  // without activation
    virtual void HideMessageWindow() = 0;
    virtual bool HasNumLockWindow() = 0;
    virtual bool CreateNumLockWindow() = 0;  // from template 265
    virtual void ShowNumLockWindow() = 0;    // without activation
    virtual void DestroyNumLockWindow() = 0;  // hide and destroy
};

class IMagnifier {
public:
    virtual ~IMagnifier() = default;
    virtual bool MagnifierShown() = 0;
    virtual void HideMagnifier() = 0;
};

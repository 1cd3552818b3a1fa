// Ports to the program's other windows: the OSD window, the toggle selectors,
// the notice and Num Lock windows and the magnifier. The OSD window is
// connected in mainosdcontrol.h; the others are answered in
// unbuiltsubsystems.h until they are built. Tests put recording fakes here.
#pragma once

#include <windows.h>

#include <string>

#include "osd/osdmode.h"

class CHKIconWindowDlg;

// The OSD window's users besides the dispatcher: the display changer and the
// toggle selectors. Each is handed the new window whenever it is re-created.
class IOsdWindowUsers {
public:
    virtual ~IOsdWindowUsers() = default;
    virtual void SetOsdWindow(CHKIconWindowDlg* window) = 0;
};

// The OSD window as the routing and the key handling drive it.
class IOsdControl {
public:
    virtual ~IOsdControl() = default;
    // Exists, has not been destroyed and its window is alive.
    virtual bool OsdAlive() = 0;
    virtual void HideOsd() = 0;
    virtual osd::OsdMode OsdMode() = 0;
    virtual void SetOsdMode(osd::OsdMode mode) = 0;
    virtual void ClearOsdSelection() = 0;
    // Sends the selection timer's message: the pending selection is applied now.
    virtual void SendOsdSelectionTimer() = 0;
};

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

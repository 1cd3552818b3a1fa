// The answers of the subsystems that are not part of the program yet: the
// notice and Num Lock windows, the magnifier, the menu status and the network switches. Each operation leaves
// a trace line "call <operation> <arguments>" where its road must be
// followed, and answers "absent" or a neutral value. An operation leaves this
// class when its owner is built and connected by the main window.
#pragma once

#include "app/displayports.h"
#include "app/systemports.h"
#include "app/windowports.h"

class CUnbuiltSubsystems : public INoticeWindows,
                           public IMagnifier,
                           public IMenuRequests,
                           public INetworkSwitches {
public:
    // Notice window, Num Lock window, magnifier.
    bool HasMessageWindow() override { return false; }
    void SetMessagePictureName(const std::wstring& name) override {}
    int LoadMsgImage() override { return 0; }
    void ShowMessageWindow() override {}
    void HideMessageWindow() override;
    bool HasNumLockWindow() override { return false; }
    bool CreateNumLockWindow() override;
    void ShowNumLockWindow() override {}
    void DestroyNumLockWindow() override {}
    bool MagnifierShown() override { return false; }
    void HideMagnifier() override {}

    // Menu status and network switches.
    int DispatchMenuRequest(int code, LPARAM argument) override;
    void ShowWiredLANOnOffIcon() override;
    void ToggleFamily10Wireless() override;
};

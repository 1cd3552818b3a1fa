// The display changer's real factory: the graphics drivers this build has
// (Intel), the Windows 7 display configuration on the system's user32, the
// display profile store on the system's WMI.
#pragma once

#include <windows.h>

#include "display/displaychangerports.h"

class CSystemDisplayComponents : public IDisplayComponents {
public:
    // `mainWindow` receives the drivers' notes after a switch.
    explicit CSystemDisplayComponents(HWND mainWindow = nullptr) : m_hMainWindow(mainWindow) {}
    void SetMainWindow(HWND window) { m_hMainWindow = window; }

    std::unique_ptr<CVGA> CreateDriver(DriverKind kind) override;
    std::unique_ptr<IWin7DisplaySwitch> CreateWin7Component() override;
    std::unique_ptr<CDisplayProfile> CreateProfileStore() override;
    std::unique_ptr<IVistaTopology> CreateVistaTopology() override;
    WORD NativeProcessorArchitecture() override;

private:
    HWND m_hMainWindow;
};

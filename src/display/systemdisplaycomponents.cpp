#include "display/systemdisplaycomponents.h"

#include "display/drivers/intel.h"
#include "display/win7displayswitch.h"
#include "profiles/displayprofile.h"

std::unique_ptr<CVGA> CSystemDisplayComponents::CreateDriver(DriverKind kind) {
    switch (kind) {
    case DriverKind::Intel:
        return std::make_unique<CIntel>(m_hMainWindow);
    default:
        return nullptr;  // the NVIDIA, ATI and VIA drivers are not part of this build
    }
}

std::unique_ptr<IWin7DisplaySwitch> CSystemDisplayComponents::CreateWin7Component() {
    return std::make_unique<CWin7DisplaySwitch>();
}

std::unique_ptr<CDisplayProfile> CSystemDisplayComponents::CreateProfileStore() {
    return std::make_unique<CDisplayProfile>();
}

std::unique_ptr<IVistaTopology> CSystemDisplayComponents::CreateVistaTopology() { return nullptr; }

WORD CSystemDisplayComponents::NativeProcessorArchitecture() {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture;
}

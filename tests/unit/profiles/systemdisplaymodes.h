// The first display's modes as the system reports them (EnumDisplaySettingsW
// on the primary display), for the tests that run the store on the real
// platform. The program gets these from the graphics adapter interface.
#pragma once

#include "profiles/profileports.h"

namespace profiletest {

class SystemDisplayModes : public profiles::IProfileDisplayModes {
public:
    bool CurrentMode(profiles::DisplayMode* mode) override;
    bool LargestResolution(SIZE* size) override;
    // Every resolution the first display lists.
    bool ListResolutions(std::vector<SIZE>* sizes);
};

}  // namespace profiletest

#include "systemdisplaymodes.h"

#include <algorithm>

namespace profiletest {

bool SystemDisplayModes::CurrentMode(profiles::DisplayMode* mode) {
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm)) return false;
    *mode = {static_cast<int>(dm.dmPelsWidth), static_cast<int>(dm.dmPelsHeight), static_cast<int>(dm.dmBitsPerPel),
             static_cast<int>(dm.dmDisplayFrequency), static_cast<int>(dm.dmDisplayOrientation)};
    return true;
}

bool SystemDisplayModes::ListResolutions(std::vector<SIZE>* sizes) {
    std::vector<SIZE> found;
    DEVMODEW dm{};
    dm.dmSize = sizeof dm;
    for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &dm); ++i) {
        const SIZE size{static_cast<LONG>(dm.dmPelsWidth), static_cast<LONG>(dm.dmPelsHeight)};
        if (std::none_of(found.begin(), found.end(),
                         [&](const SIZE& s) { return s.cx == size.cx && s.cy == size.cy; })) {
            found.push_back(size);
        }
        dm = {};
        dm.dmSize = sizeof dm;
    }
    *sizes = std::move(found);
    return !sizes->empty();
}

bool SystemDisplayModes::LargestResolution(SIZE* size) {
    std::vector<SIZE> sizes;
    if (!ListResolutions(&sizes)) return false;
    *size = *std::max_element(sizes.begin(), sizes.end(),
                              [](const SIZE& a, const SIZE& b) { return a.cx * a.cy < b.cx * b.cy; });
    return true;
}

}  // namespace profiletest

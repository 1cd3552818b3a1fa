#include "intelgfxdesktop.h"

#include <utility>

namespace vqsim::graphics {

namespace {

constexpr wchar_t kFirstDisplay[] = L"\\\\.\\DISPLAY1";
constexpr wchar_t kSecondDisplay[] = L"\\\\.\\DISPLAY2";

bool CurrentMode(const wchar_t* device, DEVMODEW* mode) {
    *mode = {};
    mode->dmSize = sizeof *mode;
    return EnumDisplaySettingsW(device, ENUM_CURRENT_SETTINGS, mode) != FALSE;
}

bool IsAttached(const wchar_t* device) {
    DISPLAY_DEVICEW info{};
    info.cb = sizeof info;
    for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &info, 0); ++index) {
        if (_wcsicmp(info.DeviceName, device) == 0) return (info.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
        info = {};
        info.cb = sizeof info;
    }
    return false;
}

// A change stored first and then applied for all displays at once, as the
// system expects for attaching and detaching.
LONG StoreAndApply(const wchar_t* device, DEVMODEW* mode) {
    const LONG stored = ChangeDisplaySettingsExW(device, mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
    if (stored != DISP_CHANGE_SUCCESSFUL) return stored;
    return ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
}

DesktopOutcome Detach() {
    if (!IsAttached(kSecondDisplay)) return {DISP_CHANGE_SUCCESSFUL, L"single"};
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = StoreAndApply(kSecondDisplay, &mode);
    if (result == DISP_CHANGE_SUCCESSFUL) return {result, L"single"};
    return {result, L"single, not shown: detach of \\\\.\\DISPLAY2 returned " + std::to_wstring(result)};
}

DesktopOutcome Attach(DesktopLayout layout) {
    const wchar_t* name = layout == DesktopLayout::Clone ? L"clone" : L"extended";
    DEVMODEW first{};
    if (!CurrentMode(kFirstDisplay, &first)) {
        return {DISP_CHANGE_FAILED, std::wstring(name) + L", not shown: no current mode of \\\\.\\DISPLAY1"};
    }
    // Start from the second display's own settings where it has them: a
    // record with the position alone moves nothing.
    DEVMODEW second{};
    if (!CurrentMode(kSecondDisplay, &second) || second.dmPelsWidth == 0) {
        second = {};
        second.dmSize = sizeof second;
    }
    second.dmPelsWidth = first.dmPelsWidth;
    second.dmPelsHeight = first.dmPelsHeight;
    second.dmPosition.x = first.dmPosition.x + (layout == DesktopLayout::Clone ? 0 : static_cast<LONG>(first.dmPelsWidth));
    second.dmPosition.y = first.dmPosition.y;
    second.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = StoreAndApply(kSecondDisplay, &second);
    if (result != DISP_CHANGE_SUCCESSFUL) {
        return {result, std::wstring(name) + L", not shown: attach of \\\\.\\DISPLAY2 returned " + std::to_wstring(result)};
    }
    return {result, std::wstring(name) + L" at " + std::to_wstring(second.dmPosition.x) + L"," +
                        std::to_wstring(second.dmPosition.y)};
}

}  // namespace

DesktopOutcome TurnDisplay(const wchar_t* device, DWORD orientation) {
    DEVMODEW mode{};
    if (!CurrentMode(device, &mode)) {
        return {DISP_CHANGE_FAILED, std::wstring(L"not turned: no current mode of ") + device};
    }
    const std::wstring turned = std::wstring(device) + L" at " + std::to_wstring(orientation * 90);
    if (mode.dmDisplayOrientation == orientation) return {DISP_CHANGE_SUCCESSFUL, turned};
    // A quarter turn swaps the sides of the picture.
    if ((mode.dmDisplayOrientation + orientation) % 2 != 0) std::swap(mode.dmPelsWidth, mode.dmPelsHeight);
    mode.dmDisplayOrientation = orientation;
    mode.dmFields = DM_DISPLAYORIENTATION | DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ChangeDisplaySettingsExW(device, &mode, nullptr, 0, nullptr);
    if (result == DISP_CHANGE_SUCCESSFUL) return {result, turned};
    return {result, turned + L", not shown: the orientation change returned " + std::to_wstring(result)};
}

DesktopOutcome ShowLayout(DesktopLayout layout) {
    return layout == DesktopLayout::Single ? Detach() : Attach(layout);
}

}  // namespace vqsim::graphics

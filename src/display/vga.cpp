#include "display/vga.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <utility>

#include "common/commondefine.h"

namespace {
// The orientation flag the Ex forms always send (the value stays 0).
constexpr DWORD kOrientationField = 0x1;
// Field set of the widened second attempt: orientation, position, depth, size, frequency.
constexpr DWORD kWidenedExFields = kOrientationField | DM_POSITION | DM_BITSPERPEL | DM_PELSWIDTH |
                                   DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
static_assert(kWidenedExFields == 0x5C0021);
constexpr DWORD kWidenedPrimaryFields = DM_PELSWIDTH | DM_PELSHEIGHT;
static_assert(kWidenedPrimaryFields == 0x180000);
// Field set of attaching and detaching the second display.
constexpr DWORD kAttachFields = DM_POSITION | DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
static_assert(kAttachFields == 0x5C0020);
constexpr DWORD kStoreWithoutApplying = CDS_UPDATEREGISTRY | CDS_NORESET;
static_assert(kStoreWithoutApplying == 0x10000001);

constexpr int kListedDepth = 32;
constexpr int kFallbackDepth = 16;
constexpr int kFallbackWidth = 1024;
constexpr int kFallbackHeight = 768;

struct DisplayNames {
    wchar_t first[displaynames::kMaxChars + 1] = {};
    wchar_t second[displaynames::kMaxChars + 1] = {};
    int refresh = 0;
};
DisplayNames g_names;

void SetName(wchar_t* target, const wchar_t* name) {
    wcsncpy(target, name, displaynames::kMaxChars);
    target[displaynames::kMaxChars] = 0;
}

// Copies a name that the system reported; false (target emptied) when it does not fit.
bool CopyReportedName(wchar_t* target, const wchar_t* name, size_t capacity) {
    const size_t length = wcsnlen(name, capacity);
    if (length == 0 || length > displaynames::kMaxChars) {
        target[0] = 0;
        return false;
    }
    wmemcpy(target, name, length);
    target[length] = 0;
    return true;
}

DEVMODEW FreshRecord() {
    DEVMODEW record{};
    record.dmSize = sizeof record;
    return record;
}

DISPLAY_DEVICEW FreshDevice() {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    return device;
}

int OrientationIndex(int angle, int windowsDirection) {
    switch (angle) {
        case 0: return DMDO_DEFAULT;
        case 90: return windowsDirection ? DMDO_90 : DMDO_270;
        case 180: return DMDO_180;
        case 270: return windowsDirection ? DMDO_270 : DMDO_90;
        default: return -1;
    }
}
}  // namespace

namespace displaydevice {
const wchar_t* Label(int deviceBit) {
    switch (deviceBit) {
        case kPanel: return L"LCD ";
        case kCrt: return L"CRT ";
        case kTv: return L"TV ";
        case kHdmi:
        case kSecondHdmi: return L"HDMI ";
        case kWirelessDisplay: return L"WiDi ";
        default: return L"";
    }
}
}  // namespace displaydevice

namespace displaynames {
const wchar_t* First() { return g_names.first; }
const wchar_t* Second() { return g_names.second; }
int RefreshFlag() { return g_names.refresh; }
void SetRefreshFlag(int refresh) { g_names.refresh = refresh; }
void Reset() { g_names = DisplayNames{}; }
}  // namespace displaynames

bool CModeSetting::ReadCurrent(const wchar_t* device, DEVMODEW* mode) {
    *mode = FreshRecord();
    return m_display.EnumDisplaySettings(device, ENUM_CURRENT_SETTINGS, mode) != FALSE;
}

void CModeSetting::ResolveDisplayDeviceNames() {
    if (g_names.first[0] && g_names.refresh != 1) return;
    static constexpr std::pair<const wchar_t*, const wchar_t*> kCandidates[] = {
        {L"\\\\.\\DISPLAY1", L"\\\\.\\DISPLAY2"},
        {L"\\\\.\\DISPLAY3", L"\\\\.\\DISPLAY4"},
        {L"\\\\.\\DISPLAY5", L"\\\\.\\DISPLAY6"},
    };
    DEVMODEW mode{};
    for (const auto& [first, second] : kCandidates) {
        if (ReadCurrent(first, &mode)) {
            SetName(g_names.first, first);
            SetName(g_names.second, second);
            return;
        }
    }
    // None of the usual names: the devices the enumeration lists third and fourth.
    wchar_t* const targets[] = {g_names.first, g_names.second};
    bool complete = true;
    for (DWORD index = 2; index <= 3; ++index) {
        DISPLAY_DEVICEW device = FreshDevice();
        wchar_t* target = targets[index - 2];
        if (!m_display.EnumDisplayDevices(nullptr, index, &device, 0)) {
            target[0] = 0;
            complete = false;
            continue;
        }
        complete = CopyReportedName(target, device.DeviceName, sizeof device.DeviceName / sizeof(wchar_t)) &&
                   complete;
    }
    if (!complete) ReportError(L"fail: ResolveDisplayDeviceNames()");
}

int CModeSetting::GetCurrentDisplayMode(int second, DEVMODEW* mode) {
    if (!mode) return 0;
    ResolveDisplayDeviceNames();
    return ReadCurrent(second ? g_names.second : g_names.first, mode) ? 1 : 0;
}

int CModeSetting::ChangePrimaryDisplaySettings(int width, int height, int bitsPerPixel, int frequency) {
    return ChangeDisplaySettingsLadder(ChangeForm::Primary, width, height, bitsPerPixel, frequency, nullptr);
}

int CModeSetting::ChangeFirstDisplaySettings(int width, int height, int bitsPerPixel, int frequency,
                                             const POINTL* position) {
    return ChangeDisplaySettingsLadder(ChangeForm::First, width, height, bitsPerPixel, frequency, position);
}

int CModeSetting::ChangeSecondDisplaySettings(int width, int height, int bitsPerPixel, int frequency,
                                              const POINTL* position) {
    return ChangeDisplaySettingsLadder(ChangeForm::Second, width, height, bitsPerPixel, frequency, position);
}

int CModeSetting::ChangeDisplaySettingsLadder(ChangeForm form, int width, int height, int bitsPerPixel,
                                              int frequency, const POINTL* position) {
    const bool ex = form != ChangeForm::Primary;
    DEVMODEW current{};
    const bool known = GetCurrentDisplayMode(form == ChangeForm::Second, &current) != 0;
    const int currentWidth = static_cast<int>(current.dmPelsWidth);
    const int currentHeight = static_cast<int>(current.dmPelsHeight);
    const bool keepWidth = form == ChangeForm::Second && width == 0;
    const bool keepHeight = form == ChangeForm::Second && height == 0;
    if (keepWidth) width = currentWidth;
    if (keepHeight) height = currentHeight;

    const bool changes = width != currentWidth || height != currentHeight ||
                         (bitsPerPixel && bitsPerPixel != static_cast<int>(current.dmBitsPerPel)) ||
                         (frequency && frequency != static_cast<int>(current.dmDisplayFrequency)) ||
                         (ex && position &&
                          (position->x != current.dmPosition.x || position->y != current.dmPosition.y));
    if (!changes) return 1;

    DEVMODEW record = FreshRecord();
    int sendWidth = width;
    int sendHeight = height;
    // The request follows the display's present shape. Without a current
    // mode the shape is unknown and the request is sent as it came.
    if (known && !keepWidth && !keepHeight && width && height) {
        const bool landscape = currentHeight < currentWidth;
        sendWidth = landscape ? std::max(width, height) : std::min(width, height);
        sendHeight = landscape ? std::min(width, height) : std::max(width, height);
    }
    record.dmPelsWidth = static_cast<DWORD>(sendWidth);
    record.dmPelsHeight = static_cast<DWORD>(sendHeight);
    if (width != currentWidth) record.dmFields |= DM_PELSWIDTH;
    if (height != currentHeight) record.dmFields |= DM_PELSHEIGHT;
    if (bitsPerPixel) {
        record.dmFields |= DM_BITSPERPEL;
        record.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    }
    if (ex) {
        if (frequency) {
            record.dmFields |= DM_DISPLAYFREQUENCY;
            record.dmDisplayFrequency = static_cast<DWORD>(frequency);
        }
        if (position) {
            record.dmFields |= DM_POSITION;
            record.dmPosition = *position;
        }
        record.dmFields |= kOrientationField;
    }

    const wchar_t* device = form == ChangeForm::Second ? g_names.second : g_names.first;
    auto apply = [&] {
        return ex ? m_display.ChangeDisplaySettingsEx(device, &record, CDS_UPDATEREGISTRY)
                  : m_display.ChangeDisplaySettings(&record, CDS_UPDATEREGISTRY);
    };
    auto logFailure = [&](const wchar_t* format) {
        WriteLog(FormatText(format, static_cast<int>(record.dmPelsWidth), static_cast<int>(record.dmPelsHeight)));
    };

    // 1: as asked. The Ex forms take a refused mode (-2) as done.
    const LONG first = apply();
    if (first == DISP_CHANGE_SUCCESSFUL || (ex && first == DISP_CHANGE_BADMODE)) return 1;
    logFailure(ex ? L"ChangeDisplaySettingEx... 1st= %d, %d" : L"ChangeDisplaySetting... 1nd= %d, %d");

    // 2: the widened field set; a field is named only when it carries a value.
    if (ex) {
        record.dmFields = kOrientationField | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (position) record.dmFields |= DM_POSITION;
        if (bitsPerPixel) record.dmFields |= DM_BITSPERPEL;
        if (frequency) record.dmFields |= DM_DISPLAYFREQUENCY;
    } else {
        record.dmFields = kWidenedPrimaryFields;
    }
    if (apply() == DISP_CHANGE_SUCCESSFUL) return 1;
    if (ex) logFailure(L"ChangeDisplaySettingEx... 2nd= %d, %d");

    // 3: the other shape.
    std::swap(record.dmPelsWidth, record.dmPelsHeight);
    if (apply() == DISP_CHANGE_SUCCESSFUL) return 1;
    if (!ex) logFailure(L"ChangeDisplaySetting... 2nd= %d, %d");

    // 4: at 16 bits per pixel.
    if (bitsPerPixel) record.dmFields |= DM_BITSPERPEL;
    record.dmBitsPerPel = kFallbackDepth;
    if (apply() == DISP_CHANGE_SUCCESSFUL) return 1;

    ReportError(FormatText(L"Final ChangeDisplaySetting... 2nd= %d, %d", static_cast<int>(record.dmPelsWidth),
                           static_cast<int>(record.dmPelsHeight)));
    return 0;
}

int CModeSetting::MoveDisplay(int side) {
    DEVMODEW record{};
    GetCurrentDisplayMode(1, &record);
    record.dmFields = DM_POSITION;
    if (side == 1) {
        // Carries the fields the system reports for the current mode, position included.
        GetCurrentDisplayMode(1, &record);
        record.dmPosition.x = -static_cast<LONG>(record.dmPelsWidth);
    } else {
        record.dmPosition.x = m_display.GetSystemMetrics(SM_CXSCREEN) + 1;
    }
    record.dmPosition.y =
        m_display.GetSystemMetrics(SM_CYSCREEN) / 2 - static_cast<LONG>(record.dmPelsHeight) / 2;
    if (m_display.ChangeDisplaySettingsEx(g_names.second, &record, 0) != DISP_CHANGE_SUCCESSFUL) {
        ReportError(L"MoveDisplay... 1nd");
        return 0;
    }
    return 1;
}

int CModeSetting::CollectResolutions(const wchar_t* device, bool portrait, Resolution* list, int capacity) {
    int count = 0;
    DEVMODEW mode = FreshRecord();
    for (DWORD number = 0; count < capacity && m_display.EnumDisplaySettings(device, number, &mode); ++number) {
        const int width = static_cast<int>(mode.dmPelsWidth);
        const int height = static_cast<int>(mode.dmPelsHeight);
        const bool shapeFits = portrait ? (width >= 600 && height >= 800 && height > width)
                                        : (width >= 800 && height >= 600 && width > height);
        const bool repeatsLast = count > 0 && list[count - 1].width == width && list[count - 1].height == height;
        if (static_cast<int>(mode.dmBitsPerPel) == kListedDepth && shapeFits && !repeatsLast) {
            list[count++] = {width, height};
            Trace(FormatText(L"W:%d H:%d, Freq=%d\n", width, height, static_cast<int>(mode.dmDisplayFrequency)));
        }
        mode = FreshRecord();
    }
    return count;
}

int CModeSetting::EnumResolutionList(int second, Resolution** list, int* count) {
    if (!list || !count) return 0;
    ResolveDisplayDeviceNames();
    wchar_t device[displaynames::kMaxChars + 1];
    SetName(device, second ? g_names.second : g_names.first);
    DEVMODEW current{};
    const bool portrait = ReadCurrent(device, &current) && current.dmPelsWidth < current.dmPelsHeight;

    int capacity = kListStart;
    auto entries = std::make_unique<Resolution[]>(static_cast<size_t>(kListLimit));
    int found = CollectResolutions(device, portrait, entries.get(), capacity);
    if (found == capacity) {
        capacity = kListLimit;
        ReportError(L"Resolution Lists more than 24");
        found = CollectResolutions(device, portrait, entries.get(), capacity);
    }

    std::sort(entries.get(), entries.get() + found, [](const Resolution& a, const Resolution& b) {
        return a.width != b.width ? a.width < b.width : a.height < b.height;
    });
    const auto same = [](const Resolution& a, const Resolution& b) {
        return a.width == b.width && a.height == b.height;
    };
    const int distinct = static_cast<int>(std::unique(entries.get(), entries.get() + found, same) - entries.get());
    if (distinct != found) {
        for (int i = 0; i < distinct; ++i) {
            Trace(FormatText(L"%02d:  %d, %d \r\n", i, entries[i].width, entries[i].height));
        }
    }

    *list = entries.release();
    *count = distinct;
    return 1;
}

int CModeSetting::GetMaxResolution(int second, int* width, int* height) {
    Resolution* list = nullptr;
    int count = 0;
    EnumResolutionList(second, &list, &count);
    if (count == 0) {
        delete[] list;
        list = nullptr;
        EnumResolutionList(second, &list, &count);
    }
    const std::unique_ptr<Resolution[]> owned(list);
    if (count > 0) {
        if (width) *width = list[count - 1].width;
        if (height) *height = list[count - 1].height;
    } else {
        if (width) *width = kFallbackWidth;
        if (height) *height = kFallbackHeight;
        ReportError(L"fail: GetMaxResolution()");
    }
    return 1;
}

int CModeSetting::IsSecondDisplayAttached(int* attached) {
    int which = 0;
    GetAttachedSecondaryIndex(&which);
    if (attached) *attached = which != 0 ? 1 : 0;
    return 1;
}

int CModeSetting::GetAttachedSecondaryIndex(int* which) {
    int found = 0;
    DISPLAY_DEVICEW device = FreshDevice();
    for (DWORD index = 0; m_display.EnumDisplayDevices(nullptr, index, &device, 0); ++index) {
        const DWORD state = device.StateFlags;
        if ((state & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) && !(state & DISPLAY_DEVICE_PRIMARY_DEVICE) &&
            !(state & DISPLAY_DEVICE_MIRRORING_DRIVER)) {
            found = index == 0 ? 2 : 1;
        }
        device = FreshDevice();
    }
    if (which) *which = found;
    return 1;
}

int CModeSetting::SetSecondDisplayAttachment(const wchar_t* operation, int width, int height, int bitsPerPixel,
                                             int frequency) {
    DISPLAY_DEVICEW device = FreshDevice();
    if (!m_display.EnumDisplayDevices(nullptr, 1, &device, 0) || !device.DeviceName[0]) {
        ReportError(FormatText(L"fail: %ls() no second display device", operation));
        return 0;
    }
    DEVMODEW record = FreshRecord();
    record.dmFields = kAttachFields;
    record.dmPelsWidth = static_cast<DWORD>(width);
    record.dmPelsHeight = static_cast<DWORD>(height);
    record.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    record.dmDisplayFrequency = static_cast<DWORD>(frequency);
    record.dmPosition.x = width;
    record.dmPosition.y = 0;
    // Stored first, then applied with every other pending change; both must succeed.
    const LONG stored = m_display.ChangeDisplaySettingsEx(device.DeviceName, &record, kStoreWithoutApplying);
    const LONG applied = m_display.ChangeDisplaySettings(nullptr, 0);
    if (stored != DISP_CHANGE_SUCCESSFUL || applied != DISP_CHANGE_SUCCESSFUL) {
        ReportError(FormatText(L"fail: %ls() %ld, %ld", operation, stored, applied));
        return 0;
    }
    return 1;
}

int CModeSetting::AttachSecondDisplay(int width, int height, int bitsPerPixel, int frequency) {
    return SetSecondDisplayAttachment(L"AttachSecondDisplay", width, height, bitsPerPixel, frequency);
}

int CModeSetting::DetachSecondDisplay() { return SetSecondDisplayAttachment(L"DetachSecondDisplay", 0, 0, 0, 0); }

LONG CModeSetting::SetRotationByModeChange(int angle, int secondDevice, int windowsDirection) {
    const int target = OrientationIndex(angle, windowsDirection);
    if (target < 0) {
        ReportError(FormatText(L"fail: SetRotationByModeChange() angle %d", angle));
        return DISP_CHANGE_BADPARAM;
    }
    DEVMODEW current{};
    if (!GetCurrentDisplayMode(secondDevice, &current)) {
        ReportError(L"fail: SetRotationByModeChange() no current mode");
        return DISP_CHANGE_FAILED;
    }
    if (static_cast<int>(current.dmDisplayOrientation) == target) return DISP_CHANGE_SUCCESSFUL;

    DEVMODEW record = FreshRecord();
    record.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYORIENTATION;
    LONG width = static_cast<LONG>(current.dmPelsWidth);
    LONG height = static_cast<LONG>(current.dmPelsHeight);
    if (!secondDevice) {
        width = m_display.GetSystemMetrics(SM_CXSCREEN);
        height = m_display.GetSystemMetrics(SM_CYSCREEN);
    }
    const bool landscape = height < width;
    const bool quarterTurn = angle == 90 || angle == 270;
    if (landscape == quarterTurn) std::swap(width, height);
    record.dmPelsWidth = static_cast<DWORD>(width);
    record.dmPelsHeight = static_cast<DWORD>(height);
    record.dmDisplayOrientation = static_cast<DWORD>(target);
    if (secondDevice) {
        record.dmFields |= DM_POSITION;
        record.dmPosition = current.dmPosition;
    }
    return m_display.ChangeDisplaySettingsEx(secondDevice ? g_names.second : g_names.first, &record,
                                             CDS_UPDATEREGISTRY);
}

CVGA::CVGA(IDisplaySettings& display) : m_modeSetting(display) { displaynames::Reset(); }
CVGA::~CVGA() = default;

int CVGA::Initialize() { return 1; }
int CVGA::GetVendor() { return 1; }
int CVGA::ChangeDisplayCombination(int) { return 1; }
int CVGA::RestoreDefaultDisplay(int) { return 1; }
int CVGA::IsDualView() { return 1; }
int CVGA::Reserved5(int, int, int, int) { return 1; }
int CVGA::EnableExtendedDesktop(int) { return 1; }
int CVGA::GetDisplayRotation(int, int*) { return 1; }
int CVGA::SetDisplayRotation(int, int, int, int) { return 1; }
int CVGA::GetConnectedDisplays() { return 1; }

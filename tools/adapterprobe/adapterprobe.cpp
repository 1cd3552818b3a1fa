// adapterprobe.exe FILE: writes what this process sees of the first display
// adapter, as its first calls: through its import of EnumDisplayDevicesW
// ("import: DEVICEID|DESCRIPTION") and through the function looked up by
// name ("lookup: ..."). Ends with 0 when both calls answered.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
using EnumDisplayDevicesFn = BOOL(WINAPI*)(LPCWSTR, DWORD, PDISPLAY_DEVICEW, DWORD);

std::string Line(const char* road, BOOL found, const DISPLAY_DEVICEW& device) {
    char text[512];
    if (found) std::snprintf(text, sizeof text, "%s: %ls|%ls\n", road, device.DeviceID, device.DeviceString);
    else std::snprintf(text, sizeof text, "%s: none\n", road);
    return text;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    DISPLAY_DEVICEW imported{};
    imported.cb = sizeof imported;
    const BOOL importedFound = EnumDisplayDevicesW(nullptr, 0, &imported, 0);

    auto lookedUp = reinterpret_cast<EnumDisplayDevicesFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "EnumDisplayDevicesW")));
    DISPLAY_DEVICEW named{};
    named.cb = sizeof named;
    const BOOL namedFound = lookedUp && lookedUp(nullptr, 0, &named, 0);

    if (argc < 2) return 2;
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out) return 3;
    std::fputs(Line("import", importedFound, imported).c_str(), out);
    std::fputs(Line("lookup", namedFound, named).c_str(), out);
    std::fclose(out);
    return importedFound && namedFound ? 0 : 1;
}

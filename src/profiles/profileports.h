// What the display profile store needs from its surroundings: the display
// modes of the first display (the graphics adapter interface), the Windows 7
// video signal of the current display configuration, and the management
// instrumentation that names the attached monitors. The display changer hands
// the first two in at initialisation; the third is the real WMI by default.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The system's display-configuration video signal record, as the Windows 7
// display configuration reads and applies it.
static_assert(sizeof(DISPLAYCONFIG_VIDEO_SIGNAL_INFO) == 48, "the system's video signal record");

namespace profiles {

// A display mode as the graphics adapter reports it. `orientation` is the
// system's code: 0 none, 1 = 90, 2 = 180, 3 = 270 degrees.
struct DisplayMode {
    int width = 0;
    int height = 0;
    int depth = 0;
    int frequency = 0;
    int orientation = 0;
};

// Display modes of the first display; each operation true on success.
class IProfileDisplayModes {
public:
    virtual ~IProfileDisplayModes() = default;
    virtual bool CurrentMode(DisplayMode* mode) = 0;
    // The largest resolution the first display offers.
    virtual bool LargestResolution(SIZE* size) = 0;
};

// The Windows 7 display configuration: the video signal now in use for an
// output-combination code; true when it was read.
class IVideoSignalSource {
public:
    virtual ~IVideoSignalSource() = default;
    virtual bool GetVideoSignalInfo(int combinationCode, DISPLAYCONFIG_VIDEO_SIGNAL_INFO* signal) = 0;
};

// The management instrumentation (WMI) as the store uses it: COM security,
// the administrative locator, one namespace connection and queries that
// yield the "DeviceID" of every object. Results are COM result codes.
class IManagementService {
public:
    virtual ~IManagementService() = default;
    virtual HRESULT InitializeSecurity() = 0;
    virtual HRESULT CreateLocator() = 0;
    virtual HRESULT Connect(const wchar_t* nameSpace) = 0;
    virtual bool Connected() const = 0;
    // The "DeviceID" of every object the query returns, in order; an object
    // without a text DeviceID gives an empty text.
    virtual HRESULT QueryDeviceIds(const wchar_t* query, std::vector<std::wstring>* deviceIds) = 0;
};

// The real WMI; the locator and the connection are released with it.
std::unique_ptr<IManagementService> MakeSystemManagementService();

}  // namespace profiles

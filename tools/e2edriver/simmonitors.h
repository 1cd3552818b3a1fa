// The monitors of the simulated notebook as the system's device list shows
// them: one device "DISPLAY\<hardware name>\<instance>" of the monitor class
// per monitor, so that the management instrumentation names each attached
// monitor as a real notebook's would. A test attaches the panel and an
// external monitor, swaps the external one for another and back; every
// device attached through one object is removed when it ends, so the
// prefix's device list is left as it was found.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vqdrive {

// Hardware names of the simulated notebook's monitors.
inline constexpr wchar_t kPanelMonitor[] = L"VQP1366";
inline constexpr wchar_t kExternalMonitorA[] = L"VQE2201";
inline constexpr wchar_t kExternalMonitorB[] = L"VQE1905";

// The monitors plugged into the simulated notebook's outputs, registered as
// Windows registers a plugged-in monitor: a device "DISPLAY\<name>\VQOUT&<output>"
// with the hardware id "MONITOR\<name>" and the monitor's EDID (its
// manufacturer and product code are the name, its native size the preferred
// timing) in the device's parameters; in a device class of its own, since
// Wine's display code fails on a monitor-class device it did not create.
class MonitorDevices {
public:
    static bool Plug(const std::wstring& output, const std::wstring& name, int width, int height);
    static bool Unplug(const std::wstring& output);
    static void UnplugAll();
    // Instance ids of every plugged monitor.
    static std::vector<std::wstring> PluggedIds();
    // The 128-byte EDID of a monitor of that name and native size.
    static std::vector<unsigned char> Edid(const std::wstring& name, int width, int height, bool digital);
};

// Instance ids of every device of a device class.
std::vector<std::wstring> IdsOf(const GUID& deviceClass);

class SimulatedMonitors {
public:
    SimulatedMonitors() = default;
    ~SimulatedMonitors();
    SimulatedMonitors(const SimulatedMonitors&) = delete;
    SimulatedMonitors& operator=(const SimulatedMonitors&) = delete;

    // Registers the monitor device (one left behind by an earlier run is
    // taken over); false when it could not be registered.
    bool Attach(const std::wstring& hardwareName);
    // Removes a monitor this object attached.
    bool Detach(const std::wstring& hardwareName);
    // Removes `attached` and attaches `replacement` in its place.
    bool Swap(const std::wstring& attached, const std::wstring& replacement);
    void DetachAll();

    // "DISPLAY\<name>\VQSIM&0000": the device instance id of a simulated monitor.
    static std::wstring DeviceId(const std::wstring& hardwareName);
    // "DISPLAY\<name>": the identifier the program keeps for it.
    static std::wstring Identifier(const std::wstring& hardwareName);
    // Instance ids of every device of the monitor class in the system's list.
    static std::vector<std::wstring> MonitorDeviceIds();

private:
    std::vector<std::wstring> m_attached;
};

}  // namespace vqdrive

#include "intelgfxdesktop.h"

#include <utility>

#include "notebookdesktop.h"

namespace vqsim::graphics {

namespace {
DesktopOutcome From(const notebook::Outcome& shown) { return {shown.result, shown.description}; }
}  // namespace

DesktopOutcome ShowDevices(std::uint32_t display1, std::uint32_t display2) {
    std::vector<notebook::Source> sources(display2 ? 2 : 1);
    sources[0].devices = display1;
    if (display2) sources[1].devices = display2;
    return From(notebook::Show(sources));
}

DesktopOutcome TurnDevice(std::uint32_t display1, std::uint32_t display2, std::uint32_t deviceBit, DWORD from,
                          DWORD to) {
    std::vector<notebook::Source> sources = notebook::Current(display1, display2);
    const std::wstring turned = L"turned to " + std::to_wstring(to * 90);
    if (from == to || (from + to) % 2 == 0) {
        // Upside down or back: the picture keeps its sides, and the X server
        // turns no picture; the orientation is the hardware's record.
        return {DISP_CHANGE_SUCCESSFUL, turned};
    }
    for (notebook::Source& source : sources) {
        if (source.devices & deviceBit) std::swap(source.size.width, source.size.height);
    }
    // Source 1 stays right of source 0, whatever size that has now.
    if (sources.size() == 2) sources[1].x = sources[1].y = 0;
    DesktopOutcome outcome = From(notebook::Show(sources));
    outcome.description = turned + L": " + outcome.description;
    return outcome;
}

}  // namespace vqsim::graphics

// What the notebook's graphics hardware shows, put on the simulated screen:
// one or two sources (pictures), each on one or more outputs. Two outputs on
// one source are a true clone (one picture, xrandr --same-as), which Wine
// then reports as one display with two monitors, as Windows does. Outputs
// that show nothing are off in X too. Modes and places are set through the
// calling process's own display functions: a Wine process maps its displays
// to the X outputs by what it read last and reads that again only after it
// set a mode itself (docs/simulated-desktop.md).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "xscreen.h"

namespace vqsim::notebook {

struct Source {
    std::uint32_t devices = 0;  // graphics device bits shown (0x01 panel, 0x02 CRT, 0x04 TV, 0x08 HDMI)
    xscreen::Size size;         // 0 x 0: what the outputs show now, else their largest common size
    int x = 0, y = 0;           // source 0 is at the origin
};

struct Outcome {
    LONG result = DISP_CHANGE_SUCCESSFUL;
    std::wstring description;  // "Panel 1366x768@0,0 + Crt 1280x1024@1366,0", "Panel Crt 1024x768@0,0"
};

// Shows `sources` (one or two); a source 1 without a place goes right of source 0.
Outcome Show(std::vector<Source> sources);

// The sources shown now on the outputs of `devices1` and `devices2`, at their current sizes.
std::vector<Source> Current(std::uint32_t devices1, std::uint32_t devices2);

// Runs a mode change of this process (`change`) while `devices` show a
// clone: its second outputs leave the picture first and join the first
// output again at its new size afterwards, as a scaler keeps one picture on
// both. Without a clone it just runs it. Its result.
LONG KeepClone(std::uint32_t devices, const std::function<LONG()>& change);

// The size shown on an output now (0 x 0 when it is off).
xscreen::Size ShownSize(std::uint32_t deviceBit);

}  // namespace vqsim::notebook

// The simulated notebook's screen as the X server holds it: an X server with
// the dummy video driver whose outputs have fixed roles (DUMMY0 the panel,
// DUMMY1 the CRT connector, DUMMY2 HDMI, DUMMY3 TV). Each output offers its
// own list of sizes (the server's shared pool is 640 x 480 alone, see
// tools/xorg/dummy.conf); a true clone is two outputs on one picture
// (xrandr --same-as). Used by the stand-ins that change the desktop and by
// the end-to-end driver that looks at it; both run under Wine and reach the
// X server through xrandr, a Linux program started with its Unix path.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vqsim::xscreen {

inline constexpr wchar_t kPanelOutput[] = L"DUMMY0";
inline constexpr wchar_t kCrtOutput[] = L"DUMMY1";
inline constexpr wchar_t kHdmiOutput[] = L"DUMMY2";
inline constexpr wchar_t kTvOutput[] = L"DUMMY3";
inline constexpr int kRefreshHz = 60;

// The X output of a graphics device bit (0x01 panel, 0x02 CRT, 0x04 TV, 0x08 HDMI); null for none.
const wchar_t* OutputOfDevice(std::uint32_t deviceBit);

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};

// One output as `xrandr -q` lists it.
struct Output {
    std::wstring name;
    bool connected = false;
    bool on = false;       // shows a picture (has a mode and a place)
    bool primary = false;
    int width = 0, height = 0, x = 0, y = 0;  // when on
    std::vector<Size> modes;                  // its list, in the server's order
    bool Offers(Size size) const;
};

// The Unix path of a Windows path; empty when Wine cannot name one.
std::wstring UnixPath(const std::wstring& path);

// Runs a Unix shell command line and waits for it; true when it ended with
// exit code 0. Its standard output lands in `output` when that is given.
bool RunShell(const std::wstring& command, std::string* output = nullptr);
// Runs xrandr with these arguments, then one query (the dummy driver's
// outputs are probed, and Wine told, only when a client asks for the
// screen's resources); true when the change itself succeeded.
bool Xrandr(const std::wstring& arguments);

std::vector<Output> ReadOutputs();
std::vector<Output> ParseOutputs(const std::string& text);
const Output* Find(const std::vector<Output>& outputs, const std::wstring& name);

// "1366x768": the name every mode of ours has.
std::wstring ModeName(Size size);
// Offers a size on an output: the mode is created first (60 Hz, short
// blanking) when the server lacks it. True when the output lists it.
bool AddMode(const std::wstring& output, Size size);

}  // namespace vqsim::xscreen

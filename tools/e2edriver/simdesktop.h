// The simulated notebook's screen (an X server with the dummy video driver,
// started by ./dev): which outputs are connected, their sizes and modes,
// set with xrandr from inside Wine; and the desktop as a user sees it,
// read through the display functions in the driver's own process.
//
// Outputs have fixed roles: DUMMY0 is the panel, DUMMY1 the CRT connector,
// DUMMY2 HDMI (sim/common/xscreen.h). Each offers the sizes of the screen
// on it: the panel its native size and the smaller standard sizes, a
// monitor plugged in its own list up to its native size (outputmodes.sh).
// Plugging a monitor in also registers its monitor device with its own
// identity (DISPLAY\VQMxxxx, hardware id MONITOR\VQMxxxx, its EDID), as
// Windows does; unplugging removes it. An output shows the desktop once it
// has a mode and a place; Wine then lists it as the next \\.\DISPLAYn. The
// stock notebook is the panel alone at 1366 x 768 as primary.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace vqdrive::desktop {

constexpr const wchar_t* kPanel = L"DUMMY0";
constexpr const wchar_t* kExternal = L"DUMMY1";
constexpr const wchar_t* kSecondExternal = L"DUMMY2";
constexpr int kPanelWidth = 1366;
constexpr int kPanelHeight = 768;
// The small-panel models' panel.
constexpr int kSmallPanelWidth = 1024;
constexpr int kSmallPanelHeight = 600;

// Runs xrandr with these arguments on the X display of the run; true when
// it ended with exit code 0. Its output is discarded.
bool Xrandr(const std::wstring& arguments);

// Offers one more size on an output (a monitor that lists it), with timings
// of our own when the server lacks it.
bool AddMode(const std::wstring& output, int width, int height);
// Takes a size off an output's list again, and drops it from the server
// when it was one of ours; a size of the server's own list stays.
bool RemoveMode(const std::wstring& output, int width, int height);
// Plugs a monitor of native size `width` x `height` into an output (its own
// list of sizes, its monitor device) and shows it at that size at (x, y);
// or unplugs it: off the desktop, no sizes, no monitor device. Each waits until a program started
// now sees the new desktop, and then sends every top-level window what
// Windows sends for it: WM_DEVICECHANGE (DBT_DEVNODES_CHANGED) and
// WM_DISPLAYCHANGE (depth, primary size). False when the desktop did not change.
// A monitor may first show another size (`shownWidth` x `shownHeight`),
// which it then offers too.
bool Connect(const std::wstring& output, int width, int height, int x, int y, int shownWidth = 0,
             int shownHeight = 0);
bool Disconnect(const std::wstring& output);
// Back to the stock notebook: the panel alone at its native size (1366 x 768,
// or the small-panel models' 1024 x 600), primary at (0, 0), with its list
// of sizes and its monitor device; nothing plugged in.
bool Reset(int panelWidth = kPanelWidth, int panelHeight = kPanelHeight);

// The hardware name of a monitor of that native size ("VQM5040" for
// 1280 x 1024; the panel "VQP5530"): the same monitor always has the same one.
std::wstring MonitorName(const std::wstring& output, int width, int height);
// "DISPLAY\<name>" of every monitor device of the system's list, in its order.
std::vector<std::wstring> MonitorIdentities();

// The sizes an output offers now, as the X server lists them.
std::vector<std::pair<int, int>> Modes(const std::wstring& output);

// Draws the desktop as a user would look at it into a PNG file: each
// picture a labelled rectangle at its place and size, with the outputs that
// show it (two for a clone), the primary marked and a turned picture said.
// Read from the X server and a fresh process of the driver, never from the
// program under test.
bool DrawPicture(const std::wstring& pngPath);

// One display device as the system reports it to this process.
struct Display {
    std::wstring device;    // "\\.\DISPLAY1"
    std::wstring adapter;   // the adapter's description
    std::wstring deviceId;  // "PCI\VEN_...&DEV_..."
    DWORD stateFlags = 0;
    bool attached = false;
    bool primary = false;
    int width = 0, height = 0, bitsPerPixel = 0, frequency = 0, x = 0, y = 0;  // current mode, when attached
};

// Every display device, attached or not, in enumeration order, as a program
// started now sees them. Read in a fresh process of the driver (vqdesktop.exe):
// a long-running Wine process keeps the current modes it first read and does
// not notice changes made by other processes or by xrandr.
std::vector<Display> Displays();
// The same, read through the display functions of this process.
std::vector<Display> DisplaysSeenHere();
// One display per line, as vqdesktop.exe writes them.
std::string Serialize(const std::vector<Display>& displays);
std::vector<Display> Parse(const std::string& text);
std::vector<Display> AttachedDisplays();
// The attached display whose desktop rectangle starts at (x, y); null-named when none.
Display AttachedAt(int x, int y);
// Waits until this many displays are attached; false on time-out.
bool WaitForAttached(size_t count, DWORD timeoutMs);
// "\\.\DISPLAY1 1366x768x32@60 +0+0 primary; ..." for logs and the demo.
std::string Describe(const std::vector<Display>& displays);

}  // namespace vqdrive::desktop

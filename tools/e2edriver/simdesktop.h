// The simulated notebook's screen (an X server with the dummy video driver,
// started by ./dev): which outputs are connected, their sizes and modes,
// set with xrandr from inside Wine; and the desktop as a user sees it,
// read through the display functions in the driver's own process.
//
// Outputs: DUMMY0 is the panel; DUMMY1 and up are external connectors. An
// output shows the desktop once it has a mode and a place; Wine then lists
// it as the next \\.\DISPLAYn. The stock notebook is the panel alone at
// 1366 x 768 as primary.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vqdrive::desktop {

constexpr const wchar_t* kPanel = L"DUMMY0";
constexpr const wchar_t* kExternal = L"DUMMY1";
constexpr const wchar_t* kSecondExternal = L"DUMMY2";
constexpr int kPanelWidth = 1366;
constexpr int kPanelHeight = 768;

// Runs xrandr with these arguments on the X display of the run; true when
// it ended with exit code 0. Its output is discarded.
bool Xrandr(const std::wstring& arguments);

// Offers a size on an output: a mode of the server's list, or a new one
// with timings of our own.
bool AddMode(const std::wstring& output, int width, int height);
// Takes a size off an output's list again, and drops it from the server
// when it was one of ours; a size of the server's own list stays.
bool RemoveMode(const std::wstring& output, int width, int height);
// Connects an output (hot-plug) showing `width` x `height` at (x, y), or
// removes it from the desktop (unplugged). Each waits until a program started
// now sees the new desktop, and then sends every top-level window what
// Windows sends for it: WM_DEVICECHANGE (DBT_DEVNODES_CHANGED) and
// WM_DISPLAYCHANGE (depth, primary size). False when the desktop did not change.
bool Connect(const std::wstring& output, int width, int height, int x, int y);
bool Disconnect(const std::wstring& output);
// Back to the stock notebook: the panel alone at 1366 x 768, primary at (0, 0).
bool Reset();

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

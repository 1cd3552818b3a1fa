// Resolution steps and rotation of the display under a point (normally the
// mouse pointer): the resolution keys move along a short list chosen from the
// display's largest resolution, or along the standard ladder; the rotation
// keys and menu requests turn a display by a quarter turn or to an angle.
// The display changer owns this object; the main window reaches it.
#pragma once

#include <windows.h>

#include <vector>

#include "display/vga.h"

// What the resolution and rotation operations need of the display changer.
class IDisplayResolutionOwner {
public:
    virtual ~IDisplayResolutionOwner() = default;
    virtual CVGA* Driver() = 0;                    // the graphics driver; null: none
    virtual bool IsWindows7Mode() = 0;             // the changer drives displays the Windows 7 way
    virtual int ActiveDisplayCode() = 0;           // the changer's m_nActiveDisplay (a combination code)
    virtual int GetConnectedDisplays() = 0;        // the changer's own refresh of the outputs (Windows 7 mode); 1/0
    virtual void SetRotationTarget(int target) = 0;  // 0 the primary, 1 the secondary display
    // The largest size the driver itself reports for an output (by index in
    // bit order): Intel's optimal size, NVIDIA's display information on XP.
    // 0: the driver reports none, and the largest listed mode is used.
    virtual int DriverMaxResolution(int outputIndex, int* width, int* height) = 0;
};

// The platform calls a test must control: the pointer, the wait cursor and
// the Intel driver's rotation capability value.
class IResolutionPlatform {
public:
    virtual ~IResolutionPlatform() = default;
    virtual void SetCursorPos(int x, int y) = 0;
    virtual HCURSOR ShowWaitCursor() = 0;  // gives the cursor it replaced
    virtual void RestoreCursor(HCURSOR cursor) = 0;
    virtual bool ReadMachineValue(const wchar_t* path, const wchar_t* name, BYTE* data, DWORD size) = 0;
    virtual bool WriteMachineValue(const wchar_t* path, const wchar_t* name, const BYTE* data, DWORD size) = 0;
};

IResolutionPlatform& RealResolutionPlatform();

// Where the Intel driver keeps its rotation capabilities (model family 1).
namespace intelrotationcaps {
inline constexpr wchar_t kPath[] = L"SYSTEM\\CurrentControlSet\\Services\\ialm\\Device0";
inline constexpr wchar_t kName[] = L"Display1_RotationCaps";
inline constexpr BYTE kAllRotations[4] = {0x07, 0x00, 0x00, 0x00};
}  // namespace intelrotationcaps

class CDisplayResolution {
public:
    explicit CDisplayResolution(IDisplayResolutionOwner& owner,
                                IResolutionPlatform& platform = RealResolutionPlatform());
    CDisplayResolution(const CDisplayResolution&) = delete;
    CDisplayResolution& operator=(const CDisplayResolution&) = delete;

    // Main-window menu key that turns the primary display the ATI/VIA way
    // round (90 degrees further); any other key turns it the other way.
    static constexpr int kRotateForwardKey = 42;

    // Rebuilds the cached list for the display at the point; `second` (may be
    // null) tells whether that is the secondary display. 1/0.
    int QueryResolutionList(int x, int y, int* second);
    // One step up or down; 1 when the display shows a new size (or the same
    // largest/smallest size again), 0 when nothing could be set.
    int SetResolutionUp(int x, int y, int useLadder);
    int SetResolutionDown(int x, int y, int useLadder);
    // The output under the point as a device bit, whether it is the
    // secondary display, and its largest resolution. 1/0.
    int GetMonitorMaxResolution(int x, int y, int* device, int* second, int* maxWidth, int* maxHeight);
    // Puts the pointer in the middle of the secondary display (second nonzero).
    int MoveCursorToDisplay(int second);
    // The rotation of the active outputs in degrees (0 when none reads). 1/0.
    int GetDisplayRotation(int* angle, int refresh);
    // A quarter turn of the primary display; stores the new angle. 1/0.
    int RotateDisplayStep(int key);
    // Turns the display under the point to `angle` degrees. 1/0.
    int RotateDisplayAt(int x, int y, int angle);

    // The cached list (landscape sizes, smallest first).
    const std::vector<Resolution>& List() const { return m_list; }
    int ListCount() const { return static_cast<int>(m_list.size()); }
    int IsListBuilt() const { return m_bListBuilt; }
    void FreeList();

private:
    enum class Direction { Up, Down };
    int StepResolution(int x, int y, int useLadder, Direction direction);
    void BuildList(int maxWidth, int maxHeight);
    int DriverOrGenericMax(CVGA& driver, int outputIndex, int second, int* width, int* height);
    void EnsureIntelRotationCaps(CVGA& driver);
    void SetSecond(int* second, int value);

    IDisplayResolutionOwner& m_owner;
    IResolutionPlatform& m_platform;
    std::vector<Resolution> m_list;
    int m_bListBuilt = 0;
};

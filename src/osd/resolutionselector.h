// The resolution key of the small-panel models: the first press opens the
// resolution toggle on the OSD with the choice of the current screen size,
// every further press while it is open steps it, and the choice is set when
// the OSD hides. The same object answers whether the screen may rotate now
// and puts a small-panel size back before sleep. Created by the main window
// on first use, with the OSD window's owner.
#pragma once

#include <windows.h>

#include "common/osdwindowslot.h"

namespace osd {

// The OSD window's resolution toggle, as the selector drives it.
class IResolutionToggleOsd {
public:
    virtual ~IResolutionToggleOsd() = default;
    virtual bool IsShown() = 0;
    // Opens the toggle on a choice (0 to 5); 1 when it is drawn.
    virtual int InitASToggle(int choice) = 0;
    // One step; 0 when the toggle is not open.
    virtual int SetNextAutoScalerMode() = 0;
    // 0 to 5: the current choice.
    virtual int GetSelectedAutoScalerMode() = 0;
    virtual void ShowNoActivate() = 0;
};

// What the selector asks of the main window.
class IResolutionSelectorOwner {
public:
    virtual ~IResolutionSelectorOwner() = default;
    // Asks the main window to work out and publish the rotation capability again.
    virtual void PostRotationNotice() = 0;
};

// The display side: the display changer's graphics driver and the primary screen.
class IResolutionDisplay {
public:
    virtual ~IResolutionDisplay() = default;
    virtual bool HasGraphicsDriver() = 0;
    // The driver's vendor code (3 Intel).
    virtual int GraphicsVendor() = 0;
    virtual SIZE PrimaryScreenSize() = 0;
    // Reads the outputs' states from the driver again.
    virtual void RefreshOutputs(bool* panelActive, bool* crtActive) = 0;
    virtual bool IsDualView() = 0;
    // The Intel driver's panel down-scaling; 0 when the driver cannot answer.
    virtual int IsDownScalingEnabled(int* enabled) = 0;
    virtual int SetDownScaling(int enable, SIZE size) = 0;
    virtual int ChangePrimaryDisplaySettings(int width, int height, int bitsPerPixel, int frequency) = 0;
};

class CResolutionSelector {
public:
    CResolutionSelector(IResolutionDisplay& display, IResolutionSelectorOwner& owner,
                        IOsdWindowSlot<IResolutionToggleOsd>& osd)
        : m_display(display), m_owner(owner), m_osd(osd) {}

    // The resolution key: opens or steps the toggle; 1 when it did.
    int SelectResolution();
    // Sets a size; a width of 0 takes the toggle's choice. 1 when the screen
    // has the size now (also when it had it already).
    int ChangeResolution(int width, int height);
    // Whether the screen may be rotated now; 0 only when it cannot be told.
    int CanRotataion(int* canRotate);
    // Puts a small-panel size back before sleep; 1 when the screen has one.
    int WaResetResolutionBeforeS3S4();

    // The OSD ends the selection when it hides.
    void ClearOsdPending() { m_bOsdPending = false; }
    bool OsdPending() const { return m_bOsdPending; }

    static constexpr wchar_t kNoDriverReport[] = L"Please install Graphic driver...";
    static constexpr wchar_t kNoOsdReport[] = L"fail: SelectResolution::HKIconWindow";
    static constexpr wchar_t kOpenFailedReport[] = L"m_pHKIconWindow->InitASToggle()";

private:
    int Select();
    int Change(int width, int height);
    int ChangeOnSmallPanel(int choice, SIZE size);
    bool DownScalingEnabled();
    int ChangePrimary(SIZE size);

    IResolutionDisplay& m_display;
    IResolutionSelectorOwner& m_owner;
    IOsdWindowSlot<IResolutionToggleOsd>& m_osd;
    bool m_bOsdPending = false;
};

}  // namespace osd

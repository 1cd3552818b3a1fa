// The OSD window's display switcher as the display changer drives it: the
// changer owns this side of the window and asks the window's owner
// (IOsdWindowSlot) for the window at every key.
#pragma once

#include "osd/displayswitchports.h"
#include "osd/osdmode.h"

class IDisplaySwitchOsd {
public:
    virtual ~IDisplaySwitchOsd() = default;
    virtual bool IsShown() = 0;
    virtual bool IsDestroyed() = 0;
    virtual osd::OsdMode Mode() const = 0;
    virtual bool AnimationRunning() const = 0;
    // Opens the switcher on the choices of a connected-combination code;
    // `owner` takes the confirmed choice when the window closes. 1 = drawn.
    virtual int InitDisplaySwitching(int connectedCode, int activeCode, bool savedProfile,
                                     osd::IDisplaySwitchOwner& owner) = 0;
    virtual int SetNextDisplayDevice(int backward) = 0;
    virtual int GetSelectedDisplayMode() = 0;
    virtual void ShowNoActivate() = 0;
    virtual void Hide() = 0;
};

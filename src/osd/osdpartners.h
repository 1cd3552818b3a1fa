// What the OSD window asks of the objects whose pictures and selections it
// shows: the display changer and the four toggle selectors, the notice window
// and the main window (the display changer's confirmed choice goes to the
// owner that opened the display switcher). The main window implements it with the objects it owns;
// tests use fakes.
#pragma once

#include "osd/displayswitchports.h"

namespace osd {

// The owners of a selection the OSD may be showing.
enum class SelectionOwner { DisplayChanger, SrsSelector, ResolutionSelector, WirelessSelector, RfSelector };

class IOsdPartners {
public:
    virtual ~IOsdPartners() = default;

    // Whether the owner exists now (the selectors are created on first use).
    virtual bool Exists(SelectionOwner owner) = 0;
    // The owner's OSD-pending flag: its selection is open in the OSD (for the
    // display changer: a display switch is pending).
    virtual bool Pending(SelectionOwner owner) = 0;
    virtual void ClearPending(SelectionOwner owner) = 0;
    // A selector takes the choice the OSD closes with.
    virtual void ApplySelection(SelectionOwner owner) = 0;

    // Hides the notice window if it exists.
    virtual void HideMessageWindow() = 0;
    // Forgets the main window's note that the dispatcher changed the mute state itself.
    virtual void ClearDispatcherMuteNote() = 0;
};

// The keeper of the OSD windows, told when one has been destroyed (after its
// hide): it may make the next cycle's window ahead of the next key.
class IOsdWindowGone {
public:
    virtual ~IOsdWindowGone() = default;
    virtual void OsdWindowGone() = 0;
};

}  // namespace osd

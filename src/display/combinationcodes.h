// The codes the display changer, the display-switch OSD and the mini UI
// exchange for sets of outputs: a mask of device bits (vga.h) is named by a
// connected-combination code (which outputs are plugged in) or by an
// output-combination code (which outputs show the desktop).
#pragma once

namespace combinationcodes {

// 0 = none (a set no choice list knows).
constexpr int kNone = 0;

// The connected-combination code of a mask of connected outputs; 0 for a set
// without a code.
int ConnectedCodeOfMask(int mask);

// The output-combination code of a mask of active outputs, before the
// dual-view offset; 0 (`NO_DEVICE`) for a set without a code, so that
// nothing is saved or restored under another set's code.
int ActiveCodeOfMask(int mask);

}  // namespace combinationcodes

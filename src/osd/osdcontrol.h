// The OSD window as the routing and the key handling drive it, whichever
// window is the current one. Without a window it is not alive and its mode
// is none.
#pragma once

#include "osd/osdmode.h"

class IOsdControl {
public:
    virtual ~IOsdControl() = default;
    // Exists, has not been destroyed and its window is alive.
    virtual bool OsdAlive() = 0;
    virtual void HideOsd() = 0;
    virtual osd::OsdMode OsdMode() = 0;
    virtual void SetOsdMode(osd::OsdMode mode) = 0;
    virtual void ClearOsdSelection() = 0;
    // Sends the selection timer's message: the pending selection is applied now.
    virtual void SendOsdSelectionTimer() = 0;
};

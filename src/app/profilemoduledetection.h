// The 3G module question of the wireless key: a detector is made for the one
// question, reads the present USB devices through the display profile
// store's management instrumentation connection, and is destroyed.
#pragma once

#include "app/displayports.h"

class CDisplayProfile;

class CProfileModuleDetection : public IModuleDetection {
public:
    // The store once the display changer has one; without it nothing is detected.
    void SetStore(CDisplayProfile* store) { m_pStore = store; }
    int Detect3GModule(int* found, int* special) override;

private:
    CDisplayProfile* m_pStore = nullptr;
};

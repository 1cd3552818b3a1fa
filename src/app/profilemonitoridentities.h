// The monitor identities detection asks for, read through the display
// profile store (which the display changer owns): the store names the
// attached monitors through the management instrumentation.
#pragma once

#include "app/displayports.h"

class CDisplayProfile;

class CProfileMonitorIdentities : public IMonitorIdentities {
public:
    // The store once the display changer has one; until then nothing can be read.
    void SetStore(CDisplayProfile* store) { m_pStore = store; }
    int ReadMonitorIdentifiers(std::vector<std::wstring>* identifiers) override;

private:
    CDisplayProfile* m_pStore = nullptr;
};

#include "app/profilemonitoridentities.h"

#include "profiles/displayprofile.h"

int CProfileMonitorIdentities::ReadMonitorIdentifiers(std::vector<std::wstring>* identifiers) {
    if (!m_pStore || !m_pStore->GetMonitorDeviceID()) return 0;
    identifiers->clear();
    for (int i = 0; i < m_pStore->MonitorCount(); ++i) identifiers->push_back(m_pStore->MonitorId(i));
    return 1;
}

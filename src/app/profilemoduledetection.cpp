#include "app/profilemoduledetection.h"

#include "osd/hsdpamoduledetector.h"
#include "profiles/displayprofile.h"

namespace {

// The present devices as the profile store's connection names them.
class CStoreDeviceQuery : public osd::IDeviceQuery {
public:
    explicit CStoreDeviceQuery(CDisplayProfile& store) : m_store(store) {}
    bool Initialized() const override { return m_store.IsInitialized(); }
    bool Connected() const override { return m_store.Management() && m_store.Management()->Connected(); }
    HRESULT QueryDeviceIds(const wchar_t* query, std::vector<std::wstring>* deviceIds) override {
        if (!m_store.Management()) return E_POINTER;
        return m_store.Management()->QueryDeviceIds(query, deviceIds);
    }

private:
    CDisplayProfile& m_store;
};

}  // namespace

int CProfileModuleDetection::Detect3GModule(int* found, int* special) {
    *found = 0;
    *special = 0;
    if (!m_pStore) return 0;
    CStoreDeviceQuery devices(*m_pStore);
    CHsdpaModuleDetector detector;
    detector.Init(&devices);
    const int result = detector.Detect(found);
    *special = detector.SpecialModule();
    return result;
}

#include "osd/hsdpamoduledetector.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <memory>

#include "common/commondefine.h"
#include "osd/modemlistformat.h"

namespace {

constexpr wchar_t kNotInitialized[] = L"CDisplayProfile is not initialized... ";
// The chipset's own USB controllers and the root hubs are never a modem.
constexpr const wchar_t* kSkippedIdentifiers[] = {L"VEN_8086", L"ROOT_HUB"};
// The product numbers of the special module.
constexpr const wchar_t* kSpecialProducts[] = {L"6772", L"1001"};

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};
using ScopedFile = std::unique_ptr<FILE, FileCloser>;

bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

}  // namespace

void CHsdpaModuleDetector::Init(osd::IDeviceQuery* store) {
    m_pStore = store;
    m_fragments.clear();
    if (!m_pStore) return;
    ReadFragments();
}

void CHsdpaModuleDetector::ReadFragments() {
    // Read only: the program folder may be write-protected (a standard user
    // under Program Files), and the list must still be found there.
    ScopedFile file(_wfopen(m_path.c_str(), L"rb"));
    if (!file) return;  // no list: no module to look for
    std::string bytes(modemlistformat::kMaxFileBytes, '\0');
    bytes.resize(fread(bytes.data(), 1, bytes.size(), file.get()));
    file.reset();
    const modemlistformat::ModemList list = modemlistformat::Parse(bytes);
    for (const std::wstring& problem : list.problems) ReportError(problem);
    for (const std::string& fragment : list.fragments) {
        wchar_t block[kMaxFragmentChars + 1] = {};
        if (MultiByteToWideChar(CP_ACP, 0, fragment.c_str(), -1, block, static_cast<int>(kMaxFragmentChars + 1)) ==
            0) {
            ReportError(FormatText(L"error: Init() - a module of hsdpaModules.dat (\"%hs\") cannot be converted",
                                   fragment.c_str()),
                        GetLastError());
            continue;
        }
        m_fragments.emplace_back(block);
    }
}

int CHsdpaModuleDetector::Detect(int* found) {
    *found = 0;
    if (!m_pStore || m_fragments.empty()) return 0;
    try {
        if (!m_pStore->Initialized()) {
            ReportError(kNotInitialized);
            return 0;
        }
        if (!m_pStore->Connected()) return 0;
        std::vector<std::wstring> deviceIds;
        if (FAILED(m_pStore->QueryDeviceIds(kUsbDevicesQuery, &deviceIds))) return 0;
        for (const std::wstring& id : deviceIds) {
            bool skipped = false;
            for (const wchar_t* part : kSkippedIdentifiers) skipped = skipped || Contains(id, part);
            if (skipped) continue;
            for (const std::wstring& fragment : m_fragments) {
                if (!Contains(id, fragment.c_str())) continue;
                *found = 1;
                m_nSpecialModule = 0;
                for (const wchar_t* product : kSpecialProducts) {
                    if (Contains(id, product)) m_nSpecialModule = 1;
                }
                return 1;
            }
        }
        return 1;
    } catch (const std::exception& e) {
        ReportError(FormatText(L"error: Detect() - %hs", e.what()));
        *found = 0;
        return 0;
    }
}

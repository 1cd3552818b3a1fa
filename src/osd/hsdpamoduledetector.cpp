#include "osd/hsdpamoduledetector.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "common/commondefine.h"

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
    ScopedFile file(_wfopen(m_path.c_str(), L"r"));
    if (!file) return;  // no list: no module to look for
    int count = 0;
    if (fscanf(file.get(), "%d\n", &count) != 1) {
        ReportError(L"error: Init() - hsdpaModules.dat has no count of modules; no module is looked for");
        return;
    }
    if (count < 0) {
        ReportError(FormatText(L"error: Init() - hsdpaModules.dat gives %d modules; no module is looked for", count));
        return;
    }
    if (count > kMaxFragments) {
        ReportError(FormatText(L"error: Init() - hsdpaModules.dat gives %d modules; only the first %d are read",
                               count, kMaxFragments));
        count = kMaxFragments;
    }
    for (int i = 0; i < count; ++i) {
        char fragment[kMaxFragmentChars + 1] = {};
        int start = 0, end = 0;
        if (fscanf(file.get(), " %n%127s%n", &start, fragment, &end) != 1) {
            ReportError(FormatText(L"error: Init() - hsdpaModules.dat ends after %d of %d modules", i, count));
            return;
        }
        // A NUL inside the run (a damaged file, or UTF-16 text) would cut the
        // fragment short or to nothing, and an empty fragment is part of
        // every identifier: such a fragment is no fragment.
        const bool cut = strlen(fragment) != static_cast<size_t>(end - start);
        const int next = fgetc(file.get());
        if (next != EOF && !isspace(next)) {
            // A longer run is no identifier part of ours: leave it out whole.
            fscanf(file.get(), "%*s");
            ReportError(FormatText(L"error: Init() - module %d in hsdpaModules.dat is longer than %d characters; "
                                   L"it is left out",
                                   i + 1, static_cast<int>(kMaxFragmentChars)));
            continue;
        }
        if (cut) {
            ReportError(FormatText(L"error: Init() - module %d in hsdpaModules.dat holds a NUL character (the file "
                                   L"is not ANSI text?); it is left out",
                                   i + 1));
            continue;
        }
        wchar_t block[kMaxFragmentChars + 1] = {};
        if (MultiByteToWideChar(CP_ACP, 0, fragment, -1, block, static_cast<int>(kMaxFragmentChars + 1)) == 0) {
            ReportError(FormatText(L"error: Init() - module %d in hsdpaModules.dat cannot be converted", i + 1),
                        GetLastError());
            continue;
        }
        if (block[0] == L'\0') continue;  // unreachable after the test above; never an empty fragment
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

// The 3G module detector: whether a built-in 3G (HSDPA) modem sits on the
// internal USB bus. It looks for identifier fragments, read from the data file
// "hsdpaModules.dat" beside the program, in the identifiers of the present
// USB devices. Short-lived: made, asked once and destroyed in one key press.
//
// The file's format: modemlistformat.h.
#pragma once

#include <string>
#include <vector>

#include "osd/moduledetectorports.h"
#include "osd/modemlistformat.h"

class CHsdpaModuleDetector {
public:
    static constexpr wchar_t kFileName[] = L"hsdpaModules.dat";
    static constexpr size_t kMaxFragmentChars = modemlistformat::kMaxFragmentChars;
    static constexpr int kMaxFragments = modemlistformat::kMaxFragments;
    // Every USB device (the USB device class).
    static constexpr wchar_t kUsbDevicesQuery[] =
        L"SELECT * FROM Win32_PNPEntity WHERE ClassGuid = '{36fc9e60-c465-11cf-8056-444553540000}'";

    explicit CHsdpaModuleDetector(std::wstring path = kFileName) : m_path(std::move(path)) {}
    CHsdpaModuleDetector(const CHsdpaModuleDetector&) = delete;
    CHsdpaModuleDetector& operator=(const CHsdpaModuleDetector&) = delete;

    // Keeps `store`; with a store reads the fragment list from the file.
    void Init(osd::IDeviceQuery* store);
    // `*found` = 1 when a listed module is present. 1 when the search ran to
    // a decision, 0 when it did not run (no store, no fragments, no
    // connection, a failed query).
    int Detect(int* found);

    // 1 when the module found is the special one ("6772" or "1001" in its identifier).
    int SpecialModule() const { return m_nSpecialModule; }
    int Count() const { return static_cast<int>(m_fragments.size()); }
    const std::vector<std::wstring>& Fragments() const { return m_fragments; }

private:
    void ReadFragments();

    std::wstring m_path;
    osd::IDeviceQuery* m_pStore = nullptr;
    std::vector<std::wstring> m_fragments;
    int m_nSpecialModule = 0;
};

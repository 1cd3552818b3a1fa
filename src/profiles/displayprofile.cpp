#include "profiles/displayprofile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cwchar>

#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "common/commondefine.h"
#include "common/processstate.h"

namespace {

// Value names of a profile section.
namespace value {
constexpr wchar_t kCount[] = L"cnt";
constexpr wchar_t kMode[] = L"mode";
constexpr wchar_t kWidth[] = L"w";
constexpr wchar_t kHeight[] = L"h";
constexpr wchar_t kDepth[] = L"depth";
constexpr wchar_t kFrequency[] = L"freq";
constexpr wchar_t kRotation[] = L"rotate";
constexpr wchar_t kFrequencyDenominator[] = L"freqDenum";
constexpr wchar_t kPanelWidth[] = L"w_panel";
constexpr wchar_t kPanelHeight[] = L"h_panel";
constexpr wchar_t kSecondWidth[] = L"w_ext";
constexpr wchar_t kSecondHeight[] = L"h_ext";
constexpr wchar_t kSecondDepth[] = L"depth_ext";
constexpr wchar_t kSecondFrequency[] = L"freq_ext";
constexpr wchar_t kSecondRotation[] = L"rotate_ext";
constexpr wchar_t kSecondFrequencyDenominator[] = L"freq_extDenum";
constexpr wchar_t kPositionX[] = L"pos_x";
constexpr wchar_t kPositionY[] = L"pos_y";
constexpr wchar_t kPixelRateHigh[] = L"PixelRateUp";
constexpr wchar_t kPixelRateLow[] = L"PixelRateDown";
constexpr wchar_t kHSyncNumerator[] = L"hSyncFreq_num";
constexpr wchar_t kHSyncDenominator[] = L"hSyncFreq_den";
constexpr wchar_t kVSyncNumerator[] = L"vSyncFreq_num";
constexpr wchar_t kVSyncDenominator[] = L"vSyncFreq_den";
constexpr wchar_t kActiveSize[] = L"activeSize";
constexpr wchar_t kTotalSize[] = L"totalSize";
}  // namespace value

// The monitor device class, and every monitor device id for a WMI that
// cannot select by class.
constexpr wchar_t kMonitorClassQuery[] =
    L"SELECT * FROM Win32_PNPEntity WHERE ClassGuid = '{4D36E96E-E325-11CE-BFC1-08002BE10318}'";
constexpr wchar_t kMonitorDeviceIdQuery[] = L"SELECT * FROM Win32_PNPEntity WHERE DeviceID LIKE 'DISPLAY%'";
constexpr wchar_t kWmiNamespace[] = L"ROOT\\CIMV2";

constexpr int kMonitorReads = 10;
constexpr int kReadsWithoutWait = 5;
constexpr DWORD kReadWaitStepMs = 200;

constexpr wchar_t kSysprepFile[] = L"C:\\SYSPREP\\SYSPREP.EXE";
constexpr DWORD kImageStateBytes = 260;
constexpr wchar_t kImageStateComplete[] = L"IMAGE_STATE_COMPLETE";

// Default profile values, and the panels recognised when the first display
// offers nothing above VGA.
constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;
constexpr int kDefaultDepth = 32;
constexpr int kDefaultFrequency = 60;
constexpr int kVgaWidth = 640;
constexpr int kVgaHeight = 480;
constexpr SIZE kFerrinPanel{1280, 1024};
constexpr SIZE kWidePanel{1280, 800};
constexpr SIZE kNetbookPanel{1024, 600};
constexpr int kLowestUsableFrequency = 30;
constexpr int kLowestUsableDepth = 16;

constexpr wchar_t kNotInitialized[] = L"CDisplayProfile is not initialized... ";


// What a slot's "cnt" says: a slot never written ends the slots (they have
// no gaps); one whose count cannot be read is skipped and never reused, so
// that what it holds is kept and the slots after it are still found.
enum class SlotUse { Free, Unreadable, Used };

SlotUse ReadSlotCount(const std::wstring& section, int* count) {
    switch (settings::ReadIntState(section.c_str(), value::kCount, count)) {
    case settings::IntState::Absent: return SlotUse::Free;
    case settings::IntState::Unreadable: return SlotUse::Unreadable;
    default: return SlotUse::Used;
    }
}

int ReadValue(const std::wstring& section, const wchar_t* name, int defaultValue = 0) {
    return settings::ReadInt(section.c_str(), name, defaultValue);
}

void WriteValue(const std::wstring& section, const wchar_t* name, int data) {
    settings::WriteInt(section.c_str(), name, data);
}

std::wstring DisplayIdName(int index) { return FormatText(settings::profile::kDisplayIdFormat, index); }

// A position stored as decimal text; anything else reads as 0 (and is reported).
int ReadPositionText(const std::wstring& section, const wchar_t* name) {
    const std::wstring text = settings::ReadText(section.c_str(), name, L"0");
    wchar_t* end = nullptr;
    errno = 0;
    const long number = std::wcstol(text.c_str(), &end, 10);
    if (text.empty() || *end != L'\0' || errno == ERANGE || number < INT32_MIN || number > INT32_MAX) {
        ReportError(L"error: GetDisplayHistory() - " + section + L"\\" + name + L" is not a number: \"" + text + L"\"");
        return 0;
    }
    return static_cast<int>(number);
}

int RotationDegrees(int orientation) {
    switch (orientation) {
        case 1: return 90;
        case 2: return 180;
        case 3: return 270;
        default: return 0;
    }
}

template <typename T>
void Put(T* out, const T& data) {
    if (out) *out = data;
}

}  // namespace

CDisplayProfile::CDisplayProfile(std::unique_ptr<profiles::IManagementService> management)
    : m_pManagement(std::move(management)) {}

CDisplayProfile::~CDisplayProfile() = default;

std::wstring CDisplayProfile::SlotSection(int slot) { return FormatText(settings::profile::kSectionFormat, slot); }

std::wstring CDisplayProfile::MonitorIdentifier(const std::wstring& deviceId) {
    std::wstring id = deviceId.substr(0, deviceId.find(L'\0'));
    const size_t first = id.find(L'\\');
    if (first != std::wstring::npos) {
        const size_t second = id.find(L'\\', first + 1);
        if (second != std::wstring::npos) id.resize(second);
    }
    if (id.size() > kMaxIdentifierChars) id.resize(kMaxIdentifierChars);
    return id;
}

bool CDisplayProfile::CheckInitialized() const {
    if (m_bInitialized) return true;
    ReportError(kNotInitialized);
    return false;
}

int CDisplayProfile::Init(profiles::IProfileDisplayModes* displayModes, profiles::IVideoSignalSource* videoSignals) {
    try {
        m_pDisplayModes = displayModes;
        m_pVideoSignals = videoSignals;
        if (!m_pManagement) return 0;
        // COM was already used in this process (the audio object does so
        // first): the security set then stays in force, which is no failure.
        const HRESULT security = m_pManagement->InitializeSecurity();
        if (FAILED(security) && security != RPC_E_TOO_LATE) {
            ReportError(L"fail: CDisplayProfile::Init() - CoInitializeSecurity()");
            return 0;
        }
        if (FAILED(m_pManagement->CreateLocator())) {
            ReportError(L"fail: Instantiation of IWbemLocator - CoCreateInstance()");
            return 0;
        }
        const HRESULT connected = m_pManagement->Connect(kWmiNamespace);
        if (FAILED(connected) || !m_pManagement->Connected()) {
            ReportError(FormatText(L"fail: CDisplayProfile::Init() - ConnectServer() 0x%08lx",
                                   static_cast<unsigned long>(connected)));
            return 0;
        }
        m_bInitialized = true;
        DefineDefaultDisplay();
        return 1;
    } catch (...) {
        ReportCaught(L"fail: CDisplayProfile::Init()");
        return 0;
    }
}

int CDisplayProfile::QueryMonitors() {
    std::vector<std::wstring> deviceIds;
    HRESULT hr = E_FAIL;
    if (!m_bClassQueryFails) {
        hr = m_pManagement->QueryDeviceIds(kMonitorClassQuery, &deviceIds);
        // A WMI without the class property (Wine's has none) refuses the
        // class query; monitor device ids all begin with "DISPLAY".
        if (FAILED(hr)) m_bClassQueryFails = true;
    }
    if (m_bClassQueryFails) hr = m_pManagement->QueryDeviceIds(kMonitorDeviceIdQuery, &deviceIds);
    if (FAILED(hr)) {
        ReportError(FormatText(L"fail: CDisplayProfile::GetMonitorDeviceID() - ExecQuery() 0x%08lx",
                               static_cast<unsigned long>(hr)));
        return 0;
    }
    for (std::wstring& id : m_strMonitorIds) id.clear();
    m_nMonitorCount = 0;
    for (const std::wstring& deviceId : deviceIds) {
        if (m_nMonitorCount == kMaxMonitors) break;
        const std::wstring id = MonitorIdentifier(deviceId);
        if (id.empty()) {
            // An empty identifier would end every profile comparison early.
            ReportError(L"error: GetMonitorDeviceID() - a monitor device without a DeviceID is left out");
            continue;
        }
        m_strMonitorIds[static_cast<size_t>(m_nMonitorCount++)] = id;
    }
    return 1;
}

int CDisplayProfile::GetMonitorDeviceID() {
    try {
        if (!CheckInitialized()) return 0;
        if (!m_pManagement || !m_pManagement->Connected()) return 0;
        return QueryMonitors();
    } catch (...) {
        ReportCaught(L"fail: CDisplayProfile::GetMonitorDeviceID()");
        return 0;
    }
}

// Monitors may be missing for a moment after a change: read again, waiting
// longer from the sixth read on.
bool CDisplayProfile::ReadMonitorsWithRetries() {
    for (int read = 1; read <= kMonitorReads; ++read) {
        if (read > kReadsWithoutWait) Sleep(static_cast<DWORD>(read - kReadsWithoutWait) * kReadWaitStepMs);
        if (!GetMonitorDeviceID()) return false;
        if (m_nMonitorCount > 0) return true;
    }
    return false;
}

// The slot was saved with the current monitors: the same identifiers, each
// as often as it is attached now (two monitors of one model count twice).
bool CDisplayProfile::SlotMatchesMonitors(const std::wstring& section) const {
    std::vector<std::wstring> unmatched(m_strMonitorIds.begin(), m_strMonitorIds.begin() + m_nMonitorCount);
    for (int i = 0; i < m_nMonitorCount; ++i) {
        const std::wstring stored = settings::ReadText(section.c_str(), DisplayIdName(i).c_str(), L"");
        if (stored.empty()) return false;
        const auto match = std::find(unmatched.begin(), unmatched.end(), stored);
        if (match == unmatched.end()) return false;
        unmatched.erase(match);
    }
    return true;
}

int CDisplayProfile::FindDisplayHistory(int code, int* found, std::wstring* key) {
    if (!CheckInitialized()) return 0;
    Put(found, 0);
    if (code == kPanelOnlyCode) {
        Put(key, SlotSection(0));
        Put(found, 1);
        return 1;
    }
    if (!ReadMonitorsWithRetries()) return 0;
    for (int slot = 1;; ++slot) {
        const std::wstring section = SlotSection(slot);
        int count = 0;
        const SlotUse use = ReadSlotCount(section, &count);
        if (use == SlotUse::Free) return 1;
        if (use == SlotUse::Unreadable) {
            ReportError(L"error: FindDisplayHistory() - " + section + L"\\" + value::kCount +
                        L" is not a number; the profile is skipped");
            continue;
        }
        if (ReadValue(section, value::kMode) != code || count != m_nMonitorCount) continue;
        if (!SlotMatchesMonitors(section)) continue;
        Put(found, 1);
        Put(key, section.substr(0, kMaxKeyChars));
        return 1;
    }
}

int CDisplayProfile::FirstFreeSlot() const {
    int slot = 1;
    int count = 0;
    while (ReadSlotCount(SlotSection(slot), &count) != SlotUse::Free) ++slot;
    return slot;
}

int CDisplayProfile::GetDisplayHistory(const wchar_t* key, int* code, SIZE* first, SIZE* second, int* depth,
                                       int* secondDepth, int* frequency, int* secondFrequency, int* rotation,
                                       int* secondRotation, POINT* position, int* frequencyDenominator,
                                       int* secondFrequencyDenominator) {
    if (!CheckInitialized()) return 0;
    const int askedCode = code ? *code : 0;
    std::wstring section;
    if (askedCode == kPanelOnlyCode) {
        section = SlotSection(0);
    } else if (key && *key) {
        section.assign(key, wcsnlen(key, kMaxGivenKeyChars));
    } else {
        int found = 0;
        if (!FindDisplayHistory(askedCode, &found, &section) || !found) return 0;
    }
    m_videoSignal = {};

    const int mode = ReadValue(section, value::kMode);
    SIZE firstSize{ReadValue(section, value::kWidth), ReadValue(section, value::kHeight)};
    int firstDepth = ReadValue(section, value::kDepth);
    int firstFrequency = ReadValue(section, value::kFrequency);
    const int firstRotation = ReadValue(section, value::kRotation);
    const int firstDenominator = proc::IsWindows7OrLater() ? ReadValue(section, value::kFrequencyDenominator) : 0;
    if (!proc::IsWindows7OrLater() && mode == kPanelOnlyCode && proc::auditMode) {
        // A profile saved outside audit mode has no panel size: 0 x 0 is no mode.
        const SIZE panel{ReadValue(section, value::kPanelWidth), ReadValue(section, value::kPanelHeight)};
        if (panel.cx > 0 && panel.cy > 0) firstSize = panel;
    }

    SIZE secondSize{0, 0};
    int depth2 = 0, frequency2 = 0, rotation2 = 0, denominator2 = 0;
    POINT at{0, 0};
    const bool twoDisplays = IsTwoDisplayCode(mode);
    if (twoDisplays) {
        secondSize = {ReadValue(section, value::kSecondWidth), ReadValue(section, value::kSecondHeight)};
        depth2 = ReadValue(section, value::kSecondDepth);
        frequency2 = ReadValue(section, value::kSecondFrequency);
        rotation2 = ReadValue(section, value::kSecondRotation);
        if (proc::IsWindows7OrLater()) denominator2 = ReadValue(section, value::kSecondFrequencyDenominator);
        at = {ReadPositionText(section, value::kPositionX), ReadPositionText(section, value::kPositionY)};
    }

    // Audit mode before Windows 7 uses fixed, safe settings.
    if (!proc::IsWindows7OrLater() && proc::auditMode && mode != kPanelOnlyCode) {
        if (twoDisplays) {
            secondSize = {kDefaultWidth, kDefaultHeight};
            depth2 = kDefaultDepth;
            frequency2 = kDefaultFrequency;
        } else {
            firstSize = {kDefaultWidth, kDefaultHeight};
            firstDepth = kDefaultDepth;
            firstFrequency = kDefaultFrequency;
        }
    }
    if (proc::IsWindows7OrLater()) ReadVideoSignal(section);

    Put(code, mode);
    Put(first, firstSize);
    Put(second, secondSize);
    Put(depth, firstDepth);
    Put(secondDepth, depth2);
    Put(frequency, firstFrequency);
    Put(secondFrequency, frequency2);
    Put(rotation, firstRotation);
    Put(secondRotation, rotation2);
    Put(position, at);
    Put(frequencyDenominator, firstDenominator);
    Put(secondFrequencyDenominator, denominator2);
    return 1;
}

void CDisplayProfile::ReadVideoSignal(const std::wstring& section) {
    auto read = [&](const wchar_t* name) { return static_cast<std::uint32_t>(ReadValue(section, name)); };
    DISPLAYCONFIG_VIDEO_SIGNAL_INFO& signal = m_videoSignal;
    signal.pixelRate = (static_cast<std::uint64_t>(read(value::kPixelRateHigh)) << 32) | read(value::kPixelRateLow);
    signal.hSyncFreq = {read(value::kHSyncNumerator), read(value::kHSyncDenominator)};
    signal.vSyncFreq = {read(value::kVSyncNumerator), read(value::kVSyncDenominator)};
    const std::uint32_t active = read(value::kActiveSize);
    const std::uint32_t total = read(value::kTotalSize);
    signal.activeSize = {active & 0xFFFF, active >> 16};
    signal.totalSize = {total & 0xFFFF, total >> 16};
    signal.videoStandard = 255;
    signal.scanLineOrdering = DISPLAYCONFIG_SCANLINE_ORDERING_PROGRESSIVE;
}

void CDisplayProfile::WriteVideoSignal(const std::wstring& section, int code) {
    DISPLAYCONFIG_VIDEO_SIGNAL_INFO signal{};
    if (!m_pVideoSignals) return;
    // Values that were not read are not written: the profile keeps no signal
    // rather than a wrong one.
    if (!m_pVideoSignals->GetVideoSignalInfo(code, &signal)) {
        ReportError(FormatText(L"fail: SetDisplayProfile() - video signal of mode=0x%x not read", code));
        return;
    }
    auto write = [&](const wchar_t* name, std::uint32_t data) { WriteValue(section, name, static_cast<int>(data)); };
    write(value::kPixelRateHigh, static_cast<std::uint32_t>(signal.pixelRate >> 32));
    write(value::kPixelRateLow, static_cast<std::uint32_t>(signal.pixelRate & 0xFFFFFFFFu));
    write(value::kHSyncNumerator, signal.hSyncFreq.Numerator);
    write(value::kHSyncDenominator, signal.hSyncFreq.Denominator);
    write(value::kVSyncNumerator, signal.vSyncFreq.Numerator);
    write(value::kVSyncDenominator, signal.vSyncFreq.Denominator);
    write(value::kActiveSize, (signal.activeSize.cy << 16) + (signal.activeSize.cx & 0xFFFF));
    write(value::kTotalSize, (signal.totalSize.cy << 16) + (signal.totalSize.cx & 0xFFFF));
}

int CDisplayProfile::SetDisplayProfile(int code, int width, int height, int secondWidth, int secondHeight, int depth,
                                       int secondDepth, int frequency, int secondFrequency, int rotation,
                                       int secondRotation, int positionX, int positionY, int noNewSlot,
                                       const SIZE* panelSize, int frequencyDenominator,
                                       int secondFrequencyDenominator) {
    if (!CheckInitialized()) return 0;
    std::wstring section;
    if (code == kPanelOnlyCode) {
        section = SlotSection(0);
    } else {
        int found = 0;
        if (!FindDisplayHistory(code, &found, &section)) {
            ReportError(L"fail: SetDisplayProfile() - FindDisplayHistory()");
            return 0;
        }
        if (!found) {
            if (noNewSlot) return 1;
            section = SlotSection(FirstFreeSlot());
        }
        for (int i = 0; i < m_nMonitorCount; ++i) {
            settings::WriteText(section.c_str(), DisplayIdName(i).c_str(), m_strMonitorIds[static_cast<size_t>(i)]);
        }
    }

    WriteValue(section, value::kCount, m_nMonitorCount);
    WriteValue(section, value::kMode, code);
    WriteValue(section, value::kWidth, width);
    WriteValue(section, value::kHeight, height);
    WriteValue(section, value::kDepth, depth);
    WriteValue(section, value::kFrequency, frequency);
    WriteValue(section, value::kRotation, rotation);
    if (proc::IsWindows7OrLater()) WriteValue(section, value::kFrequencyDenominator, frequencyDenominator);
    if (proc::auditMode) {
        ReportError(FormatText(L"Saving Profiles mode=0x%x w=%d, h=%d, depth=%d, freq=%d, rotate=%d, cnt=%d", code,
                               width, height, depth, frequency, rotation, m_nMonitorCount));
    }
    if (!proc::IsWindows7OrLater() && panelSize && proc::auditMode) {
        WriteValue(section, value::kPanelWidth, panelSize->cx);
        WriteValue(section, value::kPanelHeight, panelSize->cy);
    }
    if (IsTwoDisplayCode(code)) {
        WriteValue(section, value::kSecondWidth, secondWidth);
        WriteValue(section, value::kSecondHeight, secondHeight);
        WriteValue(section, value::kSecondDepth, secondDepth);
        WriteValue(section, value::kSecondFrequency, secondFrequency);
        WriteValue(section, value::kSecondRotation, secondRotation);
        if (proc::IsWindows7OrLater()) WriteValue(section, value::kSecondFrequencyDenominator, secondFrequencyDenominator);
        settings::WriteText(section.c_str(), value::kPositionX, FormatText(L"%d", positionX));
        settings::WriteText(section.c_str(), value::kPositionY, FormatText(L"%d", positionY));
    }
    if (proc::IsWindows7OrLater()) WriteVideoSignal(section, code);
    return 1;
}

int CDisplayProfile::DetectAuditMode() {
    if (!proc::IsVistaOrLater()) {
        const DWORD attributes = GetFileAttributesW(kSysprepFile);
        proc::auditMode = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        return proc::auditMode ? 1 : 0;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, settings::kImageState.path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return proc::auditMode ? 1 : 0;  // the flag as it was
    }
    // At most 260 bytes, and always terminated inside them.
    wchar_t state[kImageStateBytes / sizeof(wchar_t) + 1] = {};
    DWORD type = 0, size = kImageStateBytes;
    const LSTATUS read =
        RegQueryValueExW(key, settings::kImageState.name, nullptr, &type, reinterpret_cast<BYTE*>(state), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        state[0] = L'\0';
        if (read != ERROR_FILE_NOT_FOUND) {
            ReportError(L"error: DetectAuditMode() - ImageState is not a text of at most 260 bytes");
        }
    }
    proc::auditMode = std::wcscmp(state, kImageStateComplete) != 0;
    return proc::auditMode ? 1 : 0;
}

// The resolution of the default profile: the first display's largest, or
// the notebook's panel when the adapter offers no more than VGA (a generic
// driver that does not know the panel) or the model has a 1024 x 600 panel.
SIZE CDisplayProfile::ChooseDefaultResolution(const profiles::DisplayMode& current) {
    SIZE chosen{current.width, current.height};
    if (m_pDisplayModes) {
        SIZE largest{};
        if (m_pDisplayModes->LargestResolution(&largest)) chosen = largest;
    }
    if (chosen.cx <= kVgaWidth && chosen.cy <= kVgaHeight) {
        if (proc::IsFerrinR()) {
            chosen = kFerrinPanel;
            ReportError(L"Panel Recognition: Ferrin-R");
        } else {
            chosen = kWidePanel;
            ReportError(L"Panel Recognition: 1280x800");
        }
    }
    if (proc::IsMenuNetbook() || proc::IsWheelNetbook()) {  // the 1024 x 600 netbooks
        chosen = kNetbookPanel;
    }
    return chosen;
}

int CDisplayProfile::DefineDefaultDisplay() {
    if (!CheckInitialized()) return 0;
    const std::wstring section = SlotSection(0);
    const int mode = ReadValue(section, value::kMode);
    const int storedWidth = ReadValue(section, value::kWidth);
    const int storedHeight = ReadValue(section, value::kHeight);
    DetectAuditMode();
    const bool implausible = mode == 0 || (storedWidth <= kVgaWidth && storedHeight <= kVgaHeight);
    if (!implausible && !proc::auditMode) return 1;

    profiles::DisplayMode current;
    if (!m_pDisplayModes || !m_pDisplayModes->CurrentMode(&current)) {
        ReportError(L"fail: CDisplayProfile::DefineDefaultDisplay() - current display mode");
        return 0;
    }
    const SIZE size = ChooseDefaultResolution(current);
    const int frequency = current.frequency <= kLowestUsableFrequency ? kDefaultFrequency : current.frequency;
    const int depth = current.depth <= kLowestUsableDepth ? kDefaultDepth : current.depth;
    const int width = static_cast<int>(size.cx), height = static_cast<int>(size.cy);
    SetDisplayProfile(kPanelOnlyCode, width, height, kDefaultWidth, kDefaultHeight, depth, kDefaultDepth, frequency,
                      kDefaultFrequency, RotationDegrees(current.orientation), 0, kDefaultWidth, 0, 0, &size, 0, 0);
    ReportError(FormatText(L"Init LCDonly restoration Resolution= w1=%d, h1=%d, w2=%d, h2=%d", width, height,
                           kDefaultWidth, kDefaultHeight));
    return 1;
}

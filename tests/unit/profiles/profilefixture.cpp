#include "profilefixture.h"

#include <algorithm>

#include "common/settingsstore.h"
#include "common/processstate.h"
#include "reportlog.h"

namespace profiletest {

namespace {
constexpr wchar_t kImageStatePath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\State";
constexpr wchar_t kImageStateName[] = L"ImageState";
constexpr wchar_t kClassGuidMark[] = L"ClassGuid";

void RemoveTestSettings() {
    const std::wstring path = std::wstring(L"Software\\Korvane\\") + kTestApplication;
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
}

void ResetProcessValues() {
    proc::windowsVersion = 8;
    proc::modelFamily = 0;
    proc::auditMode = false;
}
}  // namespace

HRESULT FakeManagement::QueryDeviceIds(const wchar_t* query, std::vector<std::wstring>* ids) {
    m_state->queries.emplace_back(query);
    if (m_state->classQueryFails && std::wstring(query).find(kClassGuidMark) != std::wstring::npos) {
        return static_cast<HRESULT>(0x80041001);  // WBEM_E_FAILED
    }
    if (FAILED(m_state->queryResult)) return m_state->queryResult;
    *ids = m_state->deviceIds;
    return S_OK;
}

bool FakeDisplayModes::LargestResolution(SIZE* size) {
    if (largest) {
        *size = *largest;
        return true;
    }
    if (listed.empty()) return false;
    *size = *std::max_element(listed.begin(), listed.end(),
                              [](const SIZE& a, const SIZE& b) { return a.cx * a.cy < b.cx * b.cy; });
    return true;
}

void ProfileSettingsTest::SetUp() {
    settings::SetApplicationName(kTestApplication);
    RemoveTestSettings();
    ResetProcessValues();
    ReportLog::Clear();
}

void ProfileSettingsTest::TearDown() {
    ResetProcessValues();
    RemoveTestSettings();
    settings::SetApplicationName(L"vqhkcore");
}

void ProfileTest::SetUp() {
    ProfileSettingsTest::SetUp();
    // The audit state of the machine must not decide these cases.
    imageState_.Set(L"IMAGE_STATE_COMPLETE");
    Attach({L"DISPLAY\\VQP1366\\4&1A2B&0&UID0"});
}

void ProfileTest::TearDown() {
    store_.reset();
    ProfileSettingsTest::TearDown();
}

int ProfileTest::MakeStore(bool initialise) {
    store_.reset();
    store_ = std::make_unique<CDisplayProfile>(std::make_unique<FakeManagement>(management_));
    return initialise ? store_->Init(&modes_, &signals_) : 0;
}

int ProfileTest::SaveSingle(int code, int width, int height, int noNewSlot) {
    return store_->SetDisplayProfile(code, width, height, 0, 0, 32, 0, 60, 0, 0, 0, 0, 0, noNewSlot);
}

int ProfileTest::SaveTwo(int code, int width, int height, int secondWidth, int secondHeight, int x, int y,
                         int noNewSlot) {
    return store_->SetDisplayProfile(code, width, height, secondWidth, secondHeight, 32, 16, 60, 75, 0, 90, x, y,
                                     noNewSlot);
}

std::wstring SectionPath(const std::wstring& section) {
    return std::wstring(L"Software\\Korvane\\") + kTestApplication + L"\\" + section;
}

namespace {
class Key {
public:
    explicit Key(const std::wstring& path, HKEY root = HKEY_CURRENT_USER) {
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &m_key) != ERROR_SUCCESS) m_key = nullptr;
    }
    ~Key() {
        if (m_key) RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& path, const wchar_t* name) {
    Key key(path, root);
    if (!key.get()) return std::nullopt;
    wchar_t buffer[1024] = {};
    DWORD type = 0, size = sizeof buffer - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::wstring(buffer);
}
}  // namespace

bool HasValue(const std::wstring& section, const wchar_t* name) {
    Key key(SectionPath(section));
    return key.get() && RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<DWORD> Dword(const std::wstring& section, const wchar_t* name) {
    Key key(SectionPath(section));
    DWORD type = 0, data = 0, size = sizeof data;
    if (!key.get() ||
        RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        return std::nullopt;
    }
    return data;
}

std::optional<std::wstring> Text(const std::wstring& section, const wchar_t* name) {
    return ReadText(HKEY_CURRENT_USER, SectionPath(section), name);
}

bool HasSection(const std::wstring& section) { return Key(SectionPath(section)).get() != nullptr; }

void DeleteSection(const std::wstring& section) { RegDeleteTreeW(HKEY_CURRENT_USER, SectionPath(section).c_str()); }

void WriteDword(const std::wstring& section, const wchar_t* name, DWORD data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
}

ImageStateGuard::ImageStateGuard() {
    m_keyExisted = Key(kImageStatePath, HKEY_LOCAL_MACHINE).get() != nullptr;
    m_saved = ReadText(HKEY_LOCAL_MACHINE, kImageStatePath, kImageStateName);
}

ImageStateGuard::~ImageStateGuard() {
    if (!m_keyExisted) {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kImageStatePath);
        return;
    }
    if (m_saved) {
        Set(*m_saved);
    } else {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kImageStatePath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, kImageStateName);
            RegCloseKey(key);
        }
    }
}

void ImageStateGuard::Set(const std::optional<std::wstring>& state) {
    if (!state) {
        // Only a key of the test's own can go; the machine's stays.
        if (!m_keyExisted) RegDeleteKeyW(HKEY_LOCAL_MACHINE, kImageStatePath);
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kImageStatePath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, kImageStateName, 0, REG_SZ, reinterpret_cast<const BYTE*>(state->c_str()),
                   static_cast<DWORD>((state->size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace profiletest

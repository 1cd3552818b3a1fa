// Shared set-up of the profile store tests: settings under an application
// name of the tests' own (removed before and after), the process-wide values
// put back, a fresh log, and hand-written stand-ins for the management
// instrumentation, the first display's modes and the Windows 7 video signal.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "profiles/displayprofile.h"
#include "profiles/profileports.h"

namespace profiletest {

inline constexpr wchar_t kTestApplication[] = L"vqhkcore_profiletests";

// What the fake management service answers; the test keeps it and changes
// the attached monitors between calls.
struct ManagementState {
    HRESULT security = S_OK;
    HRESULT locator = S_OK;
    HRESULT connect = S_OK;
    bool classQueryFails = false;  // as Wine's WMI, which has no ClassGuid
    HRESULT queryResult = S_OK;
    std::vector<std::wstring> deviceIds;
    std::vector<std::wstring> queries;  // every query run, in order
};

class FakeManagement : public profiles::IManagementService {
public:
    explicit FakeManagement(std::shared_ptr<ManagementState> state) : m_state(std::move(state)) {}
    HRESULT InitializeSecurity() override { return m_state->security; }
    HRESULT CreateLocator() override { return m_state->locator; }
    HRESULT Connect(const wchar_t*) override {
        m_connected = SUCCEEDED(m_state->connect);
        return m_state->connect;
    }
    bool Connected() const override { return m_connected; }
    HRESULT QueryDeviceIds(const wchar_t* query, std::vector<std::wstring>* ids) override;

private:
    std::shared_ptr<ManagementState> m_state;
    bool m_connected = false;
};

class FakeDisplayModes : public profiles::IProfileDisplayModes {
public:
    profiles::DisplayMode current{1366, 768, 32, 60, 0};
    std::vector<SIZE> listed{{800, 600}, {1024, 768}, {1366, 768}};
    std::optional<SIZE> largest;  // none: the largest listed
    bool currentFails = false;
    bool CurrentMode(profiles::DisplayMode* mode) override {
        if (currentFails) return false;
        *mode = current;
        return true;
    }
    bool LargestResolution(SIZE* size) override;
};

class FakeVideoSignals : public profiles::IVideoSignalSource {
public:
    std::optional<DISPLAYCONFIG_VIDEO_SIGNAL_INFO> signal;  // none: reading fails
    std::vector<int> codes;
    bool GetVideoSignalInfo(int code, DISPLAYCONFIG_VIDEO_SIGNAL_INFO* out) override {
        codes.push_back(code);
        if (!signal) return false;
        *out = *signal;
        return true;
    }
};

// The machine's image state value, saved at construction and put back at destruction.
class ImageStateGuard {
public:
    ImageStateGuard();
    ~ImageStateGuard();
    // Writes the value (creating the key); std::nullopt deletes the whole key.
    void Set(const std::optional<std::wstring>& state);

private:
    bool m_keyExisted = false;
    std::optional<std::wstring> m_saved;
};

// Settings and process-wide values of the tests' own.
class ProfileSettingsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// A store on the fake management service, initialised with the fake display
// modes and video signals; the attached monitors are set by device id.
class ProfileTest : public ProfileSettingsTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new store (the old one is destroyed); Init's result.
    int MakeStore(bool initialise = true);
    void Attach(std::vector<std::wstring> deviceIds) { management_->deviceIds = std::move(deviceIds); }
    // SetDisplayProfile with one display's values, or two with a position.
    int SaveSingle(int code, int width, int height, int noNewSlot = 0);
    int SaveTwo(int code, int width, int height, int secondWidth, int secondHeight, int x, int y, int noNewSlot = 0);

    std::shared_ptr<ManagementState> management_ = std::make_shared<ManagementState>();
    FakeDisplayModes modes_;
    FakeVideoSignals signals_;
    std::unique_ptr<CDisplayProfile> store_;
    ImageStateGuard imageState_;
};

// Registry helpers over the test application's settings.
std::wstring SectionPath(const std::wstring& section);
bool HasValue(const std::wstring& section, const wchar_t* name);
std::optional<DWORD> Dword(const std::wstring& section, const wchar_t* name);
std::optional<std::wstring> Text(const std::wstring& section, const wchar_t* name);
bool HasSection(const std::wstring& section);
void DeleteSection(const std::wstring& section);
void WriteDword(const std::wstring& section, const wchar_t* name, DWORD data);


}  // namespace profiletest

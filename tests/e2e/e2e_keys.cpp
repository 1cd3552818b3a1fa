// Key pre-processing in the running program: keys pressed on the raw input
// road under Windows 7 reach their branches (the trace shows the calls they
// make), Shift is read from the real keyboard state, the wireless master key
// switches the simulated firmware's radios and remembers them across runs,
// and the settings the program writes at start.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "programtest.h"
#include "simfirmware.h"
#include "vqdrive.h"

namespace {

using Calls = std::vector<std::string>;

constexpr wchar_t kAppKey[] = L"Software\\Korvane\\vqhkcore";
constexpr wchar_t kSettingsKey[] = L"Software\\Korvane\\vqhkcore\\Settings";

void SetSettingValue(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

bool ReadDword(const wchar_t* key, const wchar_t* name, DWORD* value) {
    DWORD size = sizeof *value;
    return RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, value, &size) == ERROR_SUCCESS;
}

void RemoveTestValues() {
    for (const wchar_t* name : {L"vqsm", L"vqsr", L"vqav", L"vqrd"}) RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kAppKey, L"WirelessStatus");
}

class KeysE2eTest : public ProgramTest {
protected:
    KeysE2eTest() : ProgramTest(L"vq_keys_trace.txt") {}
    void SetUp() override {
        ProgramTest::SetUp();
        RemoveTestValues();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        RemoveTestValues();
    }
    // Windows 7: the notebook keys arrive as raw input.
    void Start() {
        vqdrive::DeleteFileIfPresent(vqdrive::LogFilePath());
        ProgramTest::Start(L"win7");
    }
    // Taps a notebook key and returns the calls its processing made, once
    // the call `last` has appeared (or after a short wait when it is empty).
    Calls Tap(BYTE scanCode, const std::string& last) {
        const size_t before = vqdrive::TraceCalls(trace_).size();
        vqdrive::TapKey(0xFF, scanCode);
        const std::string key = "ProcessKey 255 " + std::to_string(scanCode) + " 0";
        Calls calls = vqdrive::WaitForCall(trace_, last.empty() ? key : last, 3000);
        if (last.empty()) {
            vqdrive::Pause(200);
            calls = vqdrive::TraceCalls(trace_);
        }
        // What follows the key's own line (keys pressed just before it may come first).
        const auto from = std::find(calls.begin() + std::min(before, calls.size()), calls.end(), key);
        EXPECT_NE(from, calls.end()) << "key " << int(scanCode) << " never reached ProcessKey";
        return from == calls.end() ? Calls{} : Calls(from + 1, calls.end());
    }
    bool WaitForDword(const wchar_t* key, const wchar_t* name, DWORD expected, DWORD timeoutMs = 3000) {
        const DWORD start = GetTickCount();
        DWORD value = 0;
        while (!(ReadDword(key, name, &value) && value == expected)) {
            if (GetTickCount() - start > timeoutMs) return false;
            vqdrive::Pause(20);
        }
        return true;
    }
    std::string Log() { return vqdrive::ReadFileBytes(vqdrive::LogFilePath()); }

};

TEST_F(KeysE2eTest, NotebookKeysReachTheirBranches) {
    Start();
    struct Case { BYTE scan; Calls calls; };
    const Case cases[] = {
        {2, {"HasGraphicsDriver"}},                    // display switch: no graphics driver yet
        {8, {"HasWin7Component", "ProcessHotkey 8"}},  // first brightness key reads the topology
        {9, {"ProcessHotkey 9"}},                      // within the same burst
        {49, {}},
        {111, {"SelectSRSEffect"}},
        {118, {"SelectResolution"}},
        {3, {"ProcessHotkey 3"}},
        {58, {"ProcessHotkey 134"}},  // optical drive eject
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Tap(c.scan, c.calls.empty() ? "" : c.calls.back()), c.calls) << int(c.scan);
    }
    EXPECT_TRUE(program_.Running());
}

TEST_F(KeysE2eTest, ShiftBrightnessFollowsTheResolutionSetting) {
    Start();
    vqdrive::PressKey(VK_SHIFT, 0x2A);
    const Calls withResolution = Tap(9, "HasGraphicsDriver");
    vqdrive::ReleaseKey(VK_SHIFT, 0x2A);
    EXPECT_EQ(withResolution, (Calls{"HasGraphicsDriver"})) << "Shift + brightness is a resolution key";

    SetSettingValue(L"vqsm", 0);
    Start();
    vqdrive::PressKey(VK_SHIFT, 0x2A);
    const Calls withBrightness = Tap(9, "ProcessHotkey 9");
    vqdrive::ReleaseKey(VK_SHIFT, 0x2A);
    EXPECT_EQ(withBrightness, (Calls{"HasWin7Component", "ProcessHotkey 9"}));
}

TEST_F(KeysE2eTest, WirelessMasterKeyRemembersTheRadiosAcrossRuns) {
    using vqdrive::firmware::SetValue;
    using vqdrive::firmware::Value;
    SetValue(vqsim::value::kRadio1, 1);
    SetValue(vqsim::value::kRadio2, 0);
    SetValue(vqsim::value::kRadio3, 1);
    Start();
    Tap(85, "SelectRFStatus");
    ASSERT_TRUE(WaitForDword(kAppKey, L"WirelessStatus", 101));
    EXPECT_EQ(Value(vqsim::value::kRadio1, 9), 0u);
    EXPECT_EQ(Value(vqsim::value::kRadio3, 9), 0u);

    Start();  // a new run: the key block is gone, the memory stays
    Tap(85, "SelectRFStatus");
    EXPECT_EQ(Value(vqsim::value::kRadio1, 9), 1u);
    EXPECT_EQ(Value(vqsim::value::kRadio2, 9), 0u);
    EXPECT_EQ(Value(vqsim::value::kRadio3, 9), 1u);
}

TEST_F(KeysE2eTest, UnreadableRadiosAreReportedAndNothingIsRemembered) {
    vqdrive::firmware::SetInvalidRadioAnswers(100);
    Start();
    vqdrive::TapKey(0xFF, 85);
    ASSERT_TRUE(vqdrive::WaitForLine(vqdrive::LogFilePath(), "Cannot Get RFOnOffStatus.", 5000)) << Log();
    DWORD remembered = 0;
    EXPECT_FALSE(ReadDword(kAppKey, L"WirelessStatus", &remembered));
}

TEST_F(KeysE2eTest, VolumeKeyOnWindows7ShowsTheProgramsOwnVolumePicture) {
    Start();
    vqdrive::TapKey(VK_VOLUME_UP, 0x30);
    const Calls calls = vqdrive::WaitForCall(trace_, "ShowVolumeIcon 1 -1", 3000);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "ShowVolumeIcon 1 -1"), calls.end());
}

TEST_F(KeysE2eTest, NumLockPressesShowTurningOnAndOff) {
    Start();
    Calls codes;
    for (int press = 0; press < 2; ++press) {
        const size_t before = vqdrive::TraceCalls(trace_).size();
        // Held while the program handles it, as a person's key press is.
        vqdrive::PressKey(VK_NUMLOCK, 0x45, true);
        vqdrive::Pause(150);
        vqdrive::ReleaseKey(VK_NUMLOCK, 0x45, true);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 3000) {
            const Calls calls = vqdrive::TraceCalls(trace_);
            auto it = std::find_if(calls.begin() + std::min(before, calls.size()), calls.end(),
                                   [](const std::string& c) { return c.rfind("ProcessHotkey 12", 0) == 0; });
            if (it != calls.end()) {
                codes.push_back(*it);
                break;
            }
            vqdrive::Pause(20);
        }
    }
    ASSERT_EQ(codes.size(), 2u);
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (Calls{"ProcessHotkey 128", "ProcessHotkey 129"})) << "one press turns on, the other off";
}

TEST_F(KeysE2eTest, FreshUserFindsTheDebugSettingAtZeroAfterTheFirstStart) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
    Start();
    DWORD debug = 7;
    ASSERT_TRUE(ReadDword(kSettingsKey, L"vqdg", &debug)) << "written by the program, read by this process";
    EXPECT_EQ(debug, 0u);
    EXPECT_EQ(Log().find("Can't register device notification"), std::string::npos);
}

}  // namespace

// Key pre-processing in the running program: keys pressed on the raw input
// road under Windows 7 reach their branches (firmware, OSD, and the traces of
// the subsystems not built yet), Shift is read from the real keyboard state,
// the wireless master key switches the simulated firmware's radios and
// remembers them across runs, and the settings the program writes at start.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "osd/hotkeypicture.h"
#include "osd/imagestrip.h"
#include "osd/togglechoices.h"
#include "programtest.h"
#include "screenpixels.h"
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
    // Taps a notebook key and returns the calls of unbuilt subsystems its
    // processing made, once the call `last` has appeared (or after a short
    // wait when it is empty). The dispatched hotkeys ("ProcessHotkey") are
    // left out: the tests see them by their effect.
    Calls Tap(BYTE scanCode, const std::string& last) {
        const size_t before = TraceCalls().size();
        vqdrive::TapKey(0xFF, scanCode);
        // The key's own trace line is the only sign that a key without an action was handled at all.
        const std::string key = "ProcessKey 255 " + std::to_string(scanCode) + " 0";
        Calls calls = WaitForCall(last.empty() ? key : last, 3000);
        if (last.empty()) {
            vqdrive::Pause(200);
            calls = TraceCalls();
        }
        // What follows the key's own line (keys pressed just before it may come first).
        const auto from = std::find(calls.begin() + std::min(before, calls.size()), calls.end(), key);
        EXPECT_NE(from, calls.end()) << "key " << int(scanCode) << " never reached ProcessKey";
        Calls stubs;
        for (auto it = from == calls.end() ? calls.end() : from + 1; it != calls.end(); ++it) {
            if (it->rfind("ProcessHotkey", 0) != 0) stubs.push_back(*it);
        }
        return stubs;
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
    bool WaitForFirmware(const wchar_t* name, DWORD expected, DWORD timeoutMs = 3000) {
        const DWORD start = GetTickCount();
        while (vqdrive::firmware::Value(name, 99) != expected && GetTickCount() - start < timeoutMs) vqdrive::Pause(20);
        return vqdrive::firmware::Value(name, 99) == expected;
    }
    // Waits until the OSD is gone (it hides itself 1.5 s after a picture).
    bool WaitForOsdHidden() {
        const DWORD start = GetTickCount();
        while (OsdShown() && GetTickCount() - start < 3000) vqdrive::Pause(20);
        return !OsdShown();
    }
    std::string Log() { return vqdrive::ReadFileBytes(vqdrive::LogFilePath()); }
};

// The picture of the battery key: the unknown-charge picture where the
// machine has no battery (as under Wine here), else one of the charge pictures.
bool BatteryUnknownHere() {
    SYSTEM_POWER_STATUS status{};
    return GetSystemPowerStatus(&status) && status.BatteryLifePercent == 255;
}

TEST_F(KeysE2eTest, NotebookKeysReachTheirBranches) {
    vqdrive::firmware::SetValue(vqsim::value::kBrightness, 5);
    Start();
    constexpr int kNoPicture = -1;
    struct Case {
        BYTE scan;
        Calls stubs;       // traces of subsystems not built yet: all they do
        DWORD brightness;  // the firmware's brightness afterwards
        int picture;       // the icon code on screen afterwards
    };
    const Case cases[] = {
        {2, {"HasGraphicsDriver"}, 5, kNoPicture},  // display switch: no graphics driver yet
        {49, {}, 5, kNoPicture},                    // a key without an action
        {111, {}, 5, kNoPicture},                   // the SRS selector finds no SRS device here
        {118, {}, 5, kNoPicture},                   // the resolution selector finds no graphics driver
        {8, {"HasWin7Component"}, 6, osd::kBrightnessCode},  // the first brightness key reads the topology
        {9, {}, 5, osd::kBrightnessCode},                    // within the same burst
        {58, {}, 5, 134},                                    // optical drive eject
        {3, {}, 5, osd::kBatteryCode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.scan));
        EXPECT_EQ(Tap(c.scan, c.stubs.empty() ? "" : c.stubs.back()), c.stubs);
        EXPECT_TRUE(WaitForFirmware(vqsim::value::kBrightness, c.brightness));
        if (c.picture == kNoPicture) {
            EXPECT_FALSE(OsdShown());
        } else if (c.picture == osd::kBrightnessCode) {
            // The level strip's brightness background left of the bar.
            EXPECT_TRUE(WaitForOsdPicture(StripFramePicture(osd::kLevelStripFile, 0), 2000, osd::kBrightnessBarAt.x));
        } else if (c.picture == osd::kBatteryCode && !BatteryUnknownHere()) {
            EXPECT_TRUE(OsdShown());
        } else {
            EXPECT_TRUE(WaitForOsdPicture(IconCodePicture(c.picture == osd::kBatteryCode ? 21 : c.picture), 2000));
        }
    }
    EXPECT_TRUE(program_.Running());
}

TEST_F(KeysE2eTest, ShiftBrightnessFollowsTheResolutionSetting) {
    vqdrive::firmware::SetValue(vqsim::value::kBrightness, 5);
    Start();
    vqdrive::PressKey(VK_SHIFT, 0x2A);
    const Calls withResolution = Tap(9, "HasGraphicsDriver");
    vqdrive::ReleaseKey(VK_SHIFT, 0x2A);
    // The resolution changer is not built: asking for its driver is all the key does.
    EXPECT_EQ(withResolution, (Calls{"HasGraphicsDriver"})) << "Shift + brightness is a resolution key";
    vqdrive::Pause(200);
    EXPECT_EQ(vqdrive::firmware::Value(vqsim::value::kBrightness), 5u) << "the brightness stays";
    EXPECT_FALSE(OsdShown());

    SetSettingValue(L"vqsm", 0);
    Start();
    vqdrive::PressKey(VK_SHIFT, 0x2A);
    const Calls withBrightness = Tap(9, "HasWin7Component");
    vqdrive::ReleaseKey(VK_SHIFT, 0x2A);
    // The Windows 7 display component is not built: only its trace shows the topology was asked for.
    EXPECT_EQ(withBrightness, (Calls{"HasWin7Component"}));
    EXPECT_TRUE(WaitForFirmware(vqsim::value::kBrightness, 4));
}

TEST_F(KeysE2eTest, WirelessMasterKeyRemembersTheRadiosAcrossRuns) {
    using vqdrive::firmware::SetValue;
    using vqdrive::firmware::Value;
    SetValue(vqsim::value::kRadio1, 1);
    SetValue(vqsim::value::kRadio2, 0);
    SetValue(vqsim::value::kRadio3, 1);
    Start();
    vqdrive::TapKey(0xFF, 85);
    ASSERT_TRUE(WaitForDword(kAppKey, L"WirelessStatus", 101));
    EXPECT_EQ(Value(vqsim::value::kRadio1, 9), 0u);
    EXPECT_EQ(Value(vqsim::value::kRadio3, 9), 0u);
    // The radio overview shows what the firmware reports now: all three off.
    EXPECT_TRUE(WaitForOsdPicture(StripFramePicture(osd::kRfFastStripFile, 0), 2000));

    Start();  // a new run: the key block is gone, the memory stays
    vqdrive::TapKey(0xFF, 85);
    EXPECT_TRUE(WaitForFirmware(vqsim::value::kRadio1, 1));
    EXPECT_TRUE(WaitForFirmware(vqsim::value::kRadio3, 1));
    EXPECT_EQ(Value(vqsim::value::kRadio2, 9), 0u);
    // The first and third radio on: 4 x 1 + 2 x 1 + 0.
    EXPECT_TRUE(WaitForOsdPicture(StripFramePicture(osd::kRfFastStripFile, 6), 2000));
}

TEST_F(KeysE2eTest, WirelessMasterKeyShowsTheRadiosPresentSideBySide) {
    using vqdrive::firmware::SetValue;
    SetValue(vqsim::value::kRadio1, 0);
    SetValue(vqsim::value::kRadio2, 2);  // not present
    SetValue(vqsim::value::kRadio3, 0);
    // All off: the remembered radios come back, the second one as not present.
    DWORD remembered = 121;
    RegSetKeyValueW(HKEY_CURRENT_USER, kAppKey, L"WirelessStatus", REG_DWORD, &remembered, sizeof remembered);
    Start();
    vqdrive::TapKey(0xFF, 85);
    EXPECT_TRUE(WaitForFirmware(vqsim::value::kRadio1, 1));
    EXPECT_TRUE(WaitForFirmware(vqsim::value::kRadio3, 1));
    // Two radios on the two-radio background; its left edge lies left of the first icon.
    const Picture background = StripFramePicture(osd::kRfStripFile, 0);
    EXPECT_TRUE(WaitForOsdPicture(background, 2000, 20)) << "the two-radio background";
    EXPECT_TRUE(program_.Running());
}

TEST_F(KeysE2eTest, SrsKeyWithoutASoundEffectFilterIsReportedAndTheProgramRunsOn) {
    Start();
    for (int press = 0; press < 2; ++press) {
        vqdrive::TapKey(0xFF, 111);
        ASSERT_TRUE(vqdrive::WaitForLine(vqdrive::LogFilePath(), "Cannot use SRS effects.", 5000)) << Log();
        EXPECT_FALSE(OsdShown());
    }
    // The program still acts on the next key.
    vqdrive::TapKey(0xFF, 58);
    EXPECT_TRUE(WaitForOsdPicture(IconCodePicture(134), 2000));
    EXPECT_TRUE(program_.Running());
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
    // The level strip's volume background left of the bar: the program's own
    // picture, not the brightness one.
    EXPECT_TRUE(WaitForOsdPicture(StripFramePicture(osd::kLevelStripFile, 2), 3000, osd::kVolumeBarAt.x));
}

TEST_F(KeysE2eTest, NumLockPressesShowTurningOnAndOff) {
    Start();
    constexpr int kNumLockOn = 128, kNumLockOff = 129;
    std::vector<int> shown;
    for (int press = 0; press < 2; ++press) {
        ASSERT_TRUE(WaitForOsdHidden());
        // Held while the program handles it, as a person's key press is.
        vqdrive::PressKey(VK_NUMLOCK, 0x45, true);
        vqdrive::Pause(150);
        vqdrive::ReleaseKey(VK_NUMLOCK, 0x45, true);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 3000) {
            if (WaitForOsdPicture(IconCodePicture(kNumLockOn), 0)) {
                shown.push_back(kNumLockOn);
                break;
            }
            if (WaitForOsdPicture(IconCodePicture(kNumLockOff), 0)) {
                shown.push_back(kNumLockOff);
                break;
            }
            vqdrive::Pause(20);
        }
    }
    ASSERT_EQ(shown.size(), 2u);
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<int>{kNumLockOn, kNumLockOff})) << "one press turns on, the other off";
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

// The hotkey dispatcher: actions per code and keyboard type, brightness and
// volume steps with their end rules, toggles with firmware write faults.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/settingsstore.h"
#include "common/commondefine.h"
#include "common/processstate.h"
#include "fakeosdwindowslot.h"
#include "hardware/hwicondisplayer.h"
#include "reportlog.h"

namespace {

using Lines = std::vector<std::string>;

struct FakeHardware : IHotkeyHardware {
    BYTE brightness = 3, wireless = 1, backlight = 1, etiquette = 0;
    int battery = 80, mute = 0, volume = 40000;
    int failWrites = 0;  // the next N writes fail
    bool failReads = false;
    Lines writes;

    bool WriteOk() {
        if (failWrites > 0) {
            --failWrites;
            return false;
        }
        return true;
    }
    int Set(const char* name, BYTE* field, BYTE value) {
        writes.push_back(std::string(name) + " " + std::to_string(value));
        if (!WriteOk()) return 0;
        *field = value;
        return 1;
    }
    int Get(BYTE* out, BYTE value) {
        if (failReads) return 0;
        *out = value;
        return 1;
    }
    int GetBrLevel(BYTE* l) override { return Get(l, brightness); }
    int SetBrLevel(BYTE l) override { return Set("br", &brightness, l); }
    int GetWirelessStatus(BYTE* s) override { return Get(s, wireless); }
    int SetWirelessStatus(BYTE s) override { return Set("wireless", &wireless, s); }
    int GetLCDBacklitOnOffStatus(BYTE* s) override { return Get(s, backlight); }
    int SetLCDBacklitOnOffStatus(BYTE s) override { return Set("backlight", &backlight, s); }
    int GetEtiquetteModeStatus(BYTE* s) override { return Get(s, etiquette); }
    int SetEtiquetteModeStatus(BYTE s) override { return Set("etiquette", &etiquette, s); }
    int GetBatteryCapacityStatus(int* p) override { *p = battery; return 1; }
    int GetSoundOnOff(int* m) override { *m = mute; return 1; }
    int SetSoundOnOff(int m) override { writes.push_back("mute " + std::to_string(m)); mute = m; return 1; }
    int GetVolumeLevel(int* l) override { *l = volume; return 1; }
    int SetVolumeLevel(int l) override { writes.push_back("volume " + std::to_string(l)); volume = l; return 1; }
    int IsAudioDeviceChanged(int* c) override { *c = 0; return 1; }
    int RecreateAudio() override { return 1; }
};

struct FakeOsd : IHotkeyOsd {
    Lines calls;
    bool shown = false, destroyed = false;
    int icon = -1;
    bool initFails = false;
    bool IsShown() override { return shown; }
    bool IsDestroyed() override { return destroyed; }
    int IconCode() override { return icon; }
    void SetLevel(int l) override { calls.push_back("level " + std::to_string(l)); }
    void SetVolumeStepScale(int s) override { calls.push_back("scale " + std::to_string(s)); }
    int InitHotKeyIcon(int code) override {
        if (initFails) return 0;
        icon = code;
        calls.push_back("icon " + std::to_string(code));
        return 1;
    }
    void ShowNoActivate() override { shown = true; }
    void RestartHideTimer() override { calls.push_back("restart"); }
};

struct FakeOwner : IHotkeyOwner {
    Lines calls;
    // The OSD window's owner: each new window is one of the owner's calls.
    FakeOsdWindowSlot<IHotkeyOsd, FakeOsd> osd{calls};
    std::vector<std::unique_ptr<FakeOsd>>& windows = osd.windows;
    void NoteUnmutedByVolumeKey() override { calls.push_back("unmuted"); }
    void StoreVolumeLastSeen(int level) override { calls.push_back("volume seen " + std::to_string(level)); }
    int StartProgram(const std::wstring& commandLine) override {
        calls.push_back("start " + std::string(commandLine.begin(), commandLine.end()));
        return 1;
    }
    void ShowWiredLANOnOffIcon() override { calls.push_back("wired lan"); }
    void ToggleFamily10Wireless() override { calls.push_back("family 10 wireless"); }
    FakeOsd& Osd() { return osd.Last(); }
};

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        proc::usbKeyboardModel = false;
        proc::modelFamily = 0;
        proc::windowsVersion = 8;
        proc::auditMode = false;
        settings::WriteInt(settings::kOwnVolumeSteps, 1);
        dispatcher.Init(&hardware);
        ReportLog::Clear();
    }
    void TearDown() override {
        proc::usbKeyboardModel = false;
        proc::windowsVersion = 8;
        proc::auditMode = false;
        settings::WriteInt(settings::kOwnVolumeSteps, 1);
    }
    // The OSD's calls since the last key, and the key's result.
    int Press(int code) {
        if (!owner.windows.empty()) owner.Osd().calls.clear();
        return dispatcher.ProcessHotkey(code);
    }
    Lines OsdCalls() { return owner.windows.empty() ? Lines{} : owner.Osd().calls; }

    FakeHardware hardware;
    FakeOwner owner;
    CHWIconDisplayer dispatcher{owner, owner.osd};
};

TEST_F(DispatcherTest, BrightnessAtTopWritesOnceThenOnlyRestartsTheHideTimer) {
    hardware.brightness = 8;
    EXPECT_EQ(Press(8), 255);
    EXPECT_EQ(hardware.writes, (Lines{"br 8"}));
    EXPECT_EQ(OsdCalls(), (Lines{"level 8", "icon 111"}));
    hardware.writes.clear();
    EXPECT_EQ(Press(8), 255);
    EXPECT_TRUE(hardware.writes.empty());
    EXPECT_EQ(OsdCalls(), (Lines{"restart"}));
}

TEST_F(DispatcherTest, BrightnessLimitFlagClearsOnceTheLevelLeavesTheEnd) {
    hardware.brightness = 7;
    Press(8);  // 7 -> 8
    Press(9);  // 8 -> 7 clears the flag
    hardware.writes.clear();
    Press(8);  // 7 -> 8
    Press(8);  // at the end: written again once, since the flag was cleared
    EXPECT_EQ(hardware.writes, (Lines{"br 8", "br 8"}));
    EXPECT_EQ(hardware.brightness, 8);
}

TEST_F(DispatcherTest, BrightnessWriteIsTriedSixTimes) {
    hardware.failWrites = 5;
    Press(8);
    EXPECT_EQ(hardware.writes.size(), 6u);
    EXPECT_EQ(hardware.brightness, 4);
    EXPECT_EQ(OsdCalls(), (Lines{"level 4", "icon 111"}));

    hardware.writes.clear();
    hardware.failWrites = 6;
    Press(8);
    EXPECT_EQ(hardware.writes.size(), 6u);
    EXPECT_EQ(hardware.brightness, 4);
    EXPECT_EQ(OsdCalls(), Lines{}) << "no picture after six failed writes";
    EXPECT_NE(ReportLog::Text().find("smi_trial>SMI_MAX_TRIAL"), std::string::npos);
}

TEST_F(DispatcherTest, UnreadableBrightnessIsReportedAndShowsNothing) {
    hardware.failReads = true;
    Press(8);
    EXPECT_EQ(OsdCalls(), Lines{});
    EXPECT_NE(ReportLog::Text().find("fail: GetBrLevel()"), std::string::npos);
}

TEST_F(DispatcherTest, AuditModeReportsTheBrightnessLevels) {
    proc::auditMode = true;
    Press(8);
    const std::string log = ReportLog::Text();
    EXPECT_NE(log.find("Crrnt Br=3"), std::string::npos);
    EXPECT_NE(log.find("Set Br=4"), std::string::npos);
}

TEST_F(DispatcherTest, OwnVolumeStepsClimbToTheTopAndStop) {
    hardware.volume = 40000;
    Press(48);
    EXPECT_EQ(hardware.volume, 52428);
    EXPECT_EQ(OsdCalls(), (Lines{"scale 1", "level 12", "icon 121"}));
    Press(48);
    EXPECT_EQ(hardware.volume, 65535);
    EXPECT_EQ(OsdCalls(), (Lines{"scale 1", "level 13", "icon 121"}));
    hardware.writes.clear();
    Press(48);
    EXPECT_TRUE(hardware.writes.empty());
    EXPECT_EQ(OsdCalls(), (Lines{"scale 1", "restart"}));
    EXPECT_EQ(dispatcher.VolumeStep(), 13);
    EXPECT_EQ(owner.calls.back(), "volume seen 65535");
}

TEST_F(DispatcherTest, OwnVolumeStepsGoDownToSilence) {
    hardware.volume = 700;  // step 1
    Press(46);
    EXPECT_EQ(hardware.volume, 0);
    EXPECT_EQ(OsdCalls(), (Lines{"scale 1", "level 0", "icon 121"}));
    hardware.volume = 2072;  // start of step 3
    Press(46);
    EXPECT_EQ(hardware.volume, 1139);
}

TEST_F(DispatcherTest, VolumeKeyUnmutesFirst) {
    hardware.mute = 1;
    Press(48);
    EXPECT_EQ(hardware.writes.front(), "mute 0");
    EXPECT_EQ(owner.calls.at(1), "unmuted") << "after the window was made";
}

struct SystemScaleCase {
    int version;
    int level;
    int step;
};

class SystemVolumeTest : public DispatcherTest, public ::testing::WithParamInterface<SystemScaleCase> {};

TEST_P(SystemVolumeTest, WithoutOwnStepsTheStepComesFromTheSystemLevel) {
    settings::WriteInt(settings::kOwnVolumeSteps, 0);
    proc::windowsVersion = GetParam().version;
    hardware.volume = GetParam().level;
    Press(48);
    EXPECT_EQ(hardware.volume, GetParam().level) << "the program does not set the volume itself";
    EXPECT_EQ(OsdCalls(), (Lines{"scale 0", "level " + std::to_string(GetParam().step), "icon 121"}));
}

INSTANTIATE_TEST_SUITE_P(Versions, SystemVolumeTest,
                         ::testing::Values(SystemScaleCase{6, 2000, 4}, SystemScaleCase{6, 65535, 25},
                                           SystemScaleCase{5, 32768, 13}, SystemScaleCase{5, 65535, 25},
                                           SystemScaleCase{7, 32768, 25}, SystemScaleCase{8, 65535, 50}));

TEST_F(DispatcherTest, BatteryPictureCarriesThePercentOrTheUnknownPicture) {
    hardware.battery = 9;
    Press(3);
    EXPECT_EQ(OsdCalls(), (Lines{"level 9", "icon 20"}));
    hardware.battery = 255;
    Press(3);
    EXPECT_EQ(OsdCalls(), (Lines{"icon 21"}));
}

TEST_F(DispatcherTest, BacklightKeyIsPassedOnUsbModelsAndTogglesOnOthers) {
    proc::usbKeyboardModel = true;
    EXPECT_EQ(Press(4), 1);
    EXPECT_TRUE(hardware.writes.empty());
    proc::usbKeyboardModel = false;
    EXPECT_EQ(Press(4), 255);
    EXPECT_EQ(hardware.writes, (Lines{"backlight 0"}));
    EXPECT_EQ(OsdCalls(), (Lines{"icon 50"}));
}

struct ToggleCase {
    bool usb;
    int code;
    const char* write;
    int icon;
};

class ToggleTest : public DispatcherTest, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(ToggleTest, ToggleWritesTheOppositeAndShowsTheNewState) {
    proc::usbKeyboardModel = GetParam().usb;
    EXPECT_EQ(Press(GetParam().code), 255);
    EXPECT_EQ(hardware.writes, (Lines{GetParam().write}));
    EXPECT_EQ(OsdCalls(), (Lines{"icon " + std::to_string(GetParam().icon)}));
}

INSTANTIATE_TEST_SUITE_P(Toggles, ToggleTest,
                         ::testing::Values(ToggleCase{false, 6, "wireless 0", 80}, ToggleCase{true, 5, "wireless 0", 80},
                                           ToggleCase{true, 3, "backlight 0", 50},
                                           ToggleCase{true, 23, "etiquette 1", 101}));

TEST_F(DispatcherTest, ToggleWriteFaultsRetryAndGiveUpAfterSix) {
    hardware.failWrites = 5;
    Press(6);
    EXPECT_EQ(hardware.wireless, 0);
    EXPECT_EQ(OsdCalls(), (Lines{"icon 80"}));
    hardware.failWrites = 6;
    Press(6);
    EXPECT_EQ(hardware.wireless, 0);
    EXPECT_EQ(OsdCalls(), Lines{});
}

TEST_F(DispatcherTest, WirelessUnavailableIsReported) {
    hardware.wireless = 2;
    Press(6);
    EXPECT_TRUE(hardware.writes.empty());
    EXPECT_NE(ReportLog::Text().find("error: ShowWirelessDeviceOnOffIcon()"), std::string::npos);
}

struct CodeCase {
    bool usb;
    int code;
    int result;
    const char* expected;  // the OSD picture, the owner's call, or "" for none
};

class CodeTableTest : public DispatcherTest, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(CodeTableTest, CodeActsPerKeyboardType) {
    const CodeCase& c = GetParam();
    proc::usbKeyboardModel = c.usb;
    EXPECT_EQ(Press(c.code), c.result);
    std::string seen;
    for (const auto& call : OsdCalls()) {
        if (call.rfind("icon ", 0) == 0) seen = call;
    }
    for (const auto& call : owner.calls) {
        if (call != "NewWindow" && call.rfind("volume seen", 0) != 0) seen = call;
    }
    if (seen.empty() && !hardware.writes.empty()) seen = hardware.writes.back();
    EXPECT_EQ(seen, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    OtherKeyboards, CodeTableTest,
    ::testing::Values(CodeCase{false, 2, 1, ""}, CodeCase{false, 5, 1, ""},
                      CodeCase{false, 7, 255, "start VLM-BatteryWarning.exe"}, CodeCase{false, 9, 255, "icon 111"},
                      CodeCase{false, 10, 1, ""}, CodeCase{false, 14, 1, ""}, CodeCase{false, 15, 1, ""},
                      CodeCase{false, 17, 1, ""},
                      CodeCase{false, 20, 255, "start VLM-BatteryWarning.exe /BATTERYREPLACE"},
                      CodeCase{false, 23, 1, ""}, CodeCase{false, 25, 1, ""}, CodeCase{false, 32, 255, "icon 61"},
                      CodeCase{false, 40, 255, "icon 218"}, CodeCase{false, 41, 255, "icon 219"},
                      CodeCase{false, 72, 1, ""}, CodeCase{false, 98, 255, "icon 111"},
                      CodeCase{false, 112, 255, "icon 125"}, CodeCase{false, 115, 255, "icon 126"},
                      CodeCase{false, 116, 255, "icon 101"}, CodeCase{false, 117, 255, "icon 100"},
                      CodeCase{false, 119, 255, "icon 91"}, CodeCase{false, 121, 255, "icon 90"},
                      CodeCase{false, 128, 255, "icon 128"}, CodeCase{false, 134, 255, "icon 134"},
                      CodeCase{false, 135, 1, ""}, CodeCase{false, 201, 255, "icon 201"},
                      CodeCase{false, 205, 255, "icon 205"}, CodeCase{false, 210, 255, "icon 123"},
                      CodeCase{false, 213, 255, "icon 126"}, CodeCase{false, 214, 1, ""}));

INSTANTIATE_TEST_SUITE_P(
    UsbKeyboards, CodeTableTest,
    ::testing::Values(CodeCase{true, 2, 255, "icon 20"}, CodeCase{true, 6, 1, ""}, CodeCase{true, 7, 255, "icon 111"},
                      CodeCase{true, 9, 1, ""}, CodeCase{true, 10, 255, "icon 101"}, CodeCase{true, 11, 255, "icon 100"},
                      CodeCase{true, 12, 255, "icon 91"}, CodeCase{true, 13, 255, "icon 90"},
                      CodeCase{true, 14, 255, "icon 61"}, CodeCase{true, 15, 255, "icon 121"},
                      CodeCase{true, 17, 255, "icon 122"}, CodeCase{true, 70, 255, "icon 122"},
                      CodeCase{true, 20, 255, "icon 125"}, CodeCase{true, 21, 255, "icon 126"},
                      CodeCase{true, 22, 255, "icon 206"}, CodeCase{true, 25, 255, "wired lan"},
                      CodeCase{true, 40, 1, ""}, CodeCase{true, 42, 255, "icon 127"},
                      CodeCase{true, 72, 255, "start VLM-BatteryWarning.exe"}, CodeCase{true, 98, 1, ""},
                      CodeCase{true, 116, 1, ""}, CodeCase{true, 128, 1, ""}, CodeCase{true, 203, 255, "icon 203"},
                      CodeCase{true, 210, 1, ""}));

TEST_F(DispatcherTest, FamilyTenWirelessGoesToItsRadioPath) {
    proc::modelFamily = 10;
    Press(6);
    EXPECT_TRUE(hardware.writes.empty());
    EXPECT_EQ(owner.calls.back(), "family 10 wireless");
    proc::modelFamily = 0;
}

TEST_F(DispatcherTest, MissingOsdWindowIsReportedAndTheKeyGetsZero) {
    owner.osd.canCreate = false;
    EXPECT_EQ(Press(8), 0);
    EXPECT_NE(ReportLog::Text().find("fail: DisplayIcon::HKIconWindow"), std::string::npos);
    EXPECT_EQ(hardware.writes, Lines{});
}

TEST_F(DispatcherTest, ShownWindowIsReusedButCode17AlwaysGetsAFreshOne) {
    Press(8);
    ASSERT_EQ(owner.windows.size(), 1u);
    Press(8);
    EXPECT_EQ(owner.windows.size(), 1u) << "the shown window is used again";
    proc::usbKeyboardModel = true;
    Press(17);
    EXPECT_EQ(owner.windows.size(), 2u);
    owner.Osd().destroyed = true;
    Press(14);
    EXPECT_EQ(owner.windows.size(), 3u) << "a destroyed window is re-created";
}

TEST_F(DispatcherTest, FailedPictureIsTriedOnceMoreOnAFreshWindow) {
    Press(98);
    owner.Osd().initFails = true;
    Press(98);
    ASSERT_EQ(owner.windows.size(), 2u);
    EXPECT_EQ(owner.Osd().calls, (Lines{"level 3", "icon 111"}));
    owner.osd.canCreate = false;
    owner.Osd().initFails = true;
    owner.Osd().shown = true;
    Press(98);
    EXPECT_NE(ReportLog::Text().find("fail: CHWIconDisplayer::ShowHWIcon"), std::string::npos);
}

struct Win7Case {
    bool up;
    int level;
    int setLevel;  // -1: nothing set
    int step;      // -1: no picture
};

class Windows7VolumeTest : public DispatcherTest, public ::testing::WithParamInterface<Win7Case> {};

TEST_P(Windows7VolumeTest, SnapScaleAfterTheSystemsChange) {
    const Win7Case& c = GetParam();
    dispatcher.ShowVolumeIcon(c.up, c.level);
    Lines expectedWrites;
    if (c.setLevel >= 0) expectedWrites.push_back("volume " + std::to_string(c.setLevel));
    EXPECT_EQ(hardware.writes, expectedWrites);
    Lines expectedOsd;
    if (c.step >= 0) expectedOsd = {"level " + std::to_string(c.step), "icon 121"};
    EXPECT_EQ(OsdCalls(), expectedOsd);
}

INSTANTIATE_TEST_SUITE_P(Levels, Windows7VolumeTest,
                         ::testing::Values(Win7Case{true, 3000, -1, 2}, Win7Case{true, 7864, -1, 6},
                                           Win7Case{true, 8000, 13107, 7}, Win7Case{false, 8000, 7864, 6},
                                           Win7Case{true, 60000, 65535, 13}, Win7Case{false, 60000, 52428, 12}));

TEST_F(DispatcherTest, Windows7KeyWithoutNotificationShowsOnlyTheEnds) {
    hardware.volume = 0;
    dispatcher.ShowVolumeIcon(false, -1);
    EXPECT_EQ(OsdCalls(), (Lines{"level 0", "icon 121"}));
    owner.Osd().calls.clear();
    hardware.volume = 30000;
    dispatcher.ShowVolumeIcon(true, -1);
    EXPECT_EQ(OsdCalls(), Lines{});
    hardware.volume = 65535;
    dispatcher.ShowVolumeIcon(true, -1);
    EXPECT_EQ(OsdCalls(), (Lines{"level 13", "icon 121"}));
}

}  // namespace

// The system information object: firmware start, the audio object and its
// re-creation, battery, and the SRS effects of the audio driver, with the
// simulated notebook's firmware library and the audio and kernel-streaming
// platforms in memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/audiomixer.h"
#include "audio/audiovista.h"
#include "common/systemerror.h"
#include "common/processstate.h"
#include "fakecoreaudio.h"
#include "fakekestplatform.h"
#include "fakemixer.h"
#include "fakesysteminfoplatform.h"
#include "hardware/srsdevice.h"
#include "hardware/systeminfo.h"
#include "reportlog.h"
#include "simfirmware.h"

namespace {

namespace fw = vqdrive::firmware;
using Requests = std::vector<std::string>;
const HWND kOwner = reinterpret_cast<HWND>(0x5678);

class SystemInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        fw::Reset();
        proc::windowsVersion = 5;
        speakers_ = coreAudio_.Add(L"{0.0.0}.speakers");
    }
    void TearDown() override {
        info_.reset();
        fw::Reset();
        proc::windowsVersion = 7;
        proc::modelFamily = 0;
    }

    CSystemInfo& Started(int expected = 1) {
        info_ = MakeInfo();
        EXPECT_EQ(info_->Init(kOwner), expected);
        return *info_;
    }
    // Without the firmware: only what the object adds to it.
    CSystemInfo& Bare() {
        info_ = MakeInfo();
        return *info_;
    }
    std::unique_ptr<CSystemInfo> MakeInfo() {
        return std::make_unique<CSystemInfo>(firmware_, platform_, mixer_, coreAudio_);
    }

    FakeKestPlatform firmware_;
    FakeMixer mixer_ = FakeMixer::Speakers();
    FakeAudioSystem coreAudio_;
    FakeEndpointVolume* speakers_ = nullptr;
    FakeSystemInfoPlatform platform_;
    std::unique_ptr<CSystemInfo> info_;
};

TEST_F(SystemInfoTest, InitAnnouncesTheProgramAndOpensTheAudioWithTheOwnerWindow) {
    CSystemInfo& info = Started();
    EXPECT_EQ(fw::Handshakes(), (std::vector<std::string>{"9/3", "9/2"}));
    ASSERT_NE(dynamic_cast<CAudioMixer*>(info.Audio()), nullptr);
    EXPECT_EQ(mixer_.openCallback, reinterpret_cast<DWORD_PTR>(kOwner));
    // The firmware commands are reached through the same object.
    BYTE level = 0;
    EXPECT_EQ(info.GetBrLevel(&level), 1);
    EXPECT_EQ(level, 5);
    info_.reset();
    EXPECT_EQ(mixer_.closeCount, 1);
    EXPECT_EQ(fw::Handshakes(), (std::vector<std::string>{"9/3", "9/2", "9/131", "9/130"}));
}

TEST_F(SystemInfoTest, RefusedAnnouncementLeavesTheProgramWithoutAudio) {
    fw::SetFault(CKEST::kPresence, 3, -1);
    CSystemInfo& info = Started(0);
    EXPECT_EQ(info.Audio(), nullptr);
    EXPECT_EQ(mixer_.openCallback, 0u);
    int mute = 7, level = 9;
    EXPECT_EQ(info.GetSoundOnOff(&mute), 1);
    EXPECT_EQ(info.GetVolumeLevel(&level), 1);
    EXPECT_EQ(mute, 7);
    EXPECT_EQ(level, 9);
    EXPECT_EQ(info.SetSoundOnOff(1), 1);
    EXPECT_EQ(info.SetVolumeLevel(100), 0);
    EXPECT_TRUE(ReportLog::Has(L"fail: SetVolumeLevel()"));
}

TEST_F(SystemInfoTest, AudioImplementationFollowsTheWindowsVersion) {
    const struct {
        int version;
        bool mixer;
    } cases[] = {{4, true}, {5, true}, {6, true}, {7, false}, {8, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        proc::windowsVersion = c.version;
        CSystemInfo& info = Bare();
        EXPECT_EQ(info.CreateAudio(), 1);
        EXPECT_EQ(dynamic_cast<CAudioMixer*>(info.Audio()) != nullptr, c.mixer);
        EXPECT_EQ(dynamic_cast<CAudioVista*>(info.Audio()) != nullptr, !c.mixer);
    }
}

TEST_F(SystemInfoTest, VolumeAndMuteRoundTripThroughTheAudioObject) {
    for (int version : {5, 8}) {
        SCOPED_TRACE(version);
        proc::windowsVersion = version;
        CSystemInfo& info = Started();
        int mute = -1, level = -1;
        ASSERT_EQ(info.SetSoundOnOff(1), 1);
        ASSERT_EQ(info.GetSoundOnOff(&mute), 1);
        EXPECT_EQ(mute, 1);
        ASSERT_EQ(info.SetVolumeLevel(65535), 1);
        ASSERT_EQ(info.GetVolumeLevel(&level), 1);
        EXPECT_EQ(level, 65535);
        EXPECT_EQ(ReportLog::Lines(), 0) << ReportLog::Text();
    }
}

TEST_F(SystemInfoTest, FailingQueryReportsAndRecreatesTheAudioObject) {
    const struct {
        const char* name;
        std::function<int(CSystemInfo&, int*)> query;
        const wchar_t* report;
    } cases[] = {
        {"mute", [](CSystemInfo& i, int* v) { return i.GetSoundOnOff(v); }, L"fail: GetSoundOnOff()"},
        {"volume", [](CSystemInfo& i, int* v) { return i.GetVolumeLevel(v); }, L"fail: GetVolumeLevel()"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportLog::Clear();
        CSystemInfo& info = Started();
        mixer_.getDetailsResult = MMSYSERR_ERROR;
        int value = 33;
        EXPECT_EQ(c.query(info, &value), 0);
        EXPECT_EQ(value, 33);
        EXPECT_EQ(ReportLog::Count(c.report), 1);
        EXPECT_EQ(mixer_.closeCount, 1);  // the old mixer was closed, a new one opened
        EXPECT_EQ(mixer_.openCount, 2);
        // The new object serves the next call.
        mixer_.getDetailsResult = MMSYSERR_NOERROR;
        EXPECT_EQ(c.query(info, &value), 1);
        info_.reset();
        mixer_.closeCount = mixer_.openCount = 0;
    }
}

TEST_F(SystemInfoTest, FailingSetsReportOnlyWhatTheirPartsSayAndKeepTheAudioObject) {
    CSystemInfo& info = Started();
    mixer_.setDetailsResult = MMSYSERR_ERROR;
    EXPECT_EQ(info.SetVolumeLevel(10), 0);
    EXPECT_EQ(ReportLog::Count(L"fail: SetVolumeLevel()"), 1);
    // A mute that could not be set is not reported as set.
    EXPECT_EQ(info.SetSoundOnOff(1), 0);
    EXPECT_EQ(mixer_.openCount, 1);
}

TEST_F(SystemInfoTest, AudioDeviceChangeIsAskedOfTheMixerOnly) {
    CSystemInfo& info = Started();
    int changed = 5;
    ASSERT_EQ(info.IsAudioDeviceChanged(&changed), 1);
    EXPECT_EQ(changed, 0);
    mixer_.productName = L"USB Headset";
    ASSERT_EQ(info.IsAudioDeviceChanged(&changed), 1);
    EXPECT_EQ(changed, 1);
    proc::windowsVersion = 8;
    info.RecreateAudio();
    changed = 5;
    EXPECT_EQ(info.IsAudioDeviceChanged(&changed), 0);
    EXPECT_EQ(changed, 5);
}

TEST_F(SystemInfoTest, WithoutAnAudioDriverTheEndpointObjectStaysAndEveryQueryRetries) {
    proc::windowsVersion = 8;
    coreAudio_.endpoints.clear();
    coreAudio_.defaultId.clear();
    CSystemInfo& info = Started();
    EXPECT_EQ(ReportLog::Count(L"Fail: Please check the Audio Driver"), 1);
    int mute = 4;
    EXPECT_EQ(info.GetSoundOnOff(&mute), 0);
    EXPECT_EQ(mute, 4);
    EXPECT_EQ(ReportLog::Count(L"fail: GetSoundOnOff()"), 1);
    EXPECT_EQ(ReportLog::Count(L"Fail: Please check the Audio Driver"), 2);
    // A device that appears is picked up by the re-created object.
    speakers_ = coreAudio_.Add(L"{0.0.0}.speakers");
    EXPECT_EQ(info.GetSoundOnOff(&mute), 0);
    EXPECT_EQ(info.GetSoundOnOff(&mute), 1);
}

TEST_F(SystemInfoTest, BatteryCapacityIsThePowerStatusPercentage) {
    CSystemInfo& info = Bare();
    for (BYTE percent : {0, 57, 100, 255}) {
        platform_.batteryPercent = percent;
        int result = -1;
        ASSERT_EQ(info.GetBatteryCapacityStatus(&result), 1);
        EXPECT_EQ(result, percent);
    }
    platform_.powerResult = FALSE;
    platform_.powerError = 21;
    int result = 40;
    EXPECT_EQ(info.GetBatteryCapacityStatus(&result), 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReportLog::Count(L"fail: GetBatteryCapacityStatus(), GetLastError()=21" + SystemErrorText(21)), 1);
}

TEST_F(SystemInfoTest, SrsStateComesFromTheSelectionAndTheSelectedEffectsSwitch) {
    const struct {
        ULONG selection, a, b;
        bool answersSelection;
        BYTE state;
    } cases[] = {
        {0, 1, 0, true, 16}, {0, 0, 1, true, 17}, {1, 0, 7, true, 32}, {1, 1, 0, true, 33},
        {2, 1, 1, true, 153}, {0x99, 0, 0, true, 153}, {0, 1, 0, false, 153},
    };
    CSystemInfo& info = Bare();
    FakeKsDevice& device = platform_.AddSrsDevice();
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        device.selection = c.selection;
        device.effectA = c.a;
        device.effectB = c.b;
        device.answersSelection = c.answersSelection;
        BYTE state = 0;
        EXPECT_EQ(info.GetSRSEffect(&state), 1);
        EXPECT_EQ(state, c.state);
        EXPECT_EQ(platform_.openHandles, 0);  // closed after every get
    }
    EXPECT_TRUE(IsEqualGUID(platform_.listedClass, srs::kAudioInterfaceClass));
}

TEST_F(SystemInfoTest, SrsDeviceIsTheFirstInterfaceThatAnswersAndTheOthersAreClosed) {
    CSystemInfo& info = Bare();
    BYTE state = 0;
    EXPECT_EQ(info.GetSRSEffect(&state), 0);
    EXPECT_EQ(state, 255);

    platform_.AddSrsDevice(L"\\\\?\\locked").opens = false;
    platform_.AddSrsDevice(L"\\\\?\\plain").answersSrs = false;
    platform_.AddSrsDevice(L"\\\\?\\srs1").selection = 1;
    platform_.AddSrsDevice(L"\\\\?\\srs2");
    EXPECT_EQ(info.GetSRSEffect(&state), 1);
    EXPECT_EQ(state, 33);
    EXPECT_EQ(platform_.opened, (std::vector<std::wstring>{L"\\\\?\\locked", L"\\\\?\\plain", L"\\\\?\\srs1"}));
    EXPECT_EQ(platform_.openHandles, 0);

    platform_.devices.resize(2);
    EXPECT_EQ(info.GetSRSEffect(&state), 0);
    EXPECT_EQ(state, 255);
    EXPECT_EQ(platform_.openHandles, 0);
}

TEST_F(SystemInfoTest, SettingAnSrsValueWritesTheSelectionAndSwitchesInOrder) {
    const struct {
        BYTE value;
        Requests sets;
    } cases[] = {
        {32, {"set selection 1", "set B 1", "set A 0"}},
        {16, {"set selection 0", "set A 1", "set B 0"}},
        {255, {"set B 0", "set A 0"}},
        {17, {"set selection 1", "set B 1", "set A 0"}},
    };
    CSystemInfo& info = Bare();
    platform_.AddSrsDevice();
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.value));
        platform_.requests.clear();
        EXPECT_EQ(info.SetSRSEffect(c.value), 1);
        EXPECT_EQ(platform_.TakeSetRequests(), c.sets);
        EXPECT_EQ(platform_.openHandles, 0);
    }
}

TEST_F(SystemInfoTest, UnknownSelectionOrNoDeviceMakesEverySetDoNothing) {
    CSystemInfo& info = Bare();
    for (BYTE value : {16, 32, 255}) EXPECT_EQ(info.SetSRSEffect(value), 0);
    platform_.AddSrsDevice().selection = 153;
    for (BYTE value : {16, 32, 255}) {
        platform_.requests.clear();
        EXPECT_EQ(info.SetSRSEffect(value), 0);
        EXPECT_EQ(platform_.TakeSetRequests(), Requests{});
    }
}

// The DirectSound keys of one HD audio device, created for a case and removed after it.
class AccelerationTest : public SystemInfoTest {
protected:
    static constexpr wchar_t kHdAudio[] =
        L"SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Enum\\HDAUDIO";
    void SetUp() override {
        SystemInfoTest::SetUp();
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kHdAudio);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kHdAudio);
        SystemInfoTest::TearDown();
    }
    static std::wstring MixerDefaults() {
        return std::wstring(kHdAudio) + L"\\FUNC_01&VEN_10EC\\4&1A2B&0&0001\\DirectSound\\Mixer Defaults";
    }
    // The current hardware profile is volatile, and so must be every key below it.
    static void CreateKey(const std::wstring& path, HKEY* key) {
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, key, nullptr),
                  ERROR_SUCCESS);
    }
    static void CreateMixerDefaults(DWORD acceleration) {
        HKEY key = nullptr;
        CreateKey(MixerDefaults(), &key);
        RegSetValueExW(key, L"Acceleration", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&acceleration),
                       sizeof acceleration);
        RegCloseKey(key);
    }
    static DWORD Acceleration() {
        DWORD value = 0xDEAD, size = sizeof value;
        RegGetValueW(HKEY_LOCAL_MACHINE, MixerDefaults().c_str(), L"Acceleration", RRF_RT_REG_DWORD, nullptr, &value,
                     &size);
        return value;
    }
};

TEST_F(AccelerationTest, ApplyingTheChoiceSetsAccelerationThenTheEffect) {
    CSystemInfo& info = Bare();
    platform_.AddSrsDevice();
    CreateMixerDefaults(7);
    EXPECT_EQ(info.ApplySRSSelection(255), 1);
    EXPECT_EQ(Acceleration(), 0u);
    EXPECT_EQ(platform_.devices[0].effectA, 0u);
    EXPECT_EQ(platform_.devices[0].effectB, 0u);
    EXPECT_EQ(info.ApplySRSSelection(32), 1);
    EXPECT_EQ(Acceleration(), 15u);
    EXPECT_EQ(platform_.devices[0].selection, 1u);
    EXPECT_EQ(platform_.devices[0].effectB, 1u);
    EXPECT_EQ(ReportLog::Lines(), 0) << ReportLog::Text();
}

TEST_F(AccelerationTest, MissingKeysAreReportedByPathAndTheEffectIsStillSet) {
    CSystemInfo& info = Bare();
    platform_.AddSrsDevice();
    EXPECT_EQ(info.ApplySRSSelection(16), 1);
    // The missing key's report carries the system's text of its error number.
    EXPECT_EQ(ReportLog::Count(std::wstring(L"Fail: RegOpenKey() \r\n") + kHdAudio + SystemErrorText(ERROR_FILE_NOT_FOUND)), 1)
        << ReportLog::Text();
    EXPECT_EQ(ReportLog::Count(std::wstring(L"Fail: RegEnumKey() \r\n") + kHdAudio), 1);
    EXPECT_EQ(ReportLog::Count(L"RegSetValueEx(Acceleration)"), 1);
    EXPECT_EQ(platform_.devices[0].selection, 0u);
    EXPECT_EQ(platform_.devices[0].effectA, 1u);

    // A device key without an instance below it: the walk names the device key.
    HKEY key = nullptr;
    CreateKey(std::wstring(kHdAudio) + L"\\FUNC_01", &key);
    RegCloseKey(key);
    ReportLog::Clear();
    EXPECT_EQ(info.ApplySRSSelection(16), 1);
    EXPECT_EQ(ReportLog::Count(std::wstring(L"Fail: RegEnumKey() \r\n") + kHdAudio + L"\\FUNC_01"), 1)
        << ReportLog::Text();
    EXPECT_EQ(ReportLog::Count(L"RegSetValueEx(Acceleration)"), 1);
}

}  // namespace

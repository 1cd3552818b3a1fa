// The legacy mixer implementation against a mixer driver in memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "audio/audiomixer.h"
#include "fakemixer.h"
#include "reportlog.h"

namespace {

const wchar_t kNoDevice[] =
    L"Impossible to set the volume: We cannot get the audio device. \r\nPlease terminate Valmora & run the program again";
const HWND kWindow = reinterpret_cast<HWND>(0x1234);

class MixerTest : public ::testing::Test {
protected:
    void SetUp() override { ReportLog::Clear(); }

    // Opens a mixer object on `mixer_`; an earlier one is closed first.
    CAudioMixer& Open(int expectedResult = 1) {
        audio_.reset();
        audio_ = std::make_unique<CAudioMixer>(mixer_);
        EXPECT_EQ(audio_->Initialize(kWindow), expectedResult);
        return *audio_;
    }

    void TearDown() override { audio_.reset(); }

    FakeMixer mixer_ = FakeMixer::Speakers();
    std::unique_ptr<CAudioMixer> audio_;
};

TEST_F(MixerTest, OpensDeviceZeroWithTheWindowAsCallbackAndClosesItAtDestruction) {
    Open();
    EXPECT_EQ(mixer_.openCallback, reinterpret_cast<DWORD_PTR>(kWindow));
    EXPECT_EQ(mixer_.openFlags, static_cast<DWORD>(CALLBACK_WINDOW));
    EXPECT_STREQ(audio_->ProductName(), L"Fake Mixer");
    EXPECT_EQ(audio_->OutputLine().lineId, 0xFFFF0000u);
    EXPECT_STREQ(audio_->OutputLine().name, "Speakers");
    EXPECT_EQ(audio_->OutputLine().connections, 2);
    audio_.reset();
    EXPECT_EQ(mixer_.closeCount, 1);
}

TEST_F(MixerTest, FailedOpenReportsOnceAndEveryLaterCallReportsTheSameAndFails) {
    for (bool capsFail : {true, false}) {
        SCOPED_TRACE(capsFail ? "capabilities unreadable" : "open fails");
        ReportLog::Clear();
        mixer_.capsResult = capsFail ? MMSYSERR_BADDEVICEID : MMSYSERR_NOERROR;
        mixer_.openResult = capsFail ? MMSYSERR_NOERROR : MMSYSERR_NODRIVER;
        CAudioMixer& mixer = Open(0);
        EXPECT_EQ(ReportLog::Count(kNoDevice), 1);

        int value = 77;
        const std::function<int()> calls[] = {
            [&] { return mixer.GetMasterVolumeLevel(&value); },
            [&] { return mixer.SetMasterVolumeLevel(100); },
            [&] { return mixer.GetMasterVolumeMute(&value); },
            [&] { return mixer.SetMasterVolumeMute(1); },
        };
        for (const auto& call : calls) EXPECT_EQ(call(), 0);
        EXPECT_EQ(value, 77);
        EXPECT_EQ(ReportLog::Count(kNoDevice), 5);
        EXPECT_TRUE(mixer_.detailsCalls.empty());
    }
}

TEST_F(MixerTest, LastSpeakersOrHeadphonesDestinationIsTheOneControlled) {
    mixer_.destinations.push_back({MIXERLINE_COMPONENTTYPE_DST_WAVEIN, 0xFFFF0001, L"Record", 0,
                                   {FakeMixer::Control(20, MIXERCONTROL_CONTROLTYPE_VOLUME, 256)}});
    mixer_.destinations.push_back({MIXERLINE_COMPONENTTYPE_DST_HEADPHONES, 0xFFFF0002, L"Headphones", 1,
                                   {FakeMixer::Control(30, MIXERCONTROL_CONTROLTYPE_VOLUME, 256),
                                    FakeMixer::Control(31, MIXERCONTROL_CONTROLTYPE_MUTE, 2)}});
    mixer_.destinations.push_back({MIXERLINE_COMPONENTTYPE_DST_WAVEIN, 0xFFFF0003, L"Record 2", 0,
                                   {FakeMixer::Control(40, MIXERCONTROL_CONTROLTYPE_VOLUME, 256)}});
    CAudioMixer& mixer = Open();
    EXPECT_EQ(mixer.OutputLine().destination, 2);
    EXPECT_EQ(mixer.OutputLine().lineId, 0xFFFF0002u);
    ASSERT_EQ(mixer.SetMasterVolumeLevel(1000), 1);
    ASSERT_EQ(mixer.SetMasterVolumeMute(1), 1);
    EXPECT_EQ(mixer_.values[30], std::vector<DWORD>{1000});
    EXPECT_EQ(mixer_.values[31], std::vector<DWORD>{1});
    EXPECT_EQ(mixer_.values.count(10), 0u);
}

TEST_F(MixerTest, LargestVolumeStepIsStepCountLessOneUpTo32767) {
    const struct {
        DWORD steps;
        DWORD largest;
    } cases[] = {{256, 255}, {1, 0}, {32768, 32767}, {40000, 32767}, {0, 32767}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        mixer_.destinations[0].controls[0].Metrics.cSteps = c.steps;
        EXPECT_EQ(Open().OutputLine().largestVolumeStep, c.largest);
    }
}

TEST_F(MixerTest, LaterControlOfTheSameTypeReplacesTheEarlierOne) {
    mixer_.destinations[0].controls.push_back(FakeMixer::Control(12, MIXERCONTROL_CONTROLTYPE_VOLUME, 100));
    CAudioMixer& mixer = Open();
    EXPECT_EQ(mixer.OutputLine().volume.dwControlID, 12u);
    EXPECT_EQ(mixer.OutputLine().largestVolumeStep, 99u);
    EXPECT_EQ(mixer.OutputLine().mute.dwControlID, 11u);
}

TEST_F(MixerTest, LevelAndMuteRoundTripOnADriverThatStoresThem) {
    CAudioMixer& mixer = Open();
    int level = -1, mute = -1;
    ASSERT_EQ(mixer.SetMasterVolumeLevel(32768), 1);
    ASSERT_EQ(mixer.GetMasterVolumeLevel(&level), 1);
    EXPECT_EQ(level, 32768);
    ASSERT_EQ(mixer.SetMasterVolumeMute(1), 1);
    ASSERT_EQ(mixer.GetMasterVolumeMute(&mute), 1);
    EXPECT_EQ(mute, 1);
    EXPECT_EQ(ReportLog::Lines(), 0) << ReportLog::Text();
}

TEST_F(MixerTest, MultipleValueVolumeSetsEveryValueAndReadsTheLast) {
    mixer_.destinations[0].controls[0] =
        FakeMixer::Control(10, MIXERCONTROL_CONTROLTYPE_VOLUME, 65536, MIXERCONTROL_CONTROLF_MULTIPLE, 3);
    CAudioMixer& mixer = Open();
    ASSERT_EQ(mixer.SetMasterVolumeLevel(500), 1);
    EXPECT_EQ(mixer_.values[10], (std::vector<DWORD>{500, 500, 500}));
    mixer_.values[10] = {1, 2, 3};
    int level = 0;
    ASSERT_EQ(mixer.GetMasterVolumeLevel(&level), 1);
    EXPECT_EQ(level, 3);
}

TEST_F(MixerTest, ControlWithMoreItemsThanTheValueBufferIsRefusedWithoutADriverCall) {
    mixer_.destinations[0].controls[0] =
        FakeMixer::Control(10, MIXERCONTROL_CONTROLTYPE_VOLUME, 65536, MIXERCONTROL_CONTROLF_MULTIPLE, 11);
    CAudioMixer& mixer = Open();
    int level = 9;
    EXPECT_EQ(mixer.SetMasterVolumeLevel(500), 0);
    EXPECT_EQ(mixer.GetMasterVolumeLevel(&level), 0);
    EXPECT_EQ(level, 9);
    EXPECT_TRUE(mixer_.detailsCalls.empty());
    EXPECT_EQ(ReportLog::Count(L"fail: mixer control has more values than the value buffer"), 2);
}

TEST_F(MixerTest, FailedValueCallsReportTheirTextAndFailIncludingTheMuteSet) {
    CAudioMixer& mixer = Open();
    mixer_.getDetailsResult = MMSYSERR_ERROR;
    mixer_.setDetailsResult = MMSYSERR_ERROR;
    int value = 5;
    EXPECT_EQ(mixer.GetMasterVolumeLevel(&value), 0);
    EXPECT_EQ(mixer.GetMasterVolumeMute(&value), 0);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(mixer.SetMasterVolumeLevel(1), 0);
    EXPECT_EQ(mixer.SetMasterVolumeMute(1), 0);
    EXPECT_EQ(ReportLog::Count(L"郴何窃荐 坷幅(mixerGetControlDetails)"), 1);
    EXPECT_EQ(ReportLog::Count(L"(mixerGetControlDetails)"), 1);
    EXPECT_EQ(ReportLog::Count(L"(mixerSetControlDetails)"), 2);
}

TEST_F(MixerTest, FailuresWhileChoosingTheLineAreReportedAndInitializeStillSucceeds) {
    const struct {
        const char* name;
        std::function<void(FakeMixer&)> arrange;
        const wchar_t* report;
    } cases[] = {
        {"open mixer unreadable", [](FakeMixer& m) { m.handleCapsResult = MMSYSERR_ERROR; },
         L"殿废等 厘摹狼 沥焊甫 佬阑 荐 绝嚼聪促."},
        {"line by id", [](FakeMixer& m) { m.lineByIdResult = MMSYSERR_ERROR; }, L"fail: MixerGetLineInfo"},
        {"no controls", [](FakeMixer& m) { m.destinations[0].controls.clear(); }, L"fail: No Function available"},
        {"controls", [](FakeMixer& m) { m.controlsResult = MMSYSERR_ERROR; }, L"fail: mixerGetLineControls"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportLog::Clear();
        mixer_ = FakeMixer::Speakers();
        c.arrange(mixer_);
        CAudioMixer& mixer = Open(1);
        EXPECT_EQ(ReportLog::Count(c.report), 1) << ReportLog::Text();
        // No volume control was found: requests go to control 0 and the driver decides.
        EXPECT_EQ(mixer.OutputLine().volume.dwControlID, 0u);
    }
}

TEST_F(MixerTest, DeviceChangeIsTheProductNameOfDeviceZeroComparedExactly) {
    CAudioMixer& mixer = Open();
    int changed = 7;
    ASSERT_EQ(mixer.IsDeviceChanged(&changed), 1);
    EXPECT_EQ(changed, 0);
    mixer_.productName = L"fake mixer";
    ASSERT_EQ(mixer.IsDeviceChanged(&changed), 1);
    EXPECT_EQ(changed, 1);
    changed = 7;
    mixer_.capsResult = MMSYSERR_BADDEVICEID;
    EXPECT_EQ(mixer.IsDeviceChanged(&changed), 0);
    EXPECT_EQ(changed, 7);
}

}  // namespace

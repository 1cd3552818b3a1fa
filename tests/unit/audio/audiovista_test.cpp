// The endpoint implementation against endpoint audio in memory, with the
// platform's notification threads played by threads of the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "audio/audiovista.h"
#include "common/processstate.h"
#include "fakecoreaudio.h"
#include "reportlog.h"

namespace {

using Microsoft::WRL::ComPtr;

// A window of the test's thread that counts the volume notices it receives.
class NoticeWindow {
public:
    NoticeWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VqAudioNoticeWindow";
        RegisterClassW(&wc);
        m_hWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~NoticeWindow() { DestroyWindow(m_hWnd); }
    HWND Handle() const { return m_hWnd; }
    static int Notices() { return s_notices.load(); }
    static void ResetNotices() { s_notices = 0; }
    // Lets sent messages through until `done` holds or the time is up.
    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > timeoutMs) return false;
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(5);
        }
        return true;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == 0x32 && wParam == 0 && lParam == 0) {
            ++s_notices;
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    HWND m_hWnd = nullptr;
    static inline std::atomic<int> s_notices{0};
};

class VistaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        NoticeWindow::ResetNotices();
        proc::auditMode = false;
        proc::graphicsVendor = 0;
    }
    void TearDown() override {
        audio_.reset();
        proc::auditMode = false;
        proc::graphicsVendor = 0;
    }

    CAudioVista& Start(int expected = 1) {
        audio_ = std::make_unique<CAudioVista>(system_);
        EXPECT_EQ(audio_->Initialize(window_.Handle()), expected);
        return *audio_;
    }
    // Speakers (the default) and headphones, active at start.
    CAudioVista& StartWithTwo() {
        speakers_ = system_.Add(L"{0.0.0}.speakers");
        headphones_ = system_.Add(L"{0.0.0}.headphones");
        return Start();
    }
    int Level() {
        int level = -1;
        EXPECT_EQ(audio_->GetMasterVolumeLevel(&level), 1);
        return level;
    }

    FakeAudioSystem system_;
    NoticeWindow window_;
    std::unique_ptr<CAudioVista> audio_;
    FakeEndpointVolume* speakers_ = nullptr;
    FakeEndpointVolume* headphones_ = nullptr;
};

TEST_F(VistaTest, DefaultEndpointTakesSlotZeroAndEveryActiveEndpointIsWatched) {
    headphones_ = system_.Add(L"{0.0.0}.headphones");
    speakers_ = system_.Add(L"{0.0.0}.speakers");
    system_.defaultId = L"{0.0.0}.speakers";
    CAudioVista& audio = Start();
    EXPECT_EQ(audio.EndpointCountNow(), 2);
    EXPECT_EQ(audio.MaxEndpointSpaceNow(), 34);
    EXPECT_EQ(audio.CurrentEndpointNow(), 0);
    EXPECT_EQ(speakers_->RegisteredCount(), 1);
    EXPECT_EQ(headphones_->RegisteredCount(), 1);
    EXPECT_EQ(system_.RegisteredClientCount(), 1);
    // Slot 0 is the default, whatever its place in the collection.
    ASSERT_EQ(audio.SetMasterVolumeMute(1), 1);
    EXPECT_TRUE(speakers_->mute);
    EXPECT_FALSE(headphones_->mute);
    EXPECT_EQ(ReportLog::Lines(), 0) << ReportLog::Text();
}

TEST_F(VistaTest, LevelsConvertToAndFromTheScalarRoundedAndClamped) {
    StartWithTwo();
    const struct {
        float scalar;
        int level;
    } reads[] = {{0.5f, 32768}, {1.0f, 65535}, {0.0f, 0}, {1.5f, 65535}, {-0.25f, 0}};
    for (const auto& r : reads) {
        SCOPED_TRACE(r.scalar);
        speakers_->scalar = r.scalar;
        EXPECT_EQ(Level(), r.level);
    }
    const struct {
        int level;
        float scalar;
    } writes[] = {{65535, 1.0f}, {0, 0.0f}, {32768, 32768.0f / 65535.0f}, {70000, 1.0f}, {-1, 0.0f}};
    for (const auto& w : writes) {
        SCOPED_TRACE(w.level);
        ASSERT_EQ(audio_->SetMasterVolumeLevel(w.level), 1);
        EXPECT_FLOAT_EQ(speakers_->scalarsWritten.back(), w.scalar);
    }
}

TEST_F(VistaTest, MuteIsPassedThroughBothWays) {
    StartWithTwo();
    int mute = -1;
    ASSERT_EQ(audio_->SetMasterVolumeMute(1), 1);
    ASSERT_EQ(audio_->GetMasterVolumeMute(&mute), 1);
    EXPECT_EQ(mute, 1);
    ASSERT_EQ(audio_->SetMasterVolumeMute(0), 1);
    ASSERT_EQ(audio_->GetMasterVolumeMute(&mute), 1);
    EXPECT_EQ(mute, 0);
}

TEST_F(VistaTest, FailedCallsReportTheirOwnTextAndLeaveTheOutputAlone) {
    StartWithTwo();
    speakers_->getMuteResult = speakers_->setMuteResult = E_FAIL;
    speakers_->getLevelResult = speakers_->setLevelResult = static_cast<HRESULT>(0x88890004);  // device invalidated
    int value = 42;
    EXPECT_EQ(audio_->GetMasterVolumeMute(&value), 0);
    EXPECT_EQ(audio_->GetMasterVolumeLevel(&value), 0);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(audio_->SetMasterVolumeMute(1), 0);
    EXPECT_EQ(audio_->SetMasterVolumeLevel(1), 0);
    for (const wchar_t* text : {L"Exit: GetMasterVolumeMute", L"Exit: SetMasterVolumeMute",
                                L"Exit: GetMasterVolumeLevel", L"Exit: SetMasterVolumeLevel"}) {
        EXPECT_EQ(ReportLog::Count(text), 1) << text;
    }
}

TEST_F(VistaTest, WithoutAWorkingDriverInitializeReportsOnceAndTheObjectStaysInert) {
    const struct {
        const char* name;
        std::function<void(FakeAudioSystem&)> arrange;
    } cases[] = {
        {"no endpoint at all", [](FakeAudioSystem&) {}},
        {"enumerator class missing", [](FakeAudioSystem& s) { s.createResult = REGDB_E_CLASSNOTREG; }},
        {"endpoints not listed", [](FakeAudioSystem& s) { s.enumResult = E_OUTOFMEMORY; }},
        {"notification refused", [](FakeAudioSystem& s) { s.registerClientResult = E_FAIL; }},
        {"count unreadable", [](FakeAudioSystem& s) { s.countResult = E_FAIL; }},
        {"volume not activated", [](FakeAudioSystem& s) {
             s.Add(L"a");
             s.endpoints[0].activateResult = E_NOINTERFACE;
         }},
        {"volume refuses the callback", [](FakeAudioSystem& s) { s.Add(L"a")->registerResult = E_FAIL; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportLog::Clear();
        system_.endpoints.clear();
        system_.defaultId.clear();
        system_.createResult = system_.enumResult = system_.countResult = system_.registerClientResult = S_OK;
        c.arrange(system_);
        CAudioVista& audio = Start(0);
        EXPECT_TRUE(audio.InitFailedNow());
        int value = 9;
        EXPECT_EQ(audio.GetMasterVolumeMute(&value), 0);
        EXPECT_EQ(audio.GetMasterVolumeLevel(&value), 0);
        EXPECT_EQ(audio.SetMasterVolumeMute(1), 0);
        EXPECT_EQ(audio.SetMasterVolumeLevel(1), 0);
        EXPECT_EQ(value, 9);
        EXPECT_EQ(system_.ChangeDefault(L"b"), system_.RegisteredClientCount() ? S_FALSE : E_FAIL);
        EXPECT_EQ(ReportLog::Count(L"Fail: Please check the Audio Driver"), 1);
        EXPECT_EQ(ReportLog::Lines(), 1) << ReportLog::Text();
        audio_.reset();
        EXPECT_EQ(system_.RegisteredClientCount(), 0);
    }
}

TEST_F(VistaTest, SwitchingToAnEndpointActiveAtStartChangesThatOneWithoutAddingOrWaiting) {
    StartWithTwo();
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.headphones"), S_OK);
    EXPECT_EQ(audio_->CurrentEndpointNow(), 1);
    ASSERT_EQ(audio_->SetMasterVolumeLevel(65535), 1);
    EXPECT_TRUE(speakers_->scalarsWritten.empty());
    ASSERT_EQ(headphones_->scalarsWritten.size(), 1u);
    EXPECT_EQ(audio_->EndpointCountNow(), 2);
    EXPECT_TRUE(system_.waits.empty());
    EXPECT_EQ(system_.enumeratorsCreated, 1);
    // And back to slot 0.
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.speakers"), S_OK);
    EXPECT_EQ(audio_->CurrentEndpointNow(), 0);
}

TEST_F(VistaTest, DefaultChangesThatDoNotConcernTheConsolePlaybackAreIgnored) {
    StartWithTwo();
    const struct {
        const char* name;
        const wchar_t* id;
        EDataFlow flow;
        ERole role;
    } cases[] = {
        {"communications role", L"{0.0.0}.headphones", eRender, eCommunications},
        {"multimedia role", L"{0.0.0}.headphones", eRender, eMultimedia},
        {"capture", L"{0.0.1}.microphone", eCapture, eConsole},
        {"no identifier", nullptr, eRender, eConsole},
        {"empty identifier", L"", eRender, eConsole},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(system_.ChangeDefault(c.id, c.flow, c.role), S_FALSE);
        EXPECT_EQ(audio_->CurrentEndpointNow(), 0);
        EXPECT_EQ(audio_->EndpointCountNow(), 2);
    }
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.speakers"), S_OK);  // already current
    EXPECT_TRUE(system_.waits.empty());
    EXPECT_EQ(system_.enumeratorsCreated, 1);
}

TEST_F(VistaTest, NewDefaultIsAddedAfterTheWaitAndBecomesCurrentOnce) {
    StartWithTwo();
    FakeEndpointVolume* display = system_.Add(L"{0.0.0}.hdmi");
    proc::auditMode = true;
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.hdmi"), S_OK);
    EXPECT_EQ(system_.waits, std::vector<DWORD>{1000});
    EXPECT_EQ(audio_->EndpointCountNow(), 3);
    EXPECT_EQ(audio_->CurrentEndpointNow(), 2);
    EXPECT_EQ(display->RegisteredCount(), 1);
    EXPECT_EQ(speakers_->RegisteredCount(), 1);  // not registered a second time
    ASSERT_EQ(audio_->SetMasterVolumeMute(1), 1);
    EXPECT_TRUE(display->mute);
    EXPECT_EQ(ReportLog::Count(L"Default Audio device is found"), 1);
    EXPECT_EQ(ReportLog::Count(L"4d. wcscmp"), 2);  // speakers and headphones are known

    // Switching away and back finds it by index now.
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.speakers"), S_OK);
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.hdmi"), S_OK);
    EXPECT_EQ(audio_->CurrentEndpointNow(), 2);
    EXPECT_EQ(audio_->EndpointCountNow(), 3);
    EXPECT_EQ(system_.waits.size(), 1u);
}

TEST_F(VistaTest, AuditTextsAreWrittenOnlyInAuditMode) {
    StartWithTwo();
    system_.Add(L"{0.0.0}.hdmi");
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.hdmi"), S_OK);
    EXPECT_EQ(ReportLog::Lines(), 0) << ReportLog::Text();
}

TEST_F(VistaTest, WaitBeforeLookingUpANewEndpointIsLongerWithIntelGraphics) {
    const struct {
        int vendor;
        DWORD waitMs;
    } cases[] = {{0, 1000}, {1, 1000}, {2, 1000}, {3, 4000}, {4, 1000}};
    StartWithTwo();
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vendor);
        proc::graphicsVendor = c.vendor;
        system_.waits.clear();
        const std::wstring id = L"new" + std::to_wstring(n++);
        system_.Add(id);
        EXPECT_EQ(system_.ChangeDefault(id.c_str()), S_OK);
        EXPECT_EQ(system_.waits, std::vector<DWORD>{c.waitMs});
    }
}

TEST_F(VistaTest, FullTableLeavesTheCurrentEndpointAsItWas) {
    StartWithTwo();
    ASSERT_EQ(audio_->MaxEndpointSpaceNow(), 34);
    for (int i = 0; i < 32; ++i) {
        const std::wstring id = L"display" + std::to_wstring(i);
        system_.Add(id);
        ASSERT_EQ(system_.ChangeDefault(id.c_str()), S_OK) << i;
        ASSERT_EQ(audio_->CurrentEndpointNow(), 2 + i);
    }
    EXPECT_EQ(audio_->EndpointCountNow(), 34);
    proc::auditMode = true;
    system_.Add(L"display32");
    const int enumerators = system_.enumeratorsCreated;
    EXPECT_EQ(system_.ChangeDefault(L"display32"), S_FALSE);
    EXPECT_EQ(audio_->CurrentEndpointNow(), 33);
    EXPECT_EQ(audio_->EndpointCountNow(), 34);
    EXPECT_EQ(system_.enumeratorsCreated, enumerators);
    EXPECT_EQ(ReportLog::Count(L"MaxEndpointSpace <= EndpointCount..."), 1);
    // Known endpoints are still reached.
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.headphones"), S_OK);
    EXPECT_EQ(audio_->CurrentEndpointNow(), 1);
}

TEST_F(VistaTest, SlotsFilledBeforeAFailureAreCountedAndNeverWrittenOver) {
    StartWithTwo();
    FakeEndpointVolume* display = system_.Add(L"{0.0.0}.hdmi");
    system_.Add(L"{0.0.0}.broken");
    system_.endpoints.back().activateResult = E_FAIL;
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.hdmi"), S_FALSE);
    EXPECT_EQ(audio_->CurrentEndpointNow(), 2);
    EXPECT_EQ(audio_->EndpointCountNow(), 3);

    // The next new endpoint goes to the next slot; the current one stays usable.
    system_.endpoints.pop_back();
    FakeEndpointVolume* dock = system_.Add(L"{0.0.0}.dock");
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.dock"), S_OK);
    EXPECT_EQ(audio_->CurrentEndpointNow(), 3);
    EXPECT_EQ(system_.ChangeDefault(L"{0.0.0}.hdmi"), S_OK);
    ASSERT_EQ(audio_->SetMasterVolumeMute(1), 1);
    EXPECT_TRUE(display->mute);
    EXPECT_FALSE(dock->mute);
}

TEST_F(VistaTest, VolumeChangeOnANotificationThreadSendsTheNoticeToTheWindow) {
    StartWithTwo();
    std::atomic<bool> returned{false};
    std::thread platform([&] {
        headphones_->NotifyAll();
        returned = true;
    });
    // The notification thread waits until the window has handled the notice.
    EXPECT_TRUE(NoticeWindow::PumpUntil([&] { return returned.load(); }));
    platform.join();
    EXPECT_EQ(NoticeWindow::Notices(), 1);
}

TEST_F(VistaTest, DestructionUnregistersEverythingAndLateCallsNeverReachTheObject) {
    StartWithTwo();
    system_.Add(L"{0.0.0}.hdmi");
    ASSERT_EQ(system_.ChangeDefault(L"{0.0.0}.hdmi"), S_OK);
    FakeEndpointVolume* display = system_.Volume(L"{0.0.0}.hdmi");
    // A platform that keeps references of its own beyond the unregistration.
    ComPtr<IMMNotificationClient> lateClient = system_.Clients().at(0);
    ComPtr<FakeEndpointVolume> keptVolume = display;

    audio_.reset();
    EXPECT_EQ(system_.RegisteredClientCount(), 0);
    EXPECT_EQ(speakers_->RegisteredCount(), 0);
    EXPECT_EQ(headphones_->RegisteredCount(), 0);
    EXPECT_EQ(display->RegisteredCount(), 0);

    std::thread platform([&] {
        EXPECT_EQ(lateClient->OnDefaultDeviceChanged(eRender, eConsole, L"{0.0.0}.speakers"), S_FALSE);
    });
    platform.join();
    EXPECT_TRUE(system_.waits.size() == 1u);
}

TEST_F(VistaTest, DestructionDoesNotDeadlockWithANoticeWaitingForTheMainThread) {
    StartWithTwo();
    speakers_->unregisterWaitsForCallbacks = true;
    std::atomic<bool> returned{false};
    std::thread platform([&] {
        speakers_->NotifyAll();
        returned = true;
    });
    // The notice is in flight and this (the window's) thread does not pump.
    const DWORD begun = GetTickCount();
    while (speakers_->notifiesInFlight.load() == 0 && GetTickCount() - begun < 5000) Sleep(1);
    EXPECT_GT(speakers_->notifiesInFlight.load(), 0);
    Sleep(50);
    const auto start = std::chrono::steady_clock::now();
    audio_.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    NoticeWindow::PumpUntil([&] { return returned.load(); }, 15000);
    platform.join();
    EXPECT_FALSE(speakers_->unregisterTimedOut.load());
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST_F(VistaTest, DestructionEndsTheWaitOfADefaultChangeInProgress) {
    StartWithTwo();
    system_.Add(L"{0.0.0}.hdmi");
    std::atomic<bool> waiting{false};
    system_.onWait = [&](HANDLE stop, DWORD) {
        waiting = true;
        return WaitForSingleObject(stop, 20000) == WAIT_OBJECT_0;
    };
    std::atomic<HRESULT> result{E_PENDING};
    std::thread platform([&] { result = system_.ChangeDefault(L"{0.0.0}.hdmi"); });
    const DWORD begun = GetTickCount();
    while (!waiting.load() && GetTickCount() - begun < 5000) Sleep(1);
    EXPECT_TRUE(waiting.load());
    const auto start = std::chrono::steady_clock::now();
    audio_.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    platform.join();
    EXPECT_EQ(result.load(), S_FALSE);
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_EQ(system_.enumeratorsCreated, 1);
}

TEST(AudioVistaCallbacks, AnswerTheirOwnInterfaceAndIUnknownOnly) {
    auto link = std::make_shared<audio::COwnerLink>(nullptr, nullptr);
    auto* volume = new CAudioEndpointVolumeCallback(link);
    auto* client = new CMMNotificationClientCallback(link);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(volume->QueryInterface(audio::kEndpointVolumeCallbackIid, &object), S_OK);
    EXPECT_EQ(object, static_cast<IAudioEndpointVolumeCallback*>(volume));
    EXPECT_EQ(volume->QueryInterface(IID_IUnknown, &object), S_OK);
    EXPECT_EQ(volume->QueryInterface(audio::kNotificationClientIid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(client->QueryInterface(audio::kNotificationClientIid, &object), S_OK);
    EXPECT_EQ(client->QueryInterface(audio::kEndpointVolumeCallbackIid, &object), E_NOINTERFACE);
    // Count: 1 at creation, +2 and +1 from the answers above.
    EXPECT_EQ(volume->Release(), 2u);
    EXPECT_EQ(volume->Release(), 1u);
    EXPECT_EQ(volume->Release(), 0u);
    EXPECT_EQ(client->Release(), 1u);
    EXPECT_EQ(client->Release(), 0u);
}

}  // namespace

// The program under Wine: single instance, the key roads, sibling messages,
// power and session notifications, and hostile messages from other processes.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "programtest.h"
#include "simfirmware.h"
#include "vqdrive.h"

namespace {

void SetSetting(const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Settings", 0, nullptr, 0, KEY_SET_VALUE,
                    nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

namespace fw = vqdrive::firmware;
using Entries = std::vector<std::string>;

class SpineTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        fw::SetValue(vqsim::value::kBrightness, 5);
    }
    // The calls so far; with a prefix, only those that begin with it.
    std::vector<std::string> CallsNow(const char* prefix = "") {
        std::vector<std::string> calls;
        for (const auto& call : TraceCalls()) {
            if (call.rfind(prefix, 0) == 0) calls.push_back(call);
        }
        return calls;
    }
    // Waits until the trace holds `count` calls (beginning with `prefix`).
    std::vector<std::string> WaitForCalls(size_t count, DWORD timeoutMs = 3000, const char* prefix = "") {
        const DWORD start = GetTickCount();
        while (CallsNow(prefix).size() < count && GetTickCount() - start < timeoutMs) vqdrive::Pause(20);
        return CallsNow(prefix);
    }
    // The keys that reached the key pre-processing (which makes calls of its own).
    std::vector<std::string> WaitForKeys(size_t count) { return WaitForCalls(count, 3000, "ProcessKey"); }
    // Waits until the firmware's brightness is `level`.
    bool WaitForBrightness(DWORD level, DWORD timeoutMs = 3000) {
        const DWORD start = GetTickCount();
        while (fw::Value(vqsim::value::kBrightness) != level && GetTickCount() - start < timeoutMs) vqdrive::Pause(20);
        return fw::Value(vqsim::value::kBrightness) == level;
    }
    // Waits until the firmware has seen `count` handshakes.
    Entries WaitForHandshakes(size_t count, DWORD timeoutMs = 3000) {
        const DWORD start = GetTickCount();
        while (fw::Handshakes().size() < count && GetTickCount() - start < timeoutMs) vqdrive::Pause(20);
        return fw::Handshakes();
    }
    // How often the firmware was called with a command ("0x11": brightness written).
    static size_t FirmwareCalls(const char* command) {
        const Entries calls = fw::Calls();
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), command));
    }
};

TEST_F(SpineTest, SecondCopyEndsAtOnceAndTheFirstKeepsRunning) {
    Start(L"win7");
    vqdrive::Program second;
    vqdrive::StartOptions options;
    options.waitForWindowMs = 0;
    ASSERT_TRUE(second.Start(options));
    EXPECT_NE(second.WaitForExit(10000), STILL_ACTIVE);
    EXPECT_TRUE(program_.Running());
    EXPECT_TRUE(IsWindow(window_));
    const std::string log = vqdrive::ReadFileBytes(vqdrive::LogFilePath());
    const size_t at = log.find("M: Valmora is already runned\r\r\nEnd Valmora runned previously\r\n");
    ASSERT_NE(at, std::string::npos) << log;
    // "Www Mmm dd hh:mm:ss AM" before it.
    ASSERT_GE(at, 21u);
    const std::string stamp = log.substr(at - 21, 22);
    EXPECT_EQ(stamp[3], ' ');
    EXPECT_EQ(stamp[13], ':');
    EXPECT_EQ(stamp[16], ':');
    EXPECT_TRUE(stamp.substr(20) == "AM" || stamp.substr(20) == "PM") << stamp;
}

TEST_F(SpineTest, DebugSettingShowsTheSecondCopysReportInABoxFirst) {
    Start(L"win7");
    SetSetting(L"vqdg", 1);  // the running copy wrote 0 at its start
    vqdrive::Program second;
    vqdrive::StartOptions options;
    options.waitForWindowMs = 0;
    ASSERT_TRUE(second.Start(options));
    const vqdrive::MessageBoxInfo box = vqdrive::WaitForMessageBox(second.ProcessId(), 10000);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"Valmora is already runned\r\nEnd Valmora runned previously");
    EXPECT_EQ(vqdrive::ReadFileBytes(vqdrive::LogFilePath()).find("already runned"), std::string::npos);
    EXPECT_EQ(second.WaitForExit(300), static_cast<DWORD>(STILL_ACTIVE)) << "the copy waits for the box";
    vqdrive::CloseMessageBox(box.window);
    EXPECT_NE(second.WaitForExit(10000), STILL_ACTIVE);
    EXPECT_NE(vqdrive::ReadFileBytes(vqdrive::LogFilePath()).find("already runned"), std::string::npos);
    SetSetting(L"vqdg", 0);
}

TEST_F(SpineTest, StartWritesTheDebugSettingZero) {
    SetSetting(L"vqdg", 1);
    Start(L"win7");
    DWORD value = 7, size = sizeof value;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Settings", L"vqdg", RRF_RT_REG_DWORD,
                           nullptr, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 0u);
}

TEST_F(SpineTest, RawInputKeyIsProcessedOnceOnWindows7) {
    Start(L"win7");
    vqdrive::Pause(500);
    // Make code 0x77 without flags is dropped at once; handled, it would show picture 91.
    vqdrive::TapKey(0xFF, 0x77);
    vqdrive::Pause(300);
    EXPECT_FALSE(OsdShown());
    vqdrive::TapKey(0xFF, 8);
    EXPECT_TRUE(WaitForBrightness(6));
    vqdrive::TapKey(0xFF, 9);
    EXPECT_TRUE(WaitForBrightness(5));
    vqdrive::Pause(300);
    EXPECT_EQ(FirmwareCalls("0x11"), 2u) << "one brightness write per key";
}

TEST_F(SpineTest, HookLibraryDeliversKeysBeforeWindows7) {
    Start(L"vista");
    vqdrive::TapKey(0xFF, 8);
    EXPECT_TRUE(WaitForBrightness(6));
    vqdrive::Pause(300);
    EXPECT_EQ(FirmwareCalls("0x11"), 1u) << "the key arrived once";
}

TEST_F(SpineTest, HookMessageWithGarbageFromAnotherProcessLeavesTheProgramRunning) {
    Start(L"vista");
    const Entries callsBefore = fw::Calls();
    for (LPARAM garbage : {LPARAM(0x10), LPARAM(0x7FFE0000), LPARAM(-1), LPARAM(0x00400000)}) {
        vqdrive::PostRegistered(window_, L"TrapkeyPS2", 0, garbage);
        vqdrive::SendRegistered(window_, L"TrapkeyPS2", 0, garbage);
    }
    vqdrive::Pause(300);
    EXPECT_TRUE(program_.Running());
    EXPECT_EQ(fw::Calls(), callsBefore) << "no forged record reached the firmware";
    EXPECT_FALSE(OsdShown());
    // A forged key without an action would leave no other mark than its key trace.
    EXPECT_TRUE(CallsNow().empty()) << "no forged record reaches the key handling";
    // The real road still works afterwards.
    vqdrive::TapKey(0xFF, 9);
    EXPECT_TRUE(WaitForBrightness(4));
}

TEST_F(SpineTest, UsbKeyboardLibraryDeliversVendorUsagesOnUsbModels) {
    vqdrive::firmware::SetModelRecord(L"S30K1");  // a model family with a USB keyboard
    Start(L"win7");
    EXPECT_TRUE(vqdrive::SendUsbUsage(0xB1, 0xFF7F));  // key 8 of these models: brightness down
    EXPECT_TRUE(vqdrive::SendUsbUsage(0xB4, 0xFF7F));  // not a key of ours
    EXPECT_TRUE(vqdrive::SendUsbUsage(0xE9, 0x0C));    // consumer volume up: only noted
    EXPECT_TRUE(vqdrive::SendUsbUsage(0xB8, 0xFF7F));  // key 5: the wireless device
    EXPECT_TRUE(WaitForBrightness(4));
    const DWORD start = GetTickCount();
    while (fw::Value(vqsim::value::kWireless, 1) != 0 && GetTickCount() - start < 3000) vqdrive::Pause(20);
    EXPECT_EQ(fw::Value(vqsim::value::kWireless, 1), 0u);
    // The two usages without a key of their own have no effect to observe:
    // only the key trace shows that they never reached the key handling.
    std::vector<std::string> keys;
    for (const auto& call : WaitForKeys(2)) {
        if (call.rfind("ProcessKey", 0) == 0) keys.push_back(call);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"ProcessKey 255 8 1", "ProcessKey 255 5 1"}));
    EXPECT_EQ(fw::Value(vqsim::value::kBrightness), 4u);
}

TEST_F(SpineTest, OtherModelsDoNotLoadTheUsbKeyboardLibrary) {
    Start(L"win7");
    EXPECT_FALSE(vqdrive::SendUsbUsage(0xB1, 0xFF7F));
}

TEST_F(SpineTest, SiblingKeysNeedExternalKeyMode) {
    Start(L"win7");
    vqdrive::SendSibling(window_, 8, 0);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window_, 0x46E, 0, 0, SMTO_NORMAL, 5000, &ignored);
    vqdrive::SendSibling(window_, 8, 0);
    EXPECT_EQ(vqdrive::SendSibling(window_, 53, 0x101), 0) << "no graphics driver";
    EXPECT_TRUE(WaitForBrightness(6)) << "the key of external key mode";
    SendMessageTimeoutW(window_, 0x46F, 0, 0, SMTO_NORMAL, 5000, &ignored);
    vqdrive::SendSibling(window_, 9, 0);
    vqdrive::Pause(300);
    EXPECT_EQ(fw::Value(vqsim::value::kBrightness), 6u);
    EXPECT_EQ(FirmwareCalls("0x11"), 1u) << "only the key sent in external key mode acted";
}

TEST_F(SpineTest, PowerAndSessionEventsReachTheBiosHandshakeInOrder) {
    Start(L"win7");
    vqdrive::SendPower(window_, PBT_APMSUSPEND);
    vqdrive::SendPower(window_, PBT_APMRESUMEAUTOMATIC);
    vqdrive::SendSession(window_, WTS_SESSION_LOCK);
    vqdrive::SendSession(window_, WTS_SESSION_UNLOCK);
    vqdrive::SendSession(window_, WTS_SESSION_LOGOFF);
    vqdrive::SendSession(window_, WTS_SESSION_LOGON);
    vqdrive::TapKey(0xFF, 8);  // the lock and logoff armed a re-announce; the unlock/logon did not clear it
    EXPECT_TRUE(WaitForBrightness(6));
    EXPECT_EQ(WaitForHandshakes(16), (Entries{"9/3", "9/2",      // start
                                              "9/131", "9/130",  // suspend
                                              "9/3", "9/2",      // resume
                                              "9/130", "9/131",  // lock
                                              "9/2", "9/3",      // unlock
                                              "9/130", "9/131",  // logoff
                                              "9/2", "9/3",      // logon
                                              "9/3", "9/2"}));   // the next key announces first
    // ... before the key acts: the firmware's last calls are the handshake, then the brightness.
    const Entries calls = fw::Calls();
    const auto write = std::find(calls.begin(), calls.end(), "0x11");
    ASSERT_NE(write, calls.end());
    EXPECT_EQ(std::count(write, calls.end(), "0x09"), 0) << "no handshake after the key's write";
    EXPECT_EQ(std::count(calls.begin(), write, "0x09"), 16);
}

TEST_F(SpineTest, EndSessionQueryWithdraws) {
    Start(L"win7");
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window_, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_EQ(WaitForHandshakes(4), (Entries{"9/3", "9/2", "9/131", "9/130"}));
}

TEST_F(SpineTest, CloseCommandOfTheSystemMenuOnlyHidesTheQuitButtonEnds) {
    Start(L"win7");
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window_, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL, 5000, &ignored);
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_TRUE(program_.Running());
    PostMessageW(window_, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0);
    EXPECT_EQ(program_.WaitForExit(10000), 0u);
}

}  // namespace

// The program under Wine: single instance, the key roads, sibling messages,
// power and session notifications, and hostile messages from other processes.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

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

// Lines of the trace file that begin with "call ".
std::vector<std::string> Calls(const std::wstring& trace) {
    std::vector<std::string> calls;
    for (const auto& line : vqdrive::ReadLines(trace)) {
        if (line.rfind("call ", 0) == 0) calls.push_back(line.substr(5));
    }
    return calls;
}

class SpineTest : public ProgramTest {
protected:
    SpineTest() : ProgramTest(L"vq_spine_trace.txt") {}
    // The calls so far; with a prefix, only those that begin with it.
    std::vector<std::string> CallsNow(const char* prefix = "") {
        std::vector<std::string> calls;
        for (const auto& call : Calls(trace_)) {
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
    vqdrive::TapKey(0xFF, 8);
    vqdrive::TapKey(0xFF, 0x77);  // make code 0x77 without flags is dropped at once
    vqdrive::TapKey(0xFF, 9);
    const auto calls = WaitForKeys(2);
    EXPECT_EQ(calls, (std::vector<std::string>{"ProcessKey 255 8 0", "ProcessKey 255 9 0"}));
}

TEST_F(SpineTest, HookLibraryDeliversKeysBeforeWindows7) {
    Start(L"vista");
    vqdrive::TapKey(0xFF, 8);
    const auto calls = WaitForKeys(1);
    EXPECT_EQ(calls, (std::vector<std::string>{"ProcessKey 255 8 0"}));
}

TEST_F(SpineTest, HookMessageWithGarbageFromAnotherProcessLeavesTheProgramRunning) {
    Start(L"vista");
    for (LPARAM garbage : {LPARAM(0x10), LPARAM(0x7FFE0000), LPARAM(-1), LPARAM(0x00400000)}) {
        vqdrive::PostRegistered(window_, L"TrapkeyPS2", 0, garbage);
        vqdrive::SendRegistered(window_, L"TrapkeyPS2", 0, garbage);
    }
    vqdrive::Pause(300);
    EXPECT_TRUE(program_.Running());
    EXPECT_TRUE(CallsNow().empty()) << "no forged record reaches the key handling";
    // The real road still works afterwards.
    vqdrive::TapKey(0xFF, 9);
    EXPECT_EQ(WaitForKeys(1), (std::vector<std::string>{"ProcessKey 255 9 0"}));
}

TEST_F(SpineTest, UsbKeyboardLibraryDeliversVendorUsagesOnUsbModels) {
    vqdrive::firmware::SetModelRecord(L"S30K1");  // a model family with a USB keyboard
    Start(L"win7");
    ASSERT_TRUE(vqdrive::WaitForLine(trace_, "usb=1", 2000));
    EXPECT_TRUE(vqdrive::SendUsbUsage(0xB1, 0xFF7F));
    EXPECT_TRUE(vqdrive::SendUsbUsage(0xB4, 0xFF7F));  // not a key of ours
    EXPECT_TRUE(vqdrive::SendUsbUsage(0xE9, 0x0C));    // consumer volume up: only noted
    EXPECT_TRUE(vqdrive::SendUsbUsage(0xB8, 0xFF7F));
    std::vector<std::string> keys;
    for (const auto& call : WaitForKeys(2)) {
        if (call.rfind("ProcessKey", 0) == 0) keys.push_back(call);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"ProcessKey 255 8 1", "ProcessKey 255 5 1"}));
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
    SendMessageTimeoutW(window_, 0x46F, 0, 0, SMTO_NORMAL, 5000, &ignored);
    vqdrive::SendSibling(window_, 9, 0);
    EXPECT_EQ(WaitForKeys(1), (std::vector<std::string>{"ProcessKey 255 8 1"}));
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
    std::vector<std::string> handshake;
    for (const auto& call : WaitForCalls(20)) {
        if (call.rfind("BiosHandshake", 0) == 0 || call.rfind("ProcessKey", 0) == 0) handshake.push_back(call);
    }
    EXPECT_EQ(handshake, (std::vector<std::string>{
                             "BiosHandshake 9 131", "BiosHandshake 9 130",  // suspend
                             "BiosHandshake 9 3", "BiosHandshake 9 2",      // resume
                             "BiosHandshake 9 130", "BiosHandshake 9 131",  // lock
                             "BiosHandshake 9 2", "BiosHandshake 9 3",      // unlock
                             "BiosHandshake 9 130", "BiosHandshake 9 131",  // logoff
                             "BiosHandshake 9 2", "BiosHandshake 9 3",      // logon
                             "BiosHandshake 9 3", "BiosHandshake 9 2",      // the next key announces first
                             "ProcessKey 255 8 0"}));
}

TEST_F(SpineTest, EndSessionQueryWithdraws) {
    Start(L"win7");
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window_, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &result);
    EXPECT_EQ(WaitForCalls(2), (std::vector<std::string>{"BiosHandshake 9 131", "BiosHandshake 9 130"}));
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

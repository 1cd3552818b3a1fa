// The program and the simulated notebook's firmware under Wine: the missing
// library, the library chosen by the Windows version, and the presence
// handshake across power and session events.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programtest.h"
#include "simfirmware.h"
#include "vqdrive.h"

namespace {

namespace fw = vqdrive::firmware;
using Entries = std::vector<std::string>;

class FirmwareE2eTest : public ProgramTest {
protected:
    // Waits until the firmware has seen `count` handshakes.
    Entries WaitForHandshakes(size_t count, DWORD timeoutMs = 3000) {
        const DWORD start = GetTickCount();
        while (fw::Handshakes().size() < count && GetTickCount() - start < timeoutMs) vqdrive::Pause(20);
        return fw::Handshakes();
    }
};

TEST_F(FirmwareE2eTest, WithoutTheLibraryTheProgramSaysSoAndEndsWithMinusOne) {
    // vqhkcore.exe alone in a folder of its own: no KEST library anywhere on the search path.
    const std::wstring folder = TempPath(L"vq_no_kest\\");
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((vqdrive::ProgramFolder() + L"vqhkcore.exe").c_str(), (folder + L"vqhkcore.exe").c_str(),
                          FALSE));
    vqdrive::SetWindowsVersion(L"win7");
    vqdrive::StartOptions options;
    options.programFolder = folder;
    options.waitForWindowMs = 0;
    ASSERT_TRUE(program_.Start(options));

    const vqdrive::MessageBoxInfo box = vqdrive::WaitForMessageBox(program_.ProcessId(), 10000);
    ASSERT_NE(box.window, nullptr) << "no message box";
    EXPECT_EQ(box.text, L"Cannot find KEST.dll(126)!\r\nValmora will be closed");
    EXPECT_EQ(program_.WaitForExit(300), static_cast<DWORD>(STILL_ACTIVE)) << "the program waits for the box";
    vqdrive::CloseMessageBox(box.window);
    EXPECT_EQ(program_.WaitForExit(10000), static_cast<DWORD>(-1));
    DeleteFileW((folder + L"vqhkcore.exe").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(FirmwareE2eTest, LibraryFollowsTheWindowsVersion) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {{L"win7", L"KEST3.dll"}, {L"vista", L"KEST2.dll"}};
    for (const auto& [version, library] : cases) {
        fw::Reset();
        Start(version);
        EXPECT_EQ(fw::Text(vqsim::value::kLibrary), library) << version;
        program_.Stop();
    }
}

TEST_F(FirmwareE2eTest, SuspendResumeLockAndAKeyLeaveTheHandshakesInOrder) {
    Start(L"win7");
    EXPECT_EQ(WaitForHandshakes(2), (Entries{"9/3", "9/2"})) << "announced at start";
    vqdrive::SendPower(window_, PBT_APMSUSPEND);
    vqdrive::SendPower(window_, PBT_APMRESUMEAUTOMATIC);
    vqdrive::SendSession(window_, WTS_SESSION_LOCK);
    EXPECT_EQ(WaitForHandshakes(8).size(), 8u);
    ASSERT_TRUE(vqdrive::TapKey(0xFF, 8));  // the first key press after the lock announces again
    EXPECT_EQ(WaitForHandshakes(10), (Entries{"9/3", "9/2", "9/131", "9/130", "9/3", "9/2", "9/130", "9/131",
                                              "9/3", "9/2"}));
    vqdrive::TapKey(0xFF, 9);  // nothing is pending any more
    vqdrive::Pause(300);
    EXPECT_EQ(fw::Handshakes().size(), 10u);
    program_.Stop();
    const Entries all = fw::Handshakes();
    ASSERT_EQ(all.size(), 12u);
    EXPECT_EQ(all[10], "9/131") << "withdrawn at the end";
    EXPECT_EQ(all[11], "9/130");
}

TEST_F(FirmwareE2eTest, FirmwareThatNamesTheProgramGetsNoHandshakeAtAll) {
    fw::SetSignatureRecord(L"KORVANE VALMORA");
    Start(L"win7");
    vqdrive::SendPower(window_, PBT_APMSUSPEND);
    vqdrive::SendPower(window_, PBT_APMRESUMEAUTOMATIC);
    vqdrive::SendSession(window_, WTS_SESSION_LOCK);
    vqdrive::TapKey(0xFF, 8);
    vqdrive::Pause(300);
    program_.Stop();
    EXPECT_EQ(fw::Handshakes(), Entries{});
    for (const std::string& call : fw::Calls()) EXPECT_NE(call, "0x09");
}

TEST_F(FirmwareE2eTest, ModelFromTheDataBlockSetsTheUsbKeyboardFlag) {
    const struct {
        const wchar_t* model;
        const char* started;
        bool usbLibrary;
    } cases[] = {{L"N10A1", "family=1 usb=1", true}, {L"K1201", "family=8 usb=0", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.model)));
        fw::Reset();
        fw::SetModelRecord(c.model);
        Start(L"win7");
        // The USB keyboard flag loads the USB keyboard library, whose device window then takes usages.
        EXPECT_EQ(vqdrive::SendUsbUsage(0xB4, 0xFF7F), c.usbLibrary);
        // The family itself is seen by subsystems not built yet: only the start trace shows it.
        EXPECT_TRUE(WaitForTrace(c.started, 2000)) << TraceText();
        program_.Stop();
    }
}

}  // namespace

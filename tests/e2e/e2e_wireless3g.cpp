// The wireless key on a notebook with two radios and the Intel graphics (whose
// display profile store holds the WMI connection the 3G module question
// uses): with a built-in 3G modem on the simulated USB bus (the injected
// sim/usbbus) it opens the wireless
// toggle on the firmware's radio state, a further press steps it and the
// confirmation writes the choice to the firmware; without a modem, or with an
// ordinary modem on a model of the second list, the key switches the
// wireless device at once as before.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "osd/togglechoices.h"
#include "programtest.h"
#include "screenpixels.h"
#include "simadapter.h"
#include "simfirmware.h"
#include "simusbbus.h"
#include "vqdrive.h"

namespace {

namespace fw = vqdrive::firmware;

const std::wstring kMouse = L"USB\\VID_046D&PID_C52B\\7&3C9D1A&0&1";
const std::wstring kChipsetController = L"USB\\VEN_8086&PID_6772\\3&21436425&0&E8";
const std::wstring kSpecialModem = L"USB\\VID_1E0E&PID_6772\\5&2A1B3C4D&0&3";
const std::wstring kOrdinaryModem = L"USB\\VID_12D1&PID_1404\\6&11AA22BB&0&2";

class Wireless3gE2eTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        vqdrive::usbbus::Reset();
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        // Two radios, both on; no radio switch, so the key is the program's.
        fw::SetValue(vqsim::value::kRadio1, 2);
        fw::SetValue(vqsim::value::kWirelessForm, 2);
        fw::SetValue(vqsim::value::kWireless, 1);
        fw::SetValue(vqsim::value::kWireless2, 3);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        vqdrive::usbbus::Reset();
        vqdrive::adapter::Reset();
    }
    void StartWithDevices(const std::vector<std::wstring>& devices) {
        vqdrive::usbbus::SetDevices(devices);
        Start(L"win7", L"", std::vector{vqdrive::adapter::LibraryPath(), vqdrive::usbbus::LibraryPath()});
    }
    bool WaitForRadios(DWORD first, DWORD second, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        auto reached = [&] {
            return fw::Value(vqsim::value::kWireless, 99) == first && fw::Value(vqsim::value::kWireless2, 99) == second;
        };
        while (!reached() && GetTickCount() - start < timeoutMs) vqdrive::Pause(20);
        return reached();
    }
    // The OSD window's size once it is shown; empty when none shows.
    SIZE ShownOsdSize() {
        RECT rect{};
        const DWORD start = GetTickCount();
        while (!vqdrive::FindOsdRect(program_.ProcessId(), &rect) && GetTickCount() - start < 2000) vqdrive::Pause(20);
        if (!vqdrive::FindOsdRect(program_.ProcessId(), &rect)) return {};
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
};

// A modem on the bus: the toggle opens, one step, and the confirmation writes
// the radio bytes of the choice stepped to.
TEST_F(Wireless3gE2eTest, WithABuiltInModemTheKeyOpensTheWirelessToggleAndTheChoiceReachesTheRadios) {
    struct Case {
        const char* name;
        std::vector<std::wstring> devices;
        bool twoChoice;
        DWORD first, second;  // the radio bytes after one step from both on
    } cases[] = {
        // Two choices: both on, both off.
        {"special modem", {kMouse, kSpecialModem}, true, 0, 2},
        // Four choices: the step after both on is the first radio alone.
        {"ordinary modem", {kOrdinaryModem}, false, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fw::SetValue(vqsim::value::kWireless, 1);
        fw::SetValue(vqsim::value::kWireless2, 3);
        StartWithDevices(c.devices);
        const Picture background = StripFramePicture(osd::kWirelessStripFile, osd::WirelessBackgroundFrame(c.twoChoice));
        ASSERT_GT(background.width, 0) << "the wireless strip is missing";

        vqdrive::TapKey(0xFF, 6);
        const SIZE shown = ShownOsdSize();
        EXPECT_EQ(shown.cx, background.width) << "no wireless toggle on screen";
        EXPECT_EQ(shown.cy, background.height);
        EXPECT_EQ(vqdrive::usbbus::Answered(), 1u) << "the USB devices were asked for once";
        EXPECT_TRUE(WaitForRadios(1, 3, 0)) << "opening changes nothing";

        vqdrive::Pause(300);
        vqdrive::TapKey(0xFF, 6);
        vqdrive::Pause(300);
        EXPECT_TRUE(WaitForRadios(1, 3, 0)) << "a step alone changes nothing";
        EXPECT_TRUE(WaitForRadios(c.first, c.second, 5000)) << "the confirmation writes the choice";
        EXPECT_TRUE(WaitForOsdShown(false, 3000));
        EXPECT_EQ(vqdrive::usbbus::Answered(), 1u) << "the presence is kept for the run";
        EXPECT_TRUE(program_.Running());
        program_.Stop();
        vqdrive::usbbus::Reset();
    }
}

// No modem the detector counts: the key switches the wireless device at once.
TEST_F(Wireless3gE2eTest, WithoutACountedModemTheKeySwitchesTheWirelessDeviceAtOnce) {
    struct Case {
        const char* name;
        std::vector<std::wstring> devices;
        const wchar_t* modelName;  // null: the stock model
    } cases[] = {
        {"no modem", {kMouse}, nullptr},
        {"only the chipset's own controller", {kChipsetController}, nullptr},
        {"ordinary modem on a model of the second list", {kOrdinaryModem}, L"R20M-VQ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fw::SetValue(vqsim::value::kWireless, 1);
        if (c.modelName) fw::SetModelName(c.modelName);
        StartWithDevices(c.devices);
        vqdrive::TapKey(0xFF, 6);
        const DWORD start = GetTickCount();
        while (fw::Value(vqsim::value::kWireless, 99) != 0 && GetTickCount() - start < 3000) vqdrive::Pause(20);
        EXPECT_EQ(fw::Value(vqsim::value::kWireless, 99), 0u) << "the wireless device is switched off at once";
        EXPECT_EQ(vqdrive::usbbus::Answered(), 1u);
        const Picture toggle = StripFramePicture(osd::kWirelessStripFile, osd::WirelessBackgroundFrame(true));
        EXPECT_NE(ShownOsdSize().cx, toggle.width) << "the plain wireless picture, not the toggle";
        EXPECT_TRUE(program_.Running());
        program_.Stop();
        vqdrive::usbbus::Reset();
        fw::Reset();
        fw::SetValue(vqsim::value::kRadio1, 2);
        fw::SetValue(vqsim::value::kWirelessForm, 2);
    }
}

// A management service that has stopped answering: the key's question about
// the modem gives up after its bound, says so in the log, the wireless device
// switches at once and the program answers the next key straight away.
TEST_F(Wireless3gE2eTest, AManagementServiceThatNeverAnswersDoesNotFreezeTheKeys) {
    vqdrive::usbbus::SetNoAnswer(true);
    StartWithDevices({kSpecialModem});
    vqdrive::TapKey(0xFF, 6);
    const DWORD start = GetTickCount();
    while (fw::Value(vqsim::value::kWireless, 99) != 0 && GetTickCount() - start < 15000) vqdrive::Pause(50);
    EXPECT_EQ(fw::Value(vqsim::value::kWireless, 99), 0u) << "the wireless device is switched at once after the bound";
    EXPECT_TRUE(vqdrive::WaitForLine(vqdrive::LogFilePath(), "fail: QueryDeviceIds() - no answer within 3000 ms", 1000))
        << vqdrive::ReadFileBytes(vqdrive::LogFilePath());

    // The next key is answered at once: the brightness key changes the firmware.
    const DWORD brightness = fw::Value(L"Brightness");
    vqdrive::TapKey(0xFF, 8);
    const DWORD keyAt = GetTickCount();
    while (fw::Value(L"Brightness") == brightness && GetTickCount() - keyAt < 2000) vqdrive::Pause(20);
    EXPECT_NE(fw::Value(L"Brightness"), brightness) << "the next key waits behind the query";
    EXPECT_TRUE(program_.Running());
}

}  // namespace

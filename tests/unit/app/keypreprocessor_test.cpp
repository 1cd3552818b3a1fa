// Key pre-processing: which branch each key takes on both keyboard types and
// both sources, Shift and Alt combinations, the Windows 7 brightness rule, the
// display switch key, the wireless keys and the volume keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "app/keypreprocessor.h"
#include "app/maincommands.h"
#include "common/settingsstore.h"
#include "common/processstate.h"
#include "keyfakes.h"
#include "keyfixture.h"

namespace {

using keytest::SetKeys;
using Calls = std::vector<std::string>;
constexpr KeySource kHook = KeySource::HookOrRawInput;
constexpr KeySource kUsb = KeySource::UsbOrSibling;

class KeyPreprocessorTest : public keytest::KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        GetCursorPos(&cursor);
    }
    void TearDown() override {
        commands.WaitForEjectThread(5000);
        KeyTest::TearDown();
    }
    // Settings are read as the main window reads them at start.
    void Start() { keys.LoadKeyOptions(); }
    std::string At(const char* call, int value) const {
        return std::string(call) + " " + std::to_string(cursor.x) + " " + std::to_string(cursor.y) + " " +
               std::to_string(value);
    }

    RecordingPorts ports;
    RecordingKeyPlatform platform;
    CMainCommands commands{ports.Commands(), platform};
    CKeyPreprocessor keys{ports.Keys(commands), platform};
    POINT cursor{};
};

// One key press and what it leads to.
struct KeyCase {
    const char* name;
    bool usbModel;
    BYTE virtualKey;
    BYTE scanCode;
    KeySource source;
    int expectedResult;
    Calls expectedCalls;  // the ports' calls, in order
    std::function<void(RecordingPorts&)> arrange;
};

TEST_F(KeyPreprocessorTest, EachKeyTakesItsBranch) {
    const auto dispatcherPasses = [](RecordingPorts& s) { s.dispatch.hotkeyResult = 1; };
    const auto dispatcherHasNoOsd = [](RecordingPorts& s) { s.dispatch.hotkeyResult = 0; };
    const auto radioSwitchModel = [](RecordingPorts& s) { s.firmware.rfResult = 1; };
    const auto noRadioSwitch = [](RecordingPorts& s) { s.firmware.rfResult = 0; };
    const KeyCase cases[] = {
        // Section A: PS/2 keyboards.
        {"display switch", false, 0xFF, 2, kHook, 255, {"RestartTimer 3 30000", "SelectDisplayCombination 0"}},
        {"wireless key with the radio switch", false, 0xFF, 6, kHook, 255, {"GetRFOnOffStatus"}, radioSwitchModel},
        {"wireless key without 3G module", false, 0xFF, 6, kHook, 255,
         {"GetRFOnOffStatus", "Detect3GModule", "RestartTimer 5 5000", "ProcessHotkey 6"}, noRadioSwitch},
        {"no action", false, 0xFF, 49, kHook, 1, {}},
        {"wireless notice", false, 0xFF, 52, kHook, 255,
         {"SetMessagePictureName wlan.jpg", "LoadMsgImage", "RestartTimer 3 2500", "ShowMessageWindow"}},
        {"SRS effect", false, 0xFF, 111, kHook, 255, {"SelectSRSEffect"}},
        {"resolution selector", false, 0xFF, 118, kHook, 255, {"SelectResolution"}},
        {"dispatcher acts", false, 0xFF, 3, kHook, 255, {"ProcessHotkey 3"}},
        {"dispatcher does not know the code", false, 0xFF, 3, kHook, 1, {"ProcessHotkey 3"}, dispatcherPasses},
        {"dispatcher without OSD window", false, 0xFF, 3, kHook, 255, {"ProcessHotkey 3"}, dispatcherHasNoOsd},
        {"brightness from the USB road", false, 0xFF, 8, kUsb, 255, {"ProcessHotkey 8"}},
        // Section B: USB keyboards.
        {"USB display switch", true, 0xFF, 1, kUsb, 255, {"RestartTimer 3 30000", "SelectDisplayCombination 0"}},
        {"USB 7 from the hook", true, 0xFF, 7, kHook, 255, {"ProcessHotkey 72"}},
        {"USB 7 from the USB library", true, 0xFF, 7, kUsb, 255, {"ProcessHotkey 7"}},
        {"USB 8 from the USB library", true, 0xFF, 8, kUsb, 255, {"ProcessHotkey 8"}},
        {"USB 8 from the hook", true, 0xFF, 8, kHook, 255, {"ProcessHotkey 7"}},
        {"USB 9 from the USB library", true, 0xFF, 9, kUsb, 255, {"SelectSRSEffect"}},
        {"USB 9 from the hook", true, 0xFF, 9, kHook, 255, {"ProcessHotkey 8"}},
        {"USB 98", true, 0xFF, 98, kUsb, 255, {}},
        {"USB resolution selector", true, 0xFF, 118, kUsb, 255, {"SelectResolution"}},
        {"USB 120", true, 0xFF, 120, kUsb, 1, {}},
        {"USB 2 goes to the dispatcher", true, 0xFF, 2, kUsb, 255, {"ProcessHotkey 2"}},
        {"USB unknown code", true, 0xFF, 30, kHook, 1, {"ProcessHotkey 30"}, dispatcherPasses},
        // Section C: other virtual keys.
        {"volume up", false, VK_VOLUME_UP, 0x30, kHook, 0, {"ProcessHotkey 48"}},
        {"volume down", false, VK_VOLUME_DOWN, 0x2E, kHook, 0, {"ProcessHotkey 46"}},
        {"volume up with a foreign scan code", false, VK_VOLUME_UP, 0x2E, kHook, 1, {}},
        {"mute", false, VK_VOLUME_MUTE, 0x20, kHook, 1, {"RestartTimer 1 1000"}},
        {"volume up after the consumer usage", false, VK_VOLUME_UP, 0, kHook, 0, {"ProcessHotkey 48"},
         [](RecordingPorts& s) { s.roads.lastConsumerVolumeKey = 0x30; }},
        {"volume down after the consumer usage", false, VK_VOLUME_DOWN, 0, kHook, 0, {"ProcessHotkey 46"},
         [](RecordingPorts& s) { s.roads.lastConsumerVolumeKey = 0x2E; }},
        {"volume up after another consumer usage", false, VK_VOLUME_UP, 0, kHook, 1, {},
         [](RecordingPorts& s) { s.roads.lastConsumerVolumeKey = 0x2E; }},
        {"mute after the consumer usage", false, VK_VOLUME_MUTE, 0, kHook, 1, {"RestartTimer 1 1000"},
         [](RecordingPorts& s) { s.roads.lastConsumerVolumeKey = 0x20; }},
        {"ordinary key", false, 'A', 0x1E, kHook, 1, {}},
        {"ordinary key on a USB model", true, 'A', 0x1E, kHook, 1, {}},
    };
    for (const KeyCase& c : cases) {
        RecordingPorts casePorts;
        if (c.arrange) c.arrange(casePorts);
        proc::usbKeyboardModel = c.usbModel;
        CMainCommands caseCommands{casePorts.Commands(), platform};
        CKeyPreprocessor caseKeys{casePorts.Keys(caseCommands), platform};
        caseKeys.LoadKeyOptions();
        EXPECT_EQ(caseKeys.ProcessKey(c.virtualKey, c.scanCode, c.source), c.expectedResult) << c.name;
        EXPECT_EQ(casePorts.Calls(), c.expectedCalls) << c.name;
    }
}

TEST_F(KeyPreprocessorTest, HandledKeyResultIsTheSettingCopy) {
    keys.SetHandledKeyResult(7);
    Start();
    EXPECT_EQ(keys.ProcessKey(0xFF, 111, kHook), 7);
    EXPECT_EQ(keys.ProcessKey(0xFF, 3, kHook), 7);
}

// Shift and Alt with the brightness and volume codes.
struct ModifiedCase {
    const char* name;
    bool usbModel;
    BYTE shift, alt;  // keyboard state bytes
    int vqsm, vqsr;
    int scanCode;
    int expectedResult;
    bool expectedHandled;
    const char* expectedCall;  // with the cursor position, or nullptr for none
    int callValue;
};

TEST_F(KeyPreprocessorTest, ShiftAndAltChangeResolutionAndRotation) {
    const ModifiedCase cases[] = {
        {"Shift brightness up", false, 0x80, 0, 1, 0, 8, 255, true, "SetResolutionUp", 0},
        {"Shift brightness down", false, 0x80, 0, 1, 0, 9, 255, true, "SetResolutionDown", 0},
        {"Shift volume down", false, 0x80, 0, 1, 0, 46, 255, true, "SetResolutionDown", 1},
        {"Shift volume up", false, 0x80, 0, 1, 0, 48, 255, true, "SetResolutionUp", 1},
        {"Shift 7 is used up", false, 0x80, 0, 1, 0, 7, 255, true, nullptr, 0},
        {"Shift 15 is used up", false, 0x80, 0, 1, 0, 15, 255, true, nullptr, 0},
        {"Shift 16 is used up", false, 0x80, 0, 1, 0, 16, 255, true, nullptr, 0},
        {"Shift other code", false, 0x80, 0, 1, 0, 3, 1, false, nullptr, 0},
        {"USB Shift 7", true, 0x80, 0, 1, 0, 7, 255, true, "SetResolutionUp", 0},
        {"USB Shift 8", true, 0x80, 0, 1, 0, 8, 255, true, "SetResolutionDown", 0},
        {"USB Shift 9 is used up", true, 0x80, 0, 1, 0, 9, 255, true, nullptr, 0},
        {"vqsm off", false, 0x80, 0, 0, 1, 8, 1, false, nullptr, 0},
        {"Alt brightness up", false, 0, 0x80, 1, 1, 8, 255, true, "RotateDisplayAt", 0},
        {"Alt brightness down", false, 0, 0x80, 1, 1, 9, 255, true, "RotateDisplayAt", 180},
        {"Alt volume down", false, 0, 0x80, 1, 1, 46, 255, true, "RotateDisplayAt", 90},
        {"Alt volume up", false, 0, 0x80, 1, 1, 48, 255, true, "RotateDisplayAt", 270},
        {"USB Alt 7", true, 0, 0x80, 1, 1, 7, 255, true, "RotateDisplayAt", 0},
        {"USB Alt 8", true, 0, 0x80, 1, 1, 8, 255, true, "RotateDisplayAt", 180},
        {"Alt 7 is not a rotation key", false, 0, 0x80, 1, 1, 7, 1, false, nullptr, 0},
        {"vqsr off", false, 0, 0x80, 1, 0, 48, 1, false, nullptr, 0},
        {"Shift wins over Alt", false, 0x80, 0x80, 0, 1, 48, 1, false, nullptr, 0},
        {"no modifier", false, 0, 0, 1, 1, 8, 1, false, nullptr, 0},
    };
    for (const ModifiedCase& c : cases) {
        ports.Clear();
        proc::usbKeyboardModel = c.usbModel;
        settings::WriteInt(settings::kShiftChangesResolution, c.vqsm);
        settings::WriteInt(settings::kAltRotates, c.vqsr);
        Start();
        SetKeys({{VK_SHIFT, c.shift}, {VK_MENU, c.alt}});
        bool handled = !c.expectedHandled;
        EXPECT_EQ(keys.HandleModifiedKey(c.scanCode, &handled), c.expectedResult) << c.name;
        EXPECT_EQ(handled, c.expectedHandled) << c.name;
        const Calls expected = c.expectedCall ? Calls{At(c.expectedCall, c.callValue)} : Calls{};
        EXPECT_EQ(ports.Calls(), expected) << c.name;
    }
}

TEST_F(KeyPreprocessorTest, ModifiedKeyWithoutGraphicsDriverIsSwallowed) {
    ports.display.graphicsDriver = false;
    Start();
    SetKeys({{VK_SHIFT, 0x80}});
    EXPECT_EQ(keys.ProcessKey(0xFF, 8, kHook), 0);
    EXPECT_EQ(keys.ProcessKey(VK_VOLUME_UP, 0x30, kHook), 0);
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
}

TEST_F(KeyPreprocessorTest, ModifiedKeyHidesALiveOsdFirst) {
    ports.osd.osdAlive = true;
    Start();
    SetKeys({{VK_SHIFT, 0x80}});
    EXPECT_EQ(keys.ProcessKey(0xFF, 9, kHook), 255);
    EXPECT_EQ(ports.Calls(), (Calls{"HideOsd", At("SetResolutionDown", 0)}));
}

TEST_F(KeyPreprocessorTest, ShiftBrightnessWithVqsmOffChangesTheBrightness) {
    settings::WriteInt(settings::kShiftChangesResolution, 0);
    Start();
    SetKeys({{VK_SHIFT, 0x80}});
    EXPECT_EQ(keys.ProcessKey(0xFF, 8, kHook), 255);
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessHotkey 8"}));
}

TEST_F(KeyPreprocessorTest, AltVolumeUpWithVqsrOnRotatesBy270AndPassesTheKeyOn) {
    settings::WriteInt(settings::kAltRotates, 1);
    Start();
    SetKeys({{VK_MENU, 0x80}});
    EXPECT_EQ(keys.ProcessKey(VK_VOLUME_UP, 0x30, kHook), 1);
    EXPECT_EQ(ports.Calls(), (Calls{At("RotateDisplayAt", 270)}));
}

// Windows 7: brightness keys are dropped while a single external output is active.
class BrightnessTopologyTest : public KeyPreprocessorTest {
protected:
    void SetUp() override {
        KeyPreprocessorTest::SetUp();
        proc::windowsVersion = 8;
        Start();
    }
    int Press() { return keys.ProcessKey(0xFF, 8, kHook); }
    size_t TopologyReads() const { return ports.Matching("GetActiveCode").size(); }
};

TEST_F(BrightnessTopologyTest, SingleExternalOutputsDropTheKey) {
    for (int topology : {2, 4, 8, 16}) {
        ports.Clear();
        keys.ClearBrightnessBlockCounter();
        ports.outputs.activeCode = topology;
        EXPECT_EQ(Press(), 1) << topology;
        EXPECT_EQ(ports.Calls(), (Calls{"GetActiveCode", "RestartTimer 144 1500"})) << topology;
    }
}

TEST_F(BrightnessTopologyTest, PanelOrCloneReachesTheDispatcher) {
    for (int topology : {1, 3, 0x101}) {
        ports.Clear();
        keys.ClearBrightnessBlockCounter();
        ports.outputs.activeCode = topology;
        EXPECT_EQ(Press(), 255) << topology;
        EXPECT_TRUE(ports.Has("ProcessHotkey 8")) << topology;
    }
}

TEST_F(BrightnessTopologyTest, WithoutTheWindows7ComponentThePanelIsAssumed) {
    ports.outputs.win7Component = false;
    ports.outputs.activeCode = 2;
    EXPECT_EQ(Press(), 255);
    EXPECT_EQ(TopologyReads(), 0u);
}

TEST_F(BrightnessTopologyTest, TopologyIsReadOncePerBurstAndAgainAfterFiftyKeys) {
    ports.outputs.activeCode = 2;
    for (int i = 0; i < 51; ++i) Press();
    EXPECT_EQ(TopologyReads(), 1u);
    EXPECT_EQ(ports.Matching("RestartTimer 144").size(), 1u);
    ports.outputs.activeCode = 1;  // the panel is back on
    EXPECT_EQ(Press(), 255);  // the 52nd key reads again
    EXPECT_EQ(TopologyReads(), 2u);
}

TEST_F(BrightnessTopologyTest, TimerEndsTheBurst) {
    ports.outputs.activeCode = 2;
    Press();
    Press();
    keys.ClearBrightnessBlockCounter();
    Press();
    EXPECT_EQ(TopologyReads(), 2u);
}

TEST_F(BrightnessTopologyTest, OnlyWindows7AndOnlyBrightnessKeys) {
    ports.outputs.activeCode = 2;
    EXPECT_EQ(keys.ProcessKey(0xFF, 3, kHook), 255);
    proc::windowsVersion = 7;
    EXPECT_EQ(Press(), 255);
    proc::usbKeyboardModel = true;
    proc::windowsVersion = 8;
    EXPECT_EQ(keys.ProcessKey(0xFF, 8, kUsb), 255);
    EXPECT_EQ(TopologyReads(), 0u);
}

// The display switch key and its Alt combination.
TEST_F(KeyPreprocessorTest, AltRestoreSettingIsParsedAsFlagAndMask) {
    struct Case { const wchar_t* text; bool on; int mask; };
    const Case cases[] = {{L"1 31", true, 31}, {L"0", false, 0}, {L"0 31", false, 31}, {L"", false, 0},
                          {L"1", true, 0},     {L"2 7", true, 7}, {L"x 5", false, 5},   {L"131", true, 31},
                          {L"1 99999999999", true, INT_MAX}};
    for (const Case& c : cases) {
        settings::WriteText(settings::kAltRestoreDefault, c.text);
        Start();
        EXPECT_EQ(keys.AltRestoreEnabled(), c.on) << c.text;
        EXPECT_EQ(keys.AltRestoreMask(), c.mask) << c.text;
    }
}

TEST_F(KeyPreprocessorTest, AltDisplaySwitchRestoresTheDefaultWithTheMask) {
    Start();
    SetKeys({{VK_MENU, 0x80}});
    keys.OnDisplaySwitchKey();
    EXPECT_EQ(ports.Calls(), (Calls{"RestartTimer 3 30000", "RestoreDefaultDisplay 31", "ProcessHotkey 201"}));

    ports.Clear();
    ports.display.restoreResult = 0;
    keys.OnDisplaySwitchKey();
    EXPECT_EQ(ports.Calls(), (Calls{"RestartTimer 3 30000", "RestoreDefaultDisplay 31"}));
}

TEST_F(KeyPreprocessorTest, AltDisplaySwitchWithTheFlagOffIsThePlainKey) {
    settings::WriteText(settings::kAltRestoreDefault, L"0 31");
    Start();
    SetKeys({{VK_MENU, 0x80}});
    keys.OnDisplaySwitchKey();
    EXPECT_EQ(ports.Calls(), (Calls{"RestartTimer 3 30000", "SelectDisplayCombination 0"}));
}

TEST_F(KeyPreprocessorTest, DisplaySwitchReadsTheSettingAtEachPress) {
    Start();
    SetKeys({{VK_MENU, 0x80}});
    settings::WriteText(settings::kAltRestoreDefault, L"0 31");
    keys.OnDisplaySwitchKey();
    EXPECT_TRUE(ports.Has("SelectDisplayCombination 0")) << ports.Joined();
}

TEST_F(KeyPreprocessorTest, ShiftDisplaySwitchStepsBackward) {
    Start();
    SetKeys({{VK_SHIFT, 0x80}});
    keys.OnDisplaySwitchKey();
    EXPECT_EQ(ports.Calls(), (Calls{"RestartTimer 3 30000", "SelectDisplayCombination 1"}));
}

TEST_F(KeyPreprocessorTest, DisplaySwitchWithoutGraphicsDriverDoesNothing) {
    ports.display.graphicsDriver = false;
    Start();
    EXPECT_EQ(keys.ProcessKey(0xFF, 2, kHook), 255);
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
}

// The wireless key (6) and the wireless master key (85).
class WirelessKeyTest : public KeyPreprocessorTest {
protected:
    void SetUp() override {
        KeyPreprocessorTest::SetUp();
        ports.firmware.rfResult = 0;  // no radio switch: the 3G and dispatcher paths
        Start();
    }
};

TEST_F(WirelessKeyTest, SecondWirelessKeyWithinTheBlockDoesNothing) {
    EXPECT_EQ(keys.ProcessKey(0xFF, 6, kHook), 255);
    EXPECT_TRUE(keys.WirelessKeyBlock());
    ports.Clear();
    EXPECT_EQ(keys.ProcessKey(0xFF, 6, kHook), 255);
    EXPECT_EQ(ports.Calls(), (Calls{"GetRFOnOffStatus"}));

    keys.ClearWirelessKeyBlock();  // timer 5
    ports.Clear();
    keys.ProcessKey(0xFF, 6, kHook);
    EXPECT_TRUE(ports.Has("ProcessHotkey 6")) << ports.Joined();
}

TEST_F(WirelessKeyTest, ThreeGModuleOpensTheWirelessToggle) {
    ports.detection.detectFound = 1;
    ports.detection.detectSpecial = 1;
    EXPECT_EQ(keys.ProcessKey(0xFF, 6, kHook), 255);
    EXPECT_EQ(ports.Calls(), (Calls{"GetRFOnOffStatus", "Detect3GModule", "SelectWirelessDeviceStatus 1"}));
    EXPECT_FALSE(keys.WirelessKeyBlock());

    // The detector runs once; later presses bind a new selector with no special flag.
    ports.Clear();
    keys.ProcessKey(0xFF, 6, kHook);
    EXPECT_EQ(ports.Calls(), (Calls{"GetRFOnOffStatus", "SelectWirelessDeviceStatus 0"}));
}

TEST_F(WirelessKeyTest, OrdinaryModuleOnSecondListModelsCountsAsAbsent) {
    ports.detection.detectFound = 1;
    ports.detection.detectSpecial = 0;
    ports.firmware.secondListModel = 1;
    keys.ProcessKey(0xFF, 6, kHook);
    EXPECT_EQ(keys.ThreeGModulePresence(), 0);
    EXPECT_TRUE(ports.Has("ProcessHotkey 6")) << ports.Joined();
}

TEST_F(WirelessKeyTest, OrdinaryModuleElsewhereCounts) {
    ports.detection.detectFound = 1;
    keys.ProcessKey(0xFF, 6, kHook);
    EXPECT_EQ(keys.ThreeGModulePresence(), 1);
    EXPECT_TRUE(ports.Has("SelectWirelessDeviceStatus 0")) << ports.Joined();
}

TEST_F(WirelessKeyTest, RadioSwitchModelsStartTheConfigurationProgram) {
    ports.firmware.rfResult = 1;
    EXPECT_EQ(keys.ProcessKey(0xFF, 6, kHook), 255);
    EXPECT_EQ(platform.Calls(), (Calls{"StartProgram VLMWirelessConfig.exe 1"}));
    EXPECT_FALSE(keys.WirelessKeyBlock());
}

class WirelessMasterKeyTest : public KeyPreprocessorTest {
protected:
    void SetUp() override {
        KeyPreprocessorTest::SetUp();
        Start();
    }
    int Press() {
        keys.ClearWirelessKeyBlock();
        return keys.ProcessKey(0xFF, 85, kHook);
    }
};

TEST_F(WirelessMasterKeyTest, RadiosOffAndBackAgain) {
    ports.firmware.radios[0] = 1, ports.firmware.radios[1] = 0, ports.firmware.radios[2] = 1;
    EXPECT_EQ(Press(), 1);
    EXPECT_EQ(settings::ReadInt(settings::kWirelessStatus), 101);
    EXPECT_EQ(ports.Matching("SetRFOnOffStatus"), (Calls{"SetRFOnOffStatus 0 0 0"}));
    EXPECT_TRUE(ports.Has("SelectRFStatus"));

    ports.Clear();
    EXPECT_EQ(Press(), 1);
    EXPECT_EQ(ports.Matching("SetRFOnOffStatus"), (Calls{"SetRFOnOffStatus 1 0 1"}));
    EXPECT_EQ(settings::ReadInt(settings::kWirelessStatus), 101);
}

TEST_F(WirelessMasterKeyTest, OtherNonZeroStatesAreRememberedAsTwo) {
    ports.firmware.radios[0] = 2, ports.firmware.radios[1] = 1, ports.firmware.radios[2] = 7;
    EXPECT_EQ(Press(), 1);
    EXPECT_EQ(settings::ReadInt(settings::kWirelessStatus), 212);
    Press();
    EXPECT_EQ(ports.Matching("SetRFOnOffStatus").back(), "SetRFOnOffStatus 2 1 2");
}

TEST_F(WirelessMasterKeyTest, AllOffWithNothingRememberedStaysOff) {
    EXPECT_EQ(Press(), 1);
    EXPECT_EQ(ports.Matching("SetRFOnOffStatus"), (Calls{"SetRFOnOffStatus 0 0 0"}));
}

TEST_F(WirelessMasterKeyTest, UnreadableRadiosChangeNothing) {
    keytest::LogWatch log;
    settings::WriteInt(settings::kWirelessStatus, 11);
    ports.firmware.rfResult = 0;
    EXPECT_EQ(Press(), 255);
    EXPECT_TRUE(log.Contains("Cannot Get RFOnOffStatus."));
    EXPECT_TRUE(ports.Matching("SetRFOnOffStatus").empty());
    EXPECT_FALSE(ports.Has("SelectRFStatus"));
    EXPECT_EQ(settings::ReadInt(settings::kWirelessStatus), 11);
}

TEST_F(WirelessMasterKeyTest, DamagedMemoryIsReportedAndNotWritten) {
    for (int stored : {999, 130, -5, 223}) {
        keytest::LogWatch log;
        ports.Clear();
        settings::WriteInt(settings::kWirelessStatus, stored);
        EXPECT_EQ(keys.ToggleAllRadios(), 0) << stored;
        EXPECT_TRUE(log.Contains("WirelessStatus")) << stored;
        EXPECT_TRUE(ports.Matching("SetRFOnOffStatus").empty()) << stored;
    }
}

TEST_F(WirelessMasterKeyTest, SecondPressWithinTheBlockDoesNothing) {
    ports.firmware.radios[0] = 1;
    EXPECT_EQ(keys.ProcessKey(0xFF, 85, kHook), 1);
    ports.Clear();
    EXPECT_EQ(keys.ProcessKey(0xFF, 85, kHook), 255);
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
}

TEST_F(WirelessMasterKeyTest, TellsTheWirelessConfigurationWindow) {
    HWND window = CreateWindowW(L"STATIC", L"Valmora - Wireless On/Off", 0, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ports.firmware.radios[1] = 1;
    EXPECT_EQ(Press(), 1);
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, window, 0x8B1, 0x8B1, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 73u);
    DestroyWindow(window);
}

// Volume keys and the audio change notifications.
class VolumeTest : public KeyPreprocessorTest {
protected:
    void UseSystemVolume() { settings::WriteInt(settings::kOwnVolumeSteps, 0); }
};

TEST_F(VolumeTest, OwnStepsOnWindows7ShowTheVolumeIconAndWaitForTheChange) {
    proc::windowsVersion = 8;
    Start();
    EXPECT_EQ(keys.OnVolumeKey(0x2E), 0);
    EXPECT_EQ(ports.Calls(), (Calls{"ShowVolumeIcon 0 -1", "RestartTimer 1 1000"}));
    EXPECT_TRUE(keys.VolumeKeyPending());

    ports.Clear();
    ports.audio.volumeLevel = 0x6000;
    keys.OnVolumeNotify();
    EXPECT_EQ(ports.Calls(), (Calls{"ShowVolumeIcon 0 24576"}));
    EXPECT_FALSE(keys.VolumeKeyPending());
}

TEST_F(VolumeTest, SiblingVolumeCodeFifteenCountsAsUp) {
    proc::windowsVersion = 5;
    Start();
    keys.OnVolumeKey(15);
    keys.OnVolumeKey(16);
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessHotkey 48", "ProcessHotkey 46"}));
}

TEST_F(VolumeTest, SystemVolumeAtTheTopShowsTheOsdAtOnce) {
    proc::windowsVersion = 6;  // XP Media Center: its tray is ended first
    UseSystemVolume();
    Start();
    keys.ReadAudioState();  // level 0x8000 seen
    ports.audio.volumeLevel = 0xFFFF;
    EXPECT_EQ(keys.OnVolumeKey(0x30), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"RestartTimer 1 1000", "ProcessHotkey 48"}));
    EXPECT_EQ(platform.Calls(), (Calls{"TerminateProcessesNamed ehtray.exe"}));
}

TEST_F(VolumeTest, SystemVolumeLeavingTheTopWaitsForTheNotification) {
    UseSystemVolume();
    ports.audio.volumeLevel = 0xFFFF;
    Start();
    keys.ReadAudioState();  // the top was seen last
    EXPECT_EQ(keys.OnVolumeKey(0x2E), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"RestartTimer 1 1000"}));
}

TEST_F(VolumeTest, ChangeFromElsewhereIsOnlyRemembered) {
    Start();
    ports.audio.volumeLevel = 0x1000;
    keys.OnVolumeNotify();
    EXPECT_TRUE(ports.Calls().empty());
    // The level was stored: the same level later, with a key pending, shows nothing.
    keys.SetVolumeKeyPending();
    keys.OnVolumeNotify();
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
}

TEST_F(VolumeTest, SystemVolumeChangeIsShownThroughTheDispatcher) {
    UseSystemVolume();
    Start();
    keys.ReadAudioState();
    keys.SetVolumeKeyPending();
    ports.audio.volumeLevel = 0x9000;
    keys.OnVolumeNotify();
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessHotkey 48"}));
}

TEST_F(VolumeTest, MuteChangeShowsTheMutePicture) {
    Start();
    keys.ReadAudioState();
    keys.SetVolumeKeyPending();
    ports.audio.mute = 1;
    keys.OnVolumeNotify();
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessHotkey 32"}));
    ports.Clear();
    keys.OnVolumeNotify();  // the new state was stored
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
}

TEST_F(VolumeTest, UnchangedLevelBeforeVistaRenewsAChangedAudioDeviceOnce) {
    proc::windowsVersion = 5;
    Start();
    keys.ReadAudioState();
    keys.SetVolumeKeyPending();
    ports.audio.audioDeviceChanged = true;
    keys.OnVolumeNotify();
    EXPECT_EQ(ports.Calls(), (Calls{"RecreateAudio", "RestartTimer 21 5000"}));
    ports.Clear();
    keys.OnVolumeNotify();
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
    keys.ClearMceFlag();
    keys.OnVolumeNotify();
    EXPECT_TRUE(ports.Has("RecreateAudio"));
}

TEST_F(VolumeTest, MuteKeyTogglesBluetoothDevicesItself) {
    Start();
    ports.audio.audioDeviceName = L"Headset (BlueTooth Audio)";
    EXPECT_EQ(keys.ProcessKey(VK_VOLUME_MUTE, 0x20, kHook), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"SetSoundOnOff 1", "RestartTimer 1 1000"}));
    EXPECT_TRUE(keys.VolumeKeyPending());

    ports.Clear();
    ports.audio.audioDeviceName = L"Blue Speakers";
    keys.ProcessKey(VK_VOLUME_MUTE, 0x20, kHook);
    EXPECT_EQ(ports.Calls(), (Calls{"RestartTimer 1 1000"}));
}

TEST_F(VolumeTest, BluetoothMuteBeforeVistaRenewsAChangedDevice) {
    proc::windowsVersion = 5;
    Start();
    ports.audio.audioDeviceName = L"bluetooth";
    ports.audio.audioDeviceChanged = true;
    ports.audio.mute = 1;
    keys.ProcessKey(VK_VOLUME_MUTE, 0x20, kHook);
    EXPECT_EQ(ports.Calls(), (Calls{"RecreateAudio", "SetSoundOnOff 0", "RestartTimer 1 1000"}));
}

TEST_F(KeyPreprocessorTest, NoticeMessageModes) {
    EXPECT_EQ(keys.NoticeMessage(1), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"StopTimer 3", "HideMessageWindow"}));
    ports.Clear();
    ports.notices.messageWindow = false;
    EXPECT_EQ(keys.NoticeMessage(2), 1);
    EXPECT_TRUE(ports.Calls().empty());
    EXPECT_EQ(keys.NoticeMessage(3), 0);
    EXPECT_EQ(keys.NoticeMessage(0), 0);
}

}  // namespace

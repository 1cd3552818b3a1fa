// The display changer on a notebook in memory: a graphics driver whose
// outputs and answers the test sets, display functions that take the modes
// they are given, the real profile store under a test application name, and
// recording stand-ins for the main window, the OSD and the firmware.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "common/processstate.h"
#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "common/siblingmessages.h"
#include "display/combinationcodes.h"
#include "display/displaychanger.h"
#include "fakedisplaysettings.h"
#include "profiles/displayprofile.h"
#include "reportlog.h"

namespace {

constexpr wchar_t kTestApplication[] = L"vqhkcore_changertests";
constexpr int kPanel = displaydevice::kPanel, kCrt = displaydevice::kCrt;

// Display functions whose accepted changes become the current modes.
class ApplyingDisplaySettings : public FakeDisplaySettings {
public:
    LONG ChangeDisplaySettings(DEVMODEW* record, DWORD flags) override {
        const LONG result = FakeDisplaySettings::ChangeDisplaySettings(record, flags);
        if (result == DISP_CHANGE_SUCCESSFUL && record) Take(devices[0], *record);
        return result;
    }
    LONG ChangeDisplaySettingsEx(const wchar_t* device, DEVMODEW* record, DWORD flags) override {
        const LONG result = FakeDisplaySettings::ChangeDisplaySettingsEx(device, record, flags);
        if (result != DISP_CHANGE_SUCCESSFUL || !record || !device) return result;
        for (FakeDisplayDevice& d : devices) {
            if (_wcsicmp(d.name.c_str(), device) == 0) Take(d, *record);
        }
        return result;
    }

private:
    static void Take(FakeDisplayDevice& device, const DEVMODEW& record) {
        if (record.dmFields & DM_PELSWIDTH) device.current.dmPelsWidth = record.dmPelsWidth;
        if (record.dmFields & DM_PELSHEIGHT) device.current.dmPelsHeight = record.dmPelsHeight;
        if (record.dmFields & DM_POSITION) device.current.dmPosition = record.dmPosition;
    }
};

// A driver whose output states, dual view and answers the test sets.
class FakeDriver : public CVGA {
public:
    explicit FakeDriver(IDisplaySettings& display) : CVGA(display) {}
    int Initialize() override { return initializes; }
    int GetVendor() override { return graphicsvendor::kIntel; }
    int GetConnectedDisplays() override {
        for (int i = 0; i < displaydevice::kCount; ++i) m_nDeviceStatus[i] = status[i];
        return 1;
    }
    int IsDualView() override { return dualView; }
    int ChangeDisplayCombination(int code) override {
        changes.push_back(code);
        if (acceptOnlyAt.cx) {
            DEVMODEW mode{};
            mode.dmSize = sizeof mode;
            ModeSetting().GetCurrentDisplayMode(0, &mode);
            return static_cast<LONG>(mode.dmPelsWidth) == acceptOnlyAt.cx &&
                   static_cast<LONG>(mode.dmPelsHeight) == acceptOnlyAt.cy;
        }
        return accepts;
    }
    int SetDisplayRotation(int display, int angle, int secondDevice, int windowsDirection) override { return 1; }

    int initializes = 1;
    int status[displaydevice::kCount] = {devicestatus::kActive, 0, 0, 0, 0, 0};
    int dualView = 0;
    int accepts = 1;
    SIZE acceptOnlyAt{0, 0};  // accepts only while the first display has this size
    std::vector<int> changes;
};

class FakeManagement : public profiles::IManagementService {
public:
    explicit FakeManagement(std::vector<std::wstring>* monitors) : m_monitors(monitors) {}
    HRESULT InitializeSecurity() override { return S_OK; }
    HRESULT CreateLocator() override { return S_OK; }
    HRESULT Connect(const wchar_t*) override { return S_OK; }
    bool Connected() const override { return true; }
    HRESULT QueryDeviceIds(const wchar_t*, std::vector<std::wstring>* ids) override {
        *ids = *m_monitors;
        return S_OK;
    }

private:
    std::vector<std::wstring>* m_monitors;
};

// The Windows 7 display configuration, reading the active code the test
// sets; like the real one it marks the outputs it finds in the driver's table.
class FakeWin7Component : public IWin7DisplaySwitch {
public:
    int InitDisplayConfig(IWin7DisplayOwner* changer) override {
        owner = changer;
        return 1;
    }
    int GetConnectedCode(int* code) override {
        *code = connected;
        return 1;
    }
    int GetActiveCode(int* code) override {
        ++activeReads;
        CVGA* driver = owner ? owner->Driver() : nullptr;
        if (driver) {
            for (int& status : driver->m_nDeviceStatus) status = devicestatus::kActive;
        }
        *code = active;
        return 1;
    }
    int GetActiveRefreshRates(int, int*, int*, int*, int*) override { return 0; }
    int ChangeDisplayEx(int, int, int, int, int, int, int, int, int, int, int, int, int, int, int) override { return 0; }
    int SetDisplayTopology(int, int, int, int, int, int, int, int, int, int, int, int, int, int, int, int) override {
        return 0;
    }
    profiles::IVideoSignalSource* VideoSignals() override { return nullptr; }

    IWin7DisplayOwner* owner = nullptr;
    int connected = 3;
    int active = 0x103;
    int activeReads = 0;
};

class FakeComponents : public IDisplayComponents {
public:
    std::unique_ptr<CVGA> CreateDriver(DriverKind kind) override {
        asked.push_back(kind);
        return std::move(driver);
    }
    std::unique_ptr<IWin7DisplaySwitch> CreateWin7Component() override { return std::move(win7); }
    std::unique_ptr<CDisplayProfile> CreateProfileStore() override {
        return std::make_unique<CDisplayProfile>(std::make_unique<FakeManagement>(&monitors));
    }
    std::unique_ptr<IVistaTopology> CreateVistaTopology() override {
        ++topologies;
        return nullptr;
    }
    WORD NativeProcessorArchitecture() override { return architecture; }

    std::unique_ptr<CVGA> driver;
    std::unique_ptr<IWin7DisplaySwitch> win7;  // none: not made
    WORD architecture = 9;                      // PROCESSOR_ARCHITECTURE_AMD64
    std::vector<DriverKind> asked;
    std::vector<std::wstring> monitors{L"DISPLAY\\VQP1366\\4&1A2B&0&UID0"};
    int topologies = 0;
};

class FakeShell : public IChangerShell {
public:
    void NoticeMessage(int code) override { calls.push_back(L"NoticeMessage"); }
    void RunDisplayChangedCommand() override { calls.push_back(L"command 7"); }
    int SkipFirmwareDisplays() override { return 1; }
    void Wait(DWORD ms) override {}
    void RepaintScreen() override { calls.push_back(L"repaint"); }
    bool Called(const wchar_t* call) const {
        for (const std::wstring& c : calls) {
            if (c == call) return true;
        }
        return false;
    }
    std::vector<std::wstring> calls;
};

// The OSD window and its owner in one: a new window is this one again
// (none while `window` is false).
class FakeOsd : public IDisplaySwitchOsd, public IOsdWindowSlot<IDisplaySwitchOsd> {
public:
    IDisplaySwitchOsd* CurrentWindow() override { return window ? this : nullptr; }
    IDisplaySwitchOsd* ShowableWindow() override {
        return window && shown && !destroyed ? this : NewWindow();
    }
    IDisplaySwitchOsd* NewWindow() override {
        ++newWindows;
        return CurrentWindow();
    }
    bool IsShown() override { return shown; }
    bool IsDestroyed() override { return destroyed; }
    osd::OsdMode Mode() const override { return mode; }
    bool AnimationRunning() const override { return animating; }
    int InitDisplaySwitching(int connected, int active, bool registered, osd::IDisplaySwitchOwner& owner) override {
        opened.push_back({connected, active, registered ? 1 : 0, &owner});
        mode = osd::OsdMode::DisplaySwitcher;
        return 1;
    }
    int SetNextDisplayDevice(int backward) override {
        steps.push_back(backward);
        return stepAnswer;
    }
    int GetSelectedDisplayMode() override {
        ++selectionReads;
        return selected;
    }
    void ShowNoActivate() override { shown = true; }
    void Hide() override { shown = false; }

    struct Opening {
        int connected, active, registered;
        osd::IDisplaySwitchOwner* owner;
    };
    bool window = true, shown = false, destroyed = false, animating = false;
    int newWindows = 0;
    osd::OsdMode mode = osd::OsdMode::None;
    int stepAnswer = 1;
    int selected = 0x01;
    int selectionReads = 0;
    std::vector<Opening> opened;
    std::vector<int> steps;
};

class FakeFirmware : public IDisplayFirmware {
public:
    int GetDisplayState(BYTE* state) override {
        *state = displayState;
        return 1;
    }
    int SetBacklight(BYTE on) override { return 1; }
    int GetBrightness(BYTE* level) override {
        *level = brightness;
        return 1;
    }
    int SetBrightness(BYTE level) override {
        brightness = level;
        return 1;
    }
    BYTE displayState = 0;
    BYTE brightness = 3;
};

// A window of the sibling menu program's class, recording what it is posted.
class MenuWindow {
public:
    explicit MenuWindow(const wchar_t* className, const wchar_t* title = nullptr) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassW(&wc);
        m_hWnd = CreateWindowExW(0, className, title ? title : L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    }
    ~MenuWindow() { DestroyWindow(m_hWnd); }
    // The 0x8B1 messages waiting for the window: (wParam, lParam).
    std::vector<std::pair<WPARAM, LPARAM>> Received() {
        std::vector<std::pair<WPARAM, LPARAM>> got;
        MSG msg;
        while (PeekMessageW(&msg, m_hWnd, WM_VQ_SIBLING, WM_VQ_SIBLING, PM_REMOVE)) got.push_back({msg.wParam, msg.lParam});
        return got;
    }

private:
    HWND m_hWnd = nullptr;
};

class DisplayChangerTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings::SetApplicationName(kTestApplication);
        RemoveSettings();
        RegDeleteTreeW(HKEY_CURRENT_USER, CDisplayChanger::kPreferenceKey);
        ReportLog::Clear();
        proc::windowsVersion = 7;
        proc::modelFamily = 0;
        proc::graphicsVendor = 0;
        proc::auditMode = false;
        FakeDisplayDevice& panel = display_.Add(L"\\\\.\\DISPLAY1");
        panel.stateFlags |= DISPLAY_DEVICE_PRIMARY_DEVICE;
        panel.deviceId = L"PCI\\VEN_8086&DEV_2A42";
        panel.current = Mode(1366, 768);
        panel.modes = {Mode(800, 600), Mode(1024, 768), Mode(1366, 768)};
        FakeDisplayDevice& external = display_.Add(L"\\\\.\\DISPLAY2");
        external.current = Mode(1920, 1080, 32, 60, 1366, 0);
        auto driver = std::make_unique<FakeDriver>(display_);
        driver_ = driver.get();
        components_.driver = std::move(driver);
    }
    void TearDown() override {
        changer_.reset();
        RemoveSettings();
        settings::SetApplicationName(L"vqhkcore");
        proc::windowsVersion = 7;
        proc::modelFamily = 0;
        proc::graphicsVendor = 0;
    }
    static void RemoveSettings() {
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Korvane\\") + kTestApplication).c_str());
    }

    CDisplayChanger& Changer() {
        if (!changer_) {
            changer_ = std::make_unique<CDisplayChanger>(
                CDisplayChanger::Ports{shell_, osd_, firmware_, components_, display_});
            changer_->InitDisplayChanger();
        }
        return *changer_;
    }
    // The outputs: status by device bit (connected 1, active 2).
    void SetOutputs(std::initializer_list<std::pair<int, int>> outputs) {
        for (int& s : driver_->status) s = 0;
        for (auto [bit, state] : outputs) {
            for (int i = 0; i < displaydevice::kCount; ++i) {
                if (bit == (1 << i)) driver_->status[i] = state;
            }
        }
    }
    void Change(int code, int repaint = 0) { Changer().ChangeDisplayCombination(&code, repaint); }
    SIZE PanelSize() {
        return {static_cast<LONG>(display_.devices[0].current.dmPelsWidth),
                static_cast<LONG>(display_.devices[0].current.dmPelsHeight)};
    }
    // The stored width of a profile section, or -1 when there is none.
    static int StoredWidth(const std::wstring& section) {
        return settings::ReadInt(section.c_str(), L"width", -1);
    }

    ApplyingDisplaySettings display_;
    FakeDriver* driver_ = nullptr;
    FakeComponents components_;
    FakeShell shell_;
    FakeOsd osd_;
    FakeFirmware firmware_;
    std::unique_ptr<CDisplayChanger> changer_;
};

// Every mask of six outputs: the listed ones have their codes, every other none.
TEST(CombinationCodes, EveryMaskMapsToItsCodeOrToNone) {
    const std::vector<std::pair<int, int>> connected = {
        {19, 18}, {21, 19}, {23, 22}, {25, 20}, {27, 21}, {29, 23}, {31, 24}, {32, 43}, {33, 25}, {34, 44},
        {35, 26}, {36, 46}, {37, 28}, {40, 45}, {41, 27}, {42, 48}, {43, 30}, {45, 39}, {47, 33}};
    const std::vector<std::pair<int, int>> active = {{19, 18}, {21, 19}, {32, 43}, {33, 25}, {34, 44}, {35, 26},
                                                     {36, 46}, {37, 28}, {40, 45}, {41, 27}, {42, 48}, {48, 47}};
    auto expected = [](const std::vector<std::pair<int, int>>& table, int mask, bool activeTable) {
        if (mask >= 1 && mask <= 17 && !(activeTable && mask == 15)) return mask;
        for (auto [m, code] : table) {
            if (m == mask) return code;
        }
        return 0;
    };
    for (int mask = 0; mask < 64; ++mask) {
        EXPECT_EQ(combinationcodes::ConnectedCodeOfMask(mask), expected(connected, mask, false)) << mask;
        EXPECT_EQ(combinationcodes::ActiveCodeOfMask(mask), expected(active, mask, true)) << mask;
    }
}

TEST_F(DisplayChangerTest, DriverIsChosenByTheFirstAdapter) {
    struct Case {
        const wchar_t* id;
        const wchar_t* description;
        int version;
        std::vector<DriverKind> asked;
    };
    const Case cases[] = {
        {L"PCI\\VEN_8086&DEV_2A42", L"Intel", 5, {DriverKind::Intel}},
        {L"PCI\\VEN_10DE&DEV_0001", L"NVIDIA", 5, {DriverKind::Nvidia}},
        {L"PCI\\VEN_10DE&DEV_0001", L"NVIDIA", 7, {DriverKind::NvidiaVista}},
        {L"PCI\\VEN_1002&DEV_0001", L"ATI", 6, {DriverKind::Ati}},
        {L"PCI\\VEN_1002&DEV_0001", L"ATI", 8, {DriverKind::AtiVista}},
        {L"PCI\\VEN_1106&DEV_0001", L"via Chrome9 HC", 7, {DriverKind::Via}},
        {L"PCI\\VEN_5333&DEV_0001", L"S3G UniChrome", 7, {DriverKind::Via}},
        {L"PCI\\VEN_0000&DEV_0000", L"Fake Adapter", 7, {}},
    };
    for (const Case& c : cases) {
        FakeComponents components;
        display_.devices[0].deviceId = c.id;
        display_.devices[0].description = c.description;
        proc::windowsVersion = c.version;
        CDisplayChanger changer({shell_, osd_, firmware_, components, display_});
        changer.InitDisplayChanger();
        EXPECT_EQ(components.asked, c.asked) << c.id << " " << c.version;
        // Only the Intel driver is part of this build: the others are no driver.
        EXPECT_EQ(changer.Driver(), nullptr);
    }
}

TEST_F(DisplayChangerTest, WithoutADriverTheKeyReportsAndNothingChanges) {
    display_.devices[0].deviceId = L"PCI\\VEN_0000&DEV_0000";
    EXPECT_EQ(Changer().InitDisplayChanger(), 0);
    EXPECT_EQ(Changer().SelectDisplayCombination(0), 0);
    EXPECT_TRUE(ReportLog::Has(L"Please check the graphics driver"));
    Change(combination::kPanelCrt, 1);
    EXPECT_TRUE(shell_.calls.empty());
    EXPECT_TRUE(osd_.opened.empty());
}

TEST_F(DisplayChangerTest, AFailingDriverIsDroppedExceptOnWindows7) {
    driver_->initializes = 0;
    EXPECT_EQ(Changer().InitDisplayChanger(), 0);
    EXPECT_EQ(Changer().Driver(), nullptr);
    EXPECT_FALSE(Changer().Win7Mode());
}

TEST_F(DisplayChangerTest, ConnectedAndActiveCodesWithTheDualViewOffset) {
    SetOutputs({{kPanel, 2}, {kCrt, 2}});
    driver_->dualView = 1;
    EXPECT_EQ(Changer().GetConnectedDisplays(), 1);
    EXPECT_EQ(Changer().ConnectedDisplay(), 3);
    EXPECT_EQ(Changer().ActiveDisplay(), 0x103);

    // CRT and second HDMI without the panel: a set no choice list knows.
    SetOutputs({{kCrt, 2}, {displaydevice::kSecondHdmi, 1}});
    driver_->dualView = 0;
    EXPECT_EQ(Changer().GetConnectedDisplays(), 0);
    EXPECT_EQ(Changer().ConnectedDisplay(), 0);
    EXPECT_EQ(Changer().SelectDisplayCombination(0), 0);
    EXPECT_TRUE(ReportLog::Has(L"GetConnectedDisplays"));
    EXPECT_TRUE(osd_.opened.empty());
}

// On Windows 7 the extended desktop's primary display is read from the
// display configuration, whichever road reads the outputs: Windows 7 mode on
// a 64-bit Windows, the driver's tables on a 32-bit one (where the shipped
// program found the external output primary reported as the panel, and
// saved that desktop as the other code's profile).
TEST_F(DisplayChangerTest, ExtendedDesktopNamesItsPrimaryOnEitherWindows7) {
    struct Case {
        WORD architecture;  // what the system reports as its processor
        bool win7Mode;
        int active;
    };
    const Case cases[] = {
        {9, true, 0x103}, {9, true, 0x203}, {0, false, 0x103}, {0, false, 0x203}, {0, false, 0x209},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "architecture " << c.architecture << ", active 0x" << std::hex << c.active);
        changer_.reset();
        auto driver = std::make_unique<FakeDriver>(display_);
        driver_ = driver.get();
        components_.driver = std::move(driver);
        auto win7 = std::make_unique<FakeWin7Component>();
        win7->active = c.active;
        components_.win7 = std::move(win7);
        components_.architecture = c.architecture;
        proc::windowsVersion = 8;
        const int external = c.active & 0xFF & ~kPanel;
        SetOutputs({{kPanel, devicestatus::kActive}, {external, devicestatus::kActive}});
        driver_->dualView = 1;

        EXPECT_EQ(Changer().GetConnectedDisplays(), 1);
        EXPECT_EQ(Changer().Win7Mode(), c.win7Mode);
        EXPECT_EQ(Changer().ActiveDisplay(), c.active);
        if (!c.win7Mode) {
            EXPECT_EQ(Changer().ConnectedDisplay(), kPanel | external) << "from the driver's tables";
            EXPECT_EQ(driver_->m_nDeviceStatus[2], devicestatus::kNotConnected) << "the driver's entries stay its own";
        }
    }
}

// Elsewhere the driver alone tells the extended desktop: the panel primary.
TEST_F(DisplayChangerTest, WithoutTheDisplayConfigurationTheExtendedDesktopHasThePanelPrimary) {
    for (const int version : {7, 8}) {
        SCOPED_TRACE(version);
        changer_.reset();
        auto driver = std::make_unique<FakeDriver>(display_);
        driver_ = driver.get();
        components_.driver = std::move(driver);
        components_.architecture = 0;
        proc::windowsVersion = version;  // on 8 the component is not made: none comes from CreateWin7Component
        SetOutputs({{kPanel, devicestatus::kActive}, {kCrt, devicestatus::kActive}});
        driver_->dualView = 1;
        EXPECT_EQ(Changer().GetConnectedDisplays(), 1);
        EXPECT_EQ(Changer().ActiveDisplay(), 0x103);
    }
}

TEST_F(DisplayChangerTest, KeyOpensThenStepsAndIsIgnoredWhileConfirming) {
    SetOutputs({{kPanel, 2}, {kCrt, 1}});
    EXPECT_EQ(Changer().SelectDisplayCombination(0), 1);
    ASSERT_EQ(osd_.opened.size(), 1u);
    EXPECT_EQ(osd_.opened[0].connected, 3);
    EXPECT_EQ(osd_.opened[0].active, 1);
    EXPECT_EQ(osd_.opened[0].registered, 0);
    EXPECT_EQ(osd_.opened[0].owner, static_cast<osd::IDisplaySwitchOwner*>(&Changer())) << "the choice comes back here";
    EXPECT_TRUE(Changer().Switching());
    EXPECT_TRUE(osd_.shown);

    EXPECT_EQ(Changer().SelectDisplayCombination(1), 1);
    EXPECT_EQ(osd_.steps, std::vector<int>{1});

    osd_.animating = true;
    EXPECT_EQ(Changer().SelectDisplayCombination(0), 0);
    EXPECT_EQ(osd_.steps.size(), 1u);

    // The OSD hid by itself: the next press opens it again with fresh detection.
    osd_.animating = false;
    osd_.shown = false;
    SetOutputs({{kPanel, 2}, {displaydevice::kHdmi, 1}});
    EXPECT_EQ(Changer().SelectDisplayCombination(0), 1);
    ASSERT_EQ(osd_.opened.size(), 2u);
    EXPECT_EQ(osd_.opened[1].connected, 9);
    EXPECT_EQ(osd_.newWindows, 2) << "a new window for each opening, none for the steps";
}

TEST_F(DisplayChangerTest, RegisteredProfileOfTheSiblingProgramIsOffered) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, CDisplayChanger::kPreferenceKey, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t empty[] = L"";
    RegSetValueExW(key, CDisplayChanger::kRegisteredProfileValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(empty),
                   sizeof empty);
    EXPECT_EQ(Changer().HasRegisteredProfile(), 0);
    const wchar_t name[] = L"Office";
    RegSetValueExW(key, CDisplayChanger::kRegisteredProfileValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   sizeof name);
    RegCloseKey(key);
    EXPECT_EQ(Changer().HasRegisteredProfile(), 1);
    Changer().SelectDisplayCombination(0);
    ASSERT_EQ(osd_.opened.size(), 1u);
    EXPECT_EQ(osd_.opened[0].registered, 1);
    RegDeleteTreeW(HKEY_CURRENT_USER, CDisplayChanger::kPreferenceKey);
}

TEST_F(DisplayChangerTest, SavesBeforeAndRestoresTheNewCombinationsProfileByMonitors) {
    Changer();
    // The clone was last used at 1024 x 768 with these monitors.
    ASSERT_EQ(Changer().ProfileStore()->SetDisplayProfile(0x03, 1024, 768, 0, 0, 32, 0, 60, 0, 0, 0, 0, 0, 0), 1);
    Change(combination::kPanelCrt);
    EXPECT_EQ(driver_->changes, std::vector<int>{0x03});
    EXPECT_EQ(PanelSize().cx, 1024);
    EXPECT_EQ(PanelSize().cy, 768);
    // The panel-only settings before the change were kept under code 1.
    std::wstring key;
    int found = 0;
    Changer().ProfileStore()->FindDisplayHistory(0x01, &found, &key);
    EXPECT_EQ(found, 1);
    SIZE saved{0, 0};
    Changer().ProfileStore()->GetDisplayHistory(key.c_str(), nullptr, &saved, nullptr, nullptr, nullptr, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(saved.cx, 1366);
    EXPECT_TRUE(shell_.Called(L"command 7"));

    // Other monitors: the clone has no profile for them.
    components_.monitors = {L"DISPLAY\\VQE2201\\5&2B3C&0&UID1"};
    display_.devices[0].current = Mode(1366, 768);
    ReportLog::Clear();
    Change(combination::kPanelCrt);
    EXPECT_TRUE(ReportLog::Has(L"no Profile: 1024x768"));
}

TEST_F(DisplayChangerTest, UnknownActiveSetSavesNothing) {
    // HDMI and second HDMI active: no code names that set.
    SetOutputs({{kPanel, 1}, {displaydevice::kHdmi, 2}, {displaydevice::kSecondHdmi, 2}});
    display_.devices[0].current = Mode(1920, 1080);
    Changer();
    EXPECT_EQ(Changer().SaveCurrentDisplaySettings(), 0);
    EXPECT_TRUE(ReportLog::Has(L"CDisplayChanger::SaveCurrentDisplaySettings(), NO_DEVICE==m_nActiveDisplay"));
    // The panel default slot keeps the panel's own mode.
    EXPECT_NE(StoredWidth(L"Profile\\disp_pro_000"), 1920);
}

TEST_F(DisplayChangerTest, SaveReadsTheActiveOutputsOfNow) {
    Changer().GetConnectedDisplays();  // panel alone
    SetOutputs({{kPanel, 2}, {kCrt, 2}});
    driver_->dualView = 1;
    Changer().SaveCurrentDisplaySettings();
    EXPECT_TRUE(ReportLog::Text().find("SaveCurrentDisplay=0x103") != std::string::npos);
}

TEST_F(DisplayChangerTest, RefusedCombinationClimbsTheLadderAndStillTellsTheMenu) {
    proc::modelFamily = 1;
    MenuWindow menu(CDisplayChanger::kMenuWindowClass);
    driver_->acceptOnlyAt = {1024, 768};
    Change(combination::kPanelCrt, 1);
    // The first try, then one at every ladder size the display took, down to 1024 x 768.
    ASSERT_GE(driver_->changes.size(), 2u);
    EXPECT_EQ(PanelSize().cx, 1024);
    EXPECT_TRUE(ReportLog::Has(L"fail 1st: CDisplayChanger::ChangeDisplayCombination"));
    EXPECT_EQ(ReportLog::Text().find("TargetDisplay="), std::string::npos);  // the ladder size stays
    EXPECT_EQ(settings::ReadInt(settings::kMenuDisplay), 0x03);
    const auto received = menu.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].first, CDisplayChanger::kMenuActiveDisplay);
    EXPECT_TRUE(shell_.Called(L"command 7"));
    EXPECT_EQ(components_.topologies, 0);
}

TEST_F(DisplayChangerTest, EveryRefusalEndsAtTheTopologyHelper) {
    driver_->accepts = 0;
    Change(combination::kPanelCrt, 1);
    EXPECT_EQ(driver_->changes.size(), 1u + 21u);
    EXPECT_EQ(components_.topologies, 1);
    EXPECT_TRUE(ReportLog::Has(L"fail 2nd: VistaTMM.ChangeDisplayCombination() "));
    EXPECT_FALSE(shell_.Called(L"command 7"));
}

TEST_F(DisplayChangerTest, SavedProfileOfTheSiblingProgramIsOnlyAsked) {
    proc::modelFamily = 3;
    MenuWindow settingsProgram(L"VqTestValmoraWindow", CDisplayChanger::kDisplaySettingsTitle);
    MenuWindow menu(CDisplayChanger::kMenuWindowClass);
    Change(combination::kSavedProfile, 0);
    EXPECT_TRUE(driver_->changes.empty());
    const auto asked = settingsProgram.Received();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, CDisplayChanger::kApplyRegisteredProfile);
    EXPECT_EQ(settings::ReadInt(settings::kMenuDisplay), combination::kSavedProfile);
    EXPECT_EQ(menu.Received().size(), 1u);
    EXPECT_TRUE(shell_.Called(L"command 7"));
}

TEST_F(DisplayChangerTest, NoChoiceIsReadFromAGoneOsd) {
    osd_.destroyed = true;
    Changer().ChangeDisplayCombination(nullptr, 1);
    EXPECT_EQ(osd_.selectionReads, 0);
    EXPECT_TRUE(driver_->changes.empty());
}

TEST_F(DisplayChangerTest, TheOsdsChoiceIsAppliedWithItsSide) {
    SetOutputs({{kPanel, 2}, {kCrt, 2}});
    driver_->dualView = 1;
    Changer().SetPendingSide(osd::kCtrlSide);
    Changer().ApplyDisplayCombination(0x103);
    EXPECT_EQ(driver_->changes, std::vector<int>{0x103});
    // Left of the panel, and the side is used once.
    EXPECT_LT(display_.devices[1].current.dmPosition.x, 0);
    EXPECT_EQ(Changer().PendingSide(), 0);
}

TEST_F(DisplayChangerTest, WithoutAProfileTheSecondDisplayDoesNotCoverTheFirst) {
    SetOutputs({{kPanel, 2}, {kCrt, 2}});
    driver_->dualView = 1;
    display_.devices[1].current = Mode(1024, 768, 32, 60, 0, 0);
    Change(0x103);
    EXPECT_GE(display_.devices[1].current.dmPosition.x, 1024);
}

TEST_F(DisplayChangerTest, NoProfileOnTheSmallPanelFamilyTakes1024x600) {
    proc::modelFamily = 10;
    Change(combination::kPanelCrt);
    EXPECT_EQ(PanelSize().cx, 1024);
    EXPECT_EQ(PanelSize().cy, 600);
}

TEST_F(DisplayChangerTest, PresentationOperationsPreferActiveOutputs) {
    SetOutputs({{kPanel, 2}, {kCrt, 1}, {displaydevice::kHdmi, 2}});
    Changer().GetConnectedDisplays();
    Changer().SetPresentationDualView();
    SetOutputs({{kPanel, 2}, {displaydevice::kTv, 1}});
    Changer().GetConnectedDisplays();
    Changer().SetPresentationClone();
    SetOutputs({{kPanel, 2}});
    Changer().GetConnectedDisplays();
    Changer().SetPresentationClone();
    EXPECT_EQ(driver_->changes, (std::vector<int>{0x109, 0x05}));
}

TEST_F(DisplayChangerTest, RestoreDefaultRaisesTheBrightnessToTheTop) {
    Changer().RestoreDefaultDisplay(0x10);
    EXPECT_EQ(firmware_.brightness, 8);
}

}  // namespace

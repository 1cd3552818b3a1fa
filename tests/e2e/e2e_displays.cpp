// The graphics adapter interface on the simulated notebook's screen (Xorg
// with the dummy driver): mode changes, the retry ladder, detaching and
// attaching the second display and the resolution list, run by a driver
// object in this process and checked on the desktop this process sees;
// an output plugged in while the program runs; and the adapter identity that
// the injected library gives a program.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "display/vga.h"
#include "profiles/profileports.h"
#include "programtest.h"
#include "reportlog.h"
#include "simadapter.h"
#include "simdesktop.h"
#include "simfirmware.h"
#include "vqdrive.h"

namespace {

namespace desktop = vqdrive::desktop;
using Sizes = std::vector<std::pair<int, int>>;

// What one run of vgarun.exe gave: its result and its other lines.
struct VgaRun {
    long result = -1;
    std::vector<std::string> lines;
};

class DisplaysE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        ASSERT_TRUE(desktop::Reset()) << desktop::Describe(desktop::Displays());
    }
    void TearDown() override {
        vqdrive::SetWindowsVersion(L"");
        desktop::Reset();
    }

    // Plugs in an external monitor of that native size right of the panel
    // (at first showing `shownWidth` x `shownHeight`, 0: its native size)
    // and waits until programs see it.
    void ConnectExternal(int width, int height, int shownWidth = 0, int shownHeight = 0) {
        ASSERT_TRUE(desktop::Connect(desktop::kExternal, width, height, desktop::kPanelWidth, 0, shownWidth,
                                     shownHeight));
        ASSERT_TRUE(desktop::WaitForAttached(2, 5000)) << desktop::Describe(desktop::Displays());
    }

    // One operation of the generic mode setting in a fresh process: a
    // long-running Wine process keeps the display modes it first read.
    static VgaRun Vga(const std::wstring& operation) {
        const std::wstring output = TempPath(L"vq_vgarun.txt");
        vqdrive::DeleteFileIfPresent(output);
        vqdrive::Program run;
        vqdrive::StartOptions options;
        options.exeName = L"vgarun.exe";
        options.arguments = L"\"" + output + L"\" " + operation;
        options.waitForWindowMs = 0;
        VgaRun answer;
        EXPECT_TRUE(run.Start(options));
        EXPECT_EQ(run.WaitForExit(20000), 0u);
        for (const std::string& line : vqdrive::ReadLines(output)) {
            if (line.rfind("result: ", 0) == 0) answer.result = std::stol(line.substr(8));
            else answer.lines.push_back(line);
        }
        return answer;
    }

    static Sizes ParseList(const std::string& line) {
        Sizes sizes;
        int width = 0, height = 0, used = 0;
        for (const char* p = line.c_str() + line.find(':') + 1; std::sscanf(p, " %dx%d%n", &width, &height, &used) == 2;
             p += used) {
            sizes.emplace_back(width, height);
        }
        return sizes;
    }
};

TEST_F(DisplaysE2eTest, FirstDisplayTakesAnotherListedSize) {
    ASSERT_EQ(Vga(L"first 1280 720 32 0").result, 1);
    const auto attached = desktop::AttachedDisplays();
    ASSERT_EQ(attached.size(), 1u);
    EXPECT_EQ(attached[0].width, 1280) << desktop::Describe(attached);
    EXPECT_EQ(attached[0].height, 720);
    EXPECT_EQ(ReportLog::Lines(), 0) << ReportLog::Text();
}

TEST_F(DisplaysE2eTest, UnlistedSizeWalksTheLadderToTheFinalReport) {
    // The plain form counts only success: every refusal moves one step on.
    EXPECT_EQ(Vga(L"primary 1111 777 32 0").result, 0);
    EXPECT_TRUE(ReportLog::Has(L"ChangeDisplaySetting... 1nd= 1111, 777")) << ReportLog::Text();
    EXPECT_TRUE(ReportLog::Has(L"ChangeDisplaySetting... 2nd= 777, 1111"));
    EXPECT_TRUE(ReportLog::Has(L"Final ChangeDisplaySetting... 2nd= 777, 1111"));
    EXPECT_EQ(desktop::Describe(desktop::AttachedDisplays()), "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary");

    // The Ex form takes the system's "bad mode" on its first attempt as done:
    // it answers success and nothing changes.
    ReportLog::Clear();
    EXPECT_EQ(Vga(L"first 1111 777 32 0").result, 1);
    EXPECT_EQ(ReportLog::Lines(), 0);
    EXPECT_EQ(desktop::Describe(desktop::AttachedDisplays()), "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary");
}

TEST_F(DisplaysE2eTest, WidthOnlyRequestIsRefusedAsABadModeWhichTheExFormTakesAsDone) {
    // 1024 x 768 on the 1366 x 768 panel names the width alone; the system
    // refuses a size with one side missing, and the first attempt's "bad
    // mode" counts as done: success without a change.
    EXPECT_EQ(Vga(L"first 1024 768 0 0").result, 1);
    EXPECT_EQ(ReportLog::Lines(), 0);
    EXPECT_EQ(desktop::Describe(desktop::AttachedDisplays()), "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary");
    // Named in full, through the plain form's widened second attempt, it is taken.
    EXPECT_EQ(Vga(L"primary 1024 768 0 0").result, 1);
    const auto attached = desktop::AttachedDisplays();
    ASSERT_EQ(attached.size(), 1u);
    EXPECT_EQ(std::make_pair(attached[0].width, attached[0].height), std::make_pair(1024, 768));
    EXPECT_TRUE(ReportLog::Has(L"ChangeDisplaySetting... 1nd= 1024, 768"));
}

TEST_F(DisplaysE2eTest, SecondDisplayIsDetachedAndAttachedAgain) {
    ConnectExternal(1366, 768);
    EXPECT_EQ(Vga(L"attached").result, 1);

    ASSERT_EQ(Vga(L"detach").result, 1) << ReportLog::Text();
    EXPECT_TRUE(desktop::WaitForAttached(1, 3000)) << desktop::Describe(desktop::Displays());
    EXPECT_EQ(Vga(L"attached").result, 0);

    ASSERT_EQ(Vga(L"attach 1366 768 32 60").result, 1) << ReportLog::Text();
    ASSERT_TRUE(desktop::WaitForAttached(2, 3000)) << desktop::Describe(desktop::Displays());
    const desktop::Display second = desktop::AttachedAt(1366, 0);
    EXPECT_EQ(second.width, 1366) << desktop::Describe(desktop::Displays());
    EXPECT_EQ(second.height, 768);
    EXPECT_EQ(ReportLog::Lines(), 0) << ReportLog::Text();
}

TEST_F(DisplaysE2eTest, SecondDisplayTakesAnotherSizeAndMovesBesideThePanel) {
    ConnectExternal(1280, 1024, 1024, 768);
    // The size change is saved (CDS_UPDATEREGISTRY); a move names the position
    // alone and the system takes the rest from those saved settings.
    ASSERT_EQ(Vga(L"second 1280 1024 0 0").result, 1);
    const desktop::Display second = desktop::AttachedAt(1366, 0);
    EXPECT_EQ(std::make_pair(second.width, second.height), std::make_pair(1280, 1024))
        << desktop::Describe(desktop::AttachedDisplays());
    EXPECT_EQ(desktop::AttachedAt(0, 0).width, 1366);

    ASSERT_EQ(Vga(L"move 1").result, 1);
    // Centred: half the panel's height less half its own.
    EXPECT_EQ(desktop::AttachedAt(-1280, 384 - 512).width, 1280) << desktop::Describe(desktop::AttachedDisplays());
    // Asked for one pixel right of the panel, centred; the system lays it
    // out against the panel's edge (here at the panel's top).
    ASSERT_EQ(Vga(L"move 2").result, 1);
    // The desktop seen from here follows the change a moment later on a busy machine.
    std::vector<desktop::Display> attached;
    const DWORD start = GetTickCount();
    do {
        attached = desktop::AttachedDisplays();
        if (attached.size() == 2 && (attached[0].primary ? attached[1] : attached[0]).x == 1366) break;
        vqdrive::Pause(50);
    } while (GetTickCount() - start < 3000);
    ASSERT_EQ(attached.size(), 2u);
    const desktop::Display& moved = attached[0].primary ? attached[1] : attached[0];
    EXPECT_EQ(moved.x, 1366) << desktop::Describe(attached);
    EXPECT_EQ(moved.width, 1280);
    EXPECT_EQ(ReportLog::Lines(), 0) << ReportLog::Text();
}

TEST_F(DisplaysE2eTest, ExternalMonitorOffersASizeTheTestChose) {
    ConnectExternal(1500, 844);  // not a size of the server's own list
    const desktop::Display external = desktop::AttachedAt(1366, 0);
    EXPECT_EQ(std::make_pair(external.width, external.height), std::make_pair(1500, 844))
        << desktop::Describe(desktop::AttachedDisplays());
    const VgaRun run = Vga(L"list 1");
    ASSERT_EQ(run.lines.size(), 1u);
    const Sizes listed = ParseList(run.lines[0]);
    EXPECT_NE(std::find(listed.begin(), listed.end(), std::make_pair(1500, 844)), listed.end()) << run.lines[0];

    // Its own list ends at its native size; unplugged, the connector offers none of it.
    const Sizes own = desktop::Modes(desktop::kExternal);
    EXPECT_TRUE(std::all_of(own.begin(), own.end(), [](const auto& s) { return s.first <= 1500 && s.second <= 844; }))
        << run.lines[0];
    ASSERT_TRUE(desktop::Disconnect(desktop::kExternal));
    EXPECT_EQ(desktop::Modes(desktop::kExternal), (Sizes{{640, 480}}));
}

TEST_F(DisplaysE2eTest, ResolutionListIsThePanelsDistinct32BitLandscapeSizes) {
    // What the panel offers, read here directly (the mode list does not change).
    Sizes offered;
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    for (DWORD n = 0; EnumDisplaySettingsW(L"\\\\.\\DISPLAY1", n, &mode); ++n) {
        const int w = static_cast<int>(mode.dmPelsWidth), h = static_cast<int>(mode.dmPelsHeight);
        if (mode.dmBitsPerPel == 32 && w >= 800 && h >= 600 && w > h) offered.emplace_back(w, h);
        mode = DEVMODEW{};
        mode.dmSize = sizeof mode;
    }
    std::sort(offered.begin(), offered.end());
    offered.erase(std::unique(offered.begin(), offered.end()), offered.end());
    // A notebook panel: its native size and the smaller sizes it scales to, nothing larger.
    const Sizes panel{{800, 600}, {1024, 600}, {1024, 768}, {1280, 720}, {1280, 768}, {1366, 768}};
    ASSERT_EQ(offered, panel);

    const VgaRun run = Vga(L"list 0");
    ASSERT_EQ(run.result, 1);
    ASSERT_EQ(run.lines.size(), 1u);
    const Sizes listed = ParseList(run.lines[0]);
    EXPECT_EQ(listed, panel) << "another process sees the panel's own list";
    EXPECT_EQ(ReportLog::Count(L"Resolution Lists more than 24"), 0);

    const VgaRun max = Vga(L"max 0");
    ASSERT_EQ(max.lines.size(), 1u);
    EXPECT_EQ(max.lines[0], "max: " + std::to_string(listed.back().first) + "x" + std::to_string(listed.back().second));
}

TEST_F(DisplaysE2eTest, RotationIsRefusedAsABadModeAndNothingTurns) {
    for (const wchar_t* rotation : {L"rotate 90 0 1", L"rotate 180 0 1", L"rotate 270 0 0"}) {
        EXPECT_EQ(Vga(rotation).result, DISP_CHANGE_BADMODE);
    }
    EXPECT_EQ(Vga(L"rotate 0 0 1").result, DISP_CHANGE_SUCCESSFUL) << "already at 0: nothing sent";
    EXPECT_EQ(desktop::Describe(desktop::AttachedDisplays()), "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary");
}

// A top-level window of this process, as every program has, recording the
// display and device notices it is sent.
class NoticeListener {
public:
    NoticeListener() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VqNoticeListener";
        RegisterClassW(&wc);
        s_notices.clear();
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    }
    ~NoticeListener() { DestroyWindow(window_); }
    NoticeListener(const NoticeListener&) = delete;
    NoticeListener& operator=(const NoticeListener&) = delete;

    // "display 32 1366x768", "devices 7", in the order they came.
    static std::vector<std::string> TakeNotices() { return std::exchange(s_notices, {}); }

private:
    static LRESULT CALLBACK Procedure(HWND w, UINT message, WPARAM wp, LPARAM lp) {
        if (message == WM_DISPLAYCHANGE) {
            s_notices.push_back("display " + std::to_string(wp) + " " + std::to_string(LOWORD(lp)) + "x" +
                                std::to_string(HIWORD(lp)));
        } else if (message == WM_DEVICECHANGE) {
            s_notices.push_back("devices " + std::to_string(wp));
        }
        return DefWindowProcW(w, message, wp, lp);
    }
    static inline std::vector<std::string> s_notices;
    HWND window_ = nullptr;
};

TEST_F(DisplaysE2eTest, OutputPluggedInWhileTheProgramRunsJoinsTheDesktopAndIsAnnounced) {
    vqdrive::firmware::Reset();
    vqdrive::SetWindowsVersion(L"win7");
    vqdrive::Program program;
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.MainWindow(), nullptr);
    NoticeListener listener;
    const std::vector<std::string> announced{"devices 7", "display 32 1366x768"};

    ConnectExternal(1920, 1080);
    const desktop::Display external = desktop::AttachedAt(1366, 0);
    EXPECT_EQ(external.width, 1920) << desktop::Describe(desktop::Displays());
    EXPECT_EQ(external.height, 1080);
    EXPECT_EQ(external.device, L"\\\\.\\DISPLAY2");
    EXPECT_EQ(NoticeListener::TakeNotices(), announced);

    ASSERT_TRUE(desktop::Disconnect(desktop::kExternal));
    EXPECT_EQ(desktop::AttachedDisplays().size(), 1u) << desktop::Describe(desktop::Displays());
    EXPECT_EQ(NoticeListener::TakeNotices(), announced);
    EXPECT_TRUE(program.Running()) << "the program took both notices";
    EXPECT_NE(program.MainWindow(), nullptr);
    program.Stop();
}

// The monitors the system's management instrumentation lists, as monitor
// identification reads them: each device id up to its second backslash.
std::vector<std::wstring> IdentifiedMonitors() {
    std::vector<std::wstring> identities;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        std::unique_ptr<profiles::IManagementService> wmi = profiles::MakeSystemManagementService();
        wmi->InitializeSecurity();
        std::vector<std::wstring> ids;
        if (SUCCEEDED(wmi->CreateLocator()) && SUCCEEDED(wmi->Connect(L"ROOT\\CIMV2")) &&
            SUCCEEDED(wmi->QueryDeviceIds(L"SELECT * FROM Win32_PNPEntity WHERE DeviceID LIKE 'DISPLAY%'", &ids))) {
            for (const std::wstring& id : ids) {
                const size_t first = id.find(L'\\');
                identities.push_back(id.substr(0, first == std::wstring::npos ? first : id.find(L'\\', first + 1)));
            }
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return identities;
}

bool Lists(const std::vector<std::wstring>& identities, const std::wstring& identity) {
    return std::find(identities.begin(), identities.end(), identity) != identities.end();
}

std::string Joined(const std::vector<std::wstring>& identities) {
    std::string text;
    for (const std::wstring& id : identities) text += std::string(id.begin(), id.end()) + " ";
    return text;
}

// Each monitor plugged in is a monitor device of its own, as Windows
// registers it: the CRT, then a digital monitor on HDMI, then the CRT again
// give two identities, the CRT's twice; an unplugged monitor is gone.
TEST_F(DisplaysE2eTest, PluggedMonitorsHaveTheirOwnIdentities) {
    const std::wstring panel = L"DISPLAY\\" + desktop::MonitorName(desktop::kPanel, 1366, 768);
    ASSERT_TRUE(Lists(IdentifiedMonitors(), panel)) << Joined(IdentifiedMonitors());
    struct Plug {
        const wchar_t* output;
        int width, height;
    };
    const Plug plugs[] = {{desktop::kExternal, 1280, 1024}, {desktop::kSecondExternal, 1920, 1080},
                          {desktop::kExternal, 1280, 1024}};
    std::vector<std::wstring> seen;
    for (const Plug& plug : plugs) {
        const std::vector<std::wstring> before = IdentifiedMonitors();
        ASSERT_TRUE(desktop::Connect(plug.output, plug.width, plug.height, desktop::kPanelWidth, 0));
        const std::vector<std::wstring> now = IdentifiedMonitors();
        // Wine lists a monitor without identity (DEFAULT_MONITOR) for every
        // output it knows besides; the plugged monitor is the one new identity.
        std::vector<std::wstring> added;
        for (const std::wstring& id : now) {
            if (!Lists(before, id) && id.find(L"DEFAULT_MONITOR") == std::wstring::npos) added.push_back(id);
        }
        ASSERT_EQ(added.size(), 1u) << Joined(now);
        EXPECT_TRUE(Lists(now, panel)) << Joined(now);
        seen.push_back(added[0]);
        ASSERT_TRUE(desktop::Disconnect(plug.output));
        EXPECT_FALSE(Lists(IdentifiedMonitors(), added[0])) << Joined(IdentifiedMonitors());
    }
    EXPECT_EQ(seen[0], L"DISPLAY\\VQM5040") << "the 1280 x 1024 CRT";
    EXPECT_EQ(seen[1], L"DISPLAY\\VQM7843") << "the 1920 x 1080 digital monitor";
    EXPECT_EQ(seen[2], seen[0]) << "the same CRT again";
}

class AdapterIdentityE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        output_ = TempPath(L"vq_adapterprobe.txt");
        vqdrive::DeleteFileIfPresent(output_);
    }
    void TearDown() override {
        vqdrive::SetWindowsVersion(L"");
        vqdrive::adapter::Reset();
    }

    // Runs the probe, with or without the adapter library; its two lines.
    std::vector<std::string> Probe(bool inject) {
        vqdrive::Program probe;
        vqdrive::StartOptions options;
        options.exeName = L"adapterprobe.exe";
        options.arguments = L"\"" + output_ + L"\"";
        options.waitForWindowMs = 0;
        if (inject) options.injectLibrary = vqdrive::adapter::LibraryPath();
        EXPECT_TRUE(probe.Start(options));
        EXPECT_EQ(probe.WaitForExit(10000), 0u);
        return vqdrive::ReadLines(output_);
    }

    std::wstring output_;
};

TEST_F(AdapterIdentityE2eTest, InjectedProgramSeesTheNotebooksAdapterFromItsFirstCall) {
    const std::string intel = "PCI\\VEN_8086&DEV_2A42&SUBSYS_00000000&REV_07|Mobile Intel(R) 4 Series Express Chipset Family";
    EXPECT_EQ(Probe(true), (std::vector<std::string>{"import: " + intel, "lookup: " + intel}));

    // This process, which loaded no such library, still sees Wine's adapter.
    const auto displays = desktop::DisplaysSeenHere();
    ASSERT_FALSE(displays.empty());
    EXPECT_EQ(displays[0].deviceId.rfind(L"PCI\\VEN_0000&DEV_0000", 0), 0u);
}

TEST_F(AdapterIdentityE2eTest, WithoutTheLibraryEveryProgramSeesWinesAdapter) {
    const std::vector<std::string> lines = Probe(false);
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) {
        EXPECT_NE(line.find(": PCI\\VEN_0000&DEV_0000"), std::string::npos) << line;
    }
}

TEST_F(AdapterIdentityE2eTest, WithoutAnIdentityTheLibraryPassesWinesAdapterThrough) {
    vqdrive::adapter::Reset();
    const std::vector<std::string> lines = Probe(true);
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) {
        EXPECT_NE(line.find(": PCI\\VEN_0000&DEV_0000"), std::string::npos) << line;
    }
}

TEST_F(AdapterIdentityE2eTest, ProgramStartsAndRunsWithTheLibraryInjected) {
    vqdrive::firmware::Reset();
    vqdrive::SetWindowsVersion(L"win7");
    vqdrive::Program program;
    vqdrive::StartOptions options;
    options.injectLibrary = vqdrive::adapter::LibraryPath();
    ASSERT_TRUE(program.Start(options));
    EXPECT_NE(program.MainWindow(), nullptr);
    EXPECT_TRUE(program.Running());
    program.Stop();
}

}  // namespace

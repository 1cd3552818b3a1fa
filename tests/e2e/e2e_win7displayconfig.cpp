// The simulated notebook's display-configuration service (the injected
// VqSimAdapter.dll) seen by a small program, displayconfigprobe.exe, that
// runs the Windows 7 display configuration component on its own: the paths
// of every connected output with the Intel driver's target ids, their
// preferred modes, and switches that really change the desktop (read from a
// fresh process) and are written to the service's journal.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programtest.h"
#include "reportlog.h"
#include "simadapter.h"
#include "simdesktop.h"
#include "simintel.h"
#include "vqdrive.h"
#include "xscreen.h"

namespace {

namespace desktop = vqdrive::desktop;
using Lines = std::vector<std::string>;

class Win7DisplayConfigE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        vqdrive::intel::Reset();
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        ASSERT_TRUE(desktop::Reset()) << desktop::Describe(desktop::Displays());
        output_ = TempPath(L"vq_displayconfigprobe.txt");
    }
    void TearDown() override {
        desktop::Reset();
        vqdrive::intel::Reset();
        vqdrive::adapter::Reset();
    }

    // The CRT plugged in right of the panel (the desktop extended over both),
    // and the graphics state saying so.
    void PlugCrt() {
        ASSERT_TRUE(desktop::Connect(desktop::kExternal, 1920, 1080, desktop::kPanelWidth, 0));
        ASSERT_TRUE(desktop::WaitForAttached(2, 5000)) << desktop::Describe(desktop::Displays());
        vqdrive::intel::SetConnected(L"Crt", true);
        vqdrive::intel::SetShown(0x01, 0x02);
        vqdrive::intel::ClearJournal();
    }

    Lines Probe(const std::wstring& arguments, bool inject = true) {
        vqdrive::DeleteFileIfPresent(output_);
        vqdrive::Program probe;
        vqdrive::StartOptions options;
        options.exeName = L"displayconfigprobe.exe";
        options.arguments = L"\"" + output_ + L"\" " + arguments;
        options.waitForWindowMs = 0;
        if (inject) options.injectLibrary = vqdrive::adapter::LibraryPath();
        EXPECT_TRUE(probe.Start(options));
        EXPECT_EQ(probe.WaitForExit(30000), 0u) << arguments.c_str();
        return vqdrive::ReadLines(output_);
    }
    Lines Switch(const wchar_t* code) { return Probe(std::wstring(L"switch ") + code); }

    static Lines ServiceJournal() {
        Lines lines;
        for (const std::string& line : vqdrive::intel::Journal()) {
            if (line.rfind("SetDisplayConfig ", 0) == 0) lines.push_back(line.substr(17));
        }
        return lines;
    }
    static std::string Desktop() { return desktop::Describe(desktop::AttachedDisplays()); }

    std::wstring output_;
};

TEST_F(Win7DisplayConfigE2eTest, ProgramSeesEveryConnectedOutputWithTheIntelTargetIds) {
    vqdrive::intel::SetConnected(L"Crt", true);
    vqdrive::intel::SetConnected(L"Hdmi", true);
    vqdrive::intel::SetValue(L"HdmiPreferredWidth", 1280);
    vqdrive::intel::SetValue(L"HdmiPreferredHeight", 720);
    EXPECT_EQ(Probe(L"paths"), (Lines{"path 0x4070400 tech 0x80000000 active 1 source 0",
                                      "path 0x1010100 tech 0x0 active 0 source 0",
                                      "path 0x3030300 tech 0x5 active 0 source 0",
                                      "preferred 0x4070400 1366x768", "preferred 0x1010100 1920x1080",
                                      "preferred 0x3030300 1280x720", "connected 11", "active 0x001"}));

    // Unplugged, an output is neither listed nor counted.
    vqdrive::intel::SetConnected(L"Hdmi", false);
    const Lines lines = Probe(L"paths");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[4], "connected 3");

    // Without the service the program sees Wine's own answer: one path, target 0.
    EXPECT_EQ(Probe(L"paths", false).front().rfind("path 0x0 tech ", 0), 0u);
}

TEST_F(Win7DisplayConfigE2eTest, SwitchesChangeTheDesktopAsTheCombinationMeans) {
    PlugCrt();

    EXPECT_EQ(Switch(L"1"), Lines{"result 1"});
    EXPECT_EQ(Desktop(), "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary");
    EXPECT_EQ(ServiceJournal(), (Lines{"0x60 valid: source 0 Panel 1366x768@0,0",
                                       "0x2a0 applied: source 0 Panel 1366x768@0,0"}));

    vqdrive::intel::ClearJournal();
    EXPECT_EQ(Switch(L"103"), Lines{"result 1"});
    EXPECT_EQ(Desktop(), "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary; \\\\.\\DISPLAY2 1920x1080x32@60 +1366+0");
    EXPECT_EQ(ServiceJournal(), (Lines{"0x60 valid: source 0 Panel 1366x768@0,0 + source 1 Crt 1920x1080@1366,0",
                                       "0x2a0 applied: source 0 Panel 1366x768@0,0 + source 1 Crt 1920x1080@1366,0"}));
    EXPECT_EQ(Probe(L"paths").back(), "active 0x103");

    // The external output primary: at the origin, the panel right of it.
    vqdrive::intel::ClearJournal();
    EXPECT_EQ(Switch(L"203"), Lines{"result 1"});
    EXPECT_EQ(Desktop(), "\\\\.\\DISPLAY1 1920x1080x32@60 +0+0 primary; \\\\.\\DISPLAY2 1366x768x32@60 +1920+0");
    EXPECT_EQ(ServiceJournal(), (Lines{"0x60 valid: source 0 Crt 1920x1080@0,0 + source 1 Panel 1366x768@1920,0",
                                       "0x2a0 applied: source 0 Crt 1920x1080@0,0 + source 1 Panel 1366x768@1920,0"}));
    EXPECT_EQ(Probe(L"paths").back(), "active 0x203");

    vqdrive::intel::ClearJournal();
    EXPECT_EQ(Switch(L"2"), Lines{"result 1"});
    EXPECT_EQ(Desktop(), "\\\\.\\DISPLAY1 1920x1080x32@60 +0+0 primary");
    EXPECT_EQ(Probe(L"paths").back(), "active 0x002");

    // Clone: the CRT alone first, the primary at 1024 x 768, then both showing
    // it: one picture on both outputs, one display on the desktop.
    vqdrive::intel::ClearJournal();
    EXPECT_EQ(Switch(L"3"), Lines{"result 1"});
    EXPECT_EQ(Desktop(), "\\\\.\\DISPLAY1 1024x768x32@60 +0+0 primary");
    const std::vector<vqsim::xscreen::Output> outputs = vqsim::xscreen::ReadOutputs();
    for (const wchar_t* output : {desktop::kPanel, desktop::kExternal}) {
        const vqsim::xscreen::Output* o = vqsim::xscreen::Find(outputs, output);
        ASSERT_NE(o, nullptr);
        EXPECT_TRUE(o->on && o->x == 0 && o->y == 0 && o->width == 1024 && o->height == 768)
            << std::string(output, output + 6) << " " << o->width << "x" << o->height << "+" << o->x << "+" << o->y;
    }
    EXPECT_EQ(ServiceJournal(), (Lines{"0xa0 applied: source 0 Crt 1920x1080@0,0",
                                       "0x60 valid: source 0 Panel Crt 1024x768@0,0",
                                       "0x2a0 applied: source 0 Panel Crt 1024x768@0,0"}));
    EXPECT_EQ(vqdrive::intel::Value(L"Display1"), 0x03u);
    // One source on both outputs.
    EXPECT_EQ(Probe(L"paths").back(), "active 0x003");
}

TEST_F(Win7DisplayConfigE2eTest, WhatTheNotebookCannotShowIsRefused) {
    PlugCrt();
    EXPECT_EQ(Probe(L"validate"), (Lines{"current 0", "oversized 87"}));
    const Lines journal = ServiceJournal();
    ASSERT_EQ(journal.size(), 2u);
    EXPECT_EQ(journal[1], "0x60 refused: Panel cannot show 8192x8192");
    EXPECT_EQ(Desktop(), "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary; \\\\.\\DISPLAY2 1920x1080x32@60 +1366+0")
        << "validation changes nothing";
}

TEST_F(Win7DisplayConfigE2eTest, AnOutputThatIsNotConnectedFallsBackToTheStockTopology) {
    PlugCrt();
    // No TV: its dual view cannot be built, and the system's extend takes the CRT.
    EXPECT_EQ(Switch(L"105"), Lines{"result 1"});
    EXPECT_EQ(ServiceJournal(), Lines{"0x84 applied: topology 0x4"});
    EXPECT_TRUE(ReportLog::Has(L"Trying SDC_TOPOLOGY command")) << ReportLog::Text();
    EXPECT_EQ(Desktop(), "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary; \\\\.\\DISPLAY2 1920x1080x32@60 +1366+0");
}

}  // namespace

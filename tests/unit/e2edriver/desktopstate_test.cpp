// What the driver and the stand-ins read of the simulated screen (xrandr's
// listing) and the EDID a plugged-in monitor is registered with.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "simmonitors.h"
#include "xscreen.h"

namespace {

namespace xs = vqsim::xscreen;

constexpr char kClone[] =
    "Screen 0: minimum 64 x 64, current 1024 x 768, maximum 32767 x 32767\n"
    "DUMMY0 connected primary 1024x768+0+0 0mm x 0mm\n"
    "   640x480       59.94 +\n"
    "   1366x768      60.00  \n"
    "   1024x768      60.00*  60.00\n"
    "DUMMY1 connected 1024x768+0+0 0mm x 0mm\n"
    "   640x480       59.94 +\n"
    "   1024x768      60.00* \n"
    "DUMMY2 connected (normal left inverted right x axis y axis)\n"
    "   640x480       59.94 +\n"
    "DUMMY3 disconnected\n";

TEST(ScreenListing, EachOutputWithItsPlaceAndItsOwnSizes) {
    const std::vector<xs::Output> outputs = xs::ParseOutputs(kClone);
    ASSERT_EQ(outputs.size(), 4u);
    const xs::Output* panel = xs::Find(outputs, L"DUMMY0");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->connected && panel->on && panel->primary);
    EXPECT_EQ(panel->width, 1024);
    EXPECT_EQ(panel->x, 0);
    // A size listed twice (two rates) counts once.
    EXPECT_EQ(panel->modes, (std::vector<xs::Size>{{640, 480}, {1366, 768}, {1024, 768}}));
    const xs::Output* crt = xs::Find(outputs, L"DUMMY1");
    EXPECT_TRUE(crt->on && !crt->primary);
    EXPECT_FALSE(crt->Offers({1366, 768}));
    const xs::Output* hdmi = xs::Find(outputs, L"DUMMY2");
    EXPECT_TRUE(hdmi->connected && !hdmi->on) << "connected, showing nothing";
    EXPECT_FALSE(xs::Find(outputs, L"DUMMY3")->connected);
    EXPECT_EQ(xs::Find(outputs, L"DUMMY9"), nullptr);
}

TEST(ScreenListing, NothingReadableGivesNoOutputs) {
    EXPECT_TRUE(xs::ParseOutputs("").empty());
    EXPECT_TRUE(xs::ParseOutputs("Can't open display\n").size() <= 1u);
}

TEST(MonitorEdid, NamesTheMonitorAndItsNativeTiming) {
    const std::vector<unsigned char> edid = vqdrive::MonitorDevices::Edid(L"VQM5040", 1280, 1024, false);
    ASSERT_EQ(edid.size(), 128u);
    EXPECT_EQ(std::accumulate(edid.begin(), edid.end(), 0u) % 256, 0u) << "the checksum";
    // "VQM": five bits a letter, big-endian.
    EXPECT_EQ((edid[8] << 8) | edid[9], (('V' - '@') << 10) | (('Q' - '@') << 5) | ('M' - '@'));
    EXPECT_EQ(edid[10] | (edid[11] << 8), 0x5040);
    EXPECT_EQ(edid[20], 0x0E) << "an analog input";
    // The preferred timing: 1280 x 1024 active, 1440 x 1054 in all at 60 Hz.
    EXPECT_EQ(edid[54] | (edid[55] << 8), 1440 * 1054 * 60 / 10000);
    EXPECT_EQ(edid[56] | ((edid[58] >> 4) << 8), 1280);
    EXPECT_EQ(edid[59] | ((edid[61] >> 4) << 8), 1024);
    EXPECT_EQ(std::string(edid.begin() + 77, edid.begin() + 85), "VQM5040\n");
}

}  // namespace

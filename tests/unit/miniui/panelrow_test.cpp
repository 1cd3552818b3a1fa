#include "miniui/panelrow.h"

#include <gtest/gtest.h>

namespace {

using namespace miniui;

RowInput ThreePanels(RECT taskbar, bool hasTaskbar = true) {
    RowInput row{};
    row.screen = {1366, 768};
    row.hasTaskbar = hasTaskbar;
    row.taskbar = taskbar;
    row.panels = {SIZE{160, 48}, SIZE{160, 48}, SIZE{160, 48}, SIZE{44, 48}};
    row.enabled = {true, true, true};
    row.optionsVisible = false;
    return row;
}

TEST(PanelRow, TheRowIsCentredAndStandsAboveATaskbarAlongTheBottom) {
    const auto at = PlacePanelRow(ThreePanels({0, 728, 1366, 768}));
    // Row width 168 + 172 + 172 = 512, so it starts at 683 - 256.
    EXPECT_EQ(at[kOutputPanel].x, 427);
    EXPECT_EQ(at[kResolutionPanel].x, 599);
    EXPECT_EQ(at[kPresentationPanel].x, 771);
    EXPECT_EQ(at[kOptionsPanel].x, 943);
    for (const POINT& p : at) EXPECT_EQ(p.y, 728 - 48 - 12);
}

TEST(PanelRow, AnyOtherTaskbarPutsTheRowAboveTheScreensBottomEdge) {
    const struct {
        const char* name;
        RECT taskbar;
        bool found;
    } cases[] = {
        {"at the top", {0, 0, 1366, 40}, true},
        {"at the left", {0, 0, 60, 768}, true},
        {"at the right", {1306, 0, 1366, 768}, true},
        {"auto-hidden below the screen", {0, 766, 1366, 806}, true},
        {"at the bottom of a second monitor to the right", {1366, 984, 3286, 1024}, true},
        {"at the bottom of a second monitor to the left", {-1280, 984, 0, 1024}, true},
        {"no taskbar", {}, false},
    };
    for (const auto& c : cases) {
        const auto at = PlacePanelRow(ThreePanels(c.taskbar, c.found));
        EXPECT_EQ(at[kOutputPanel].x, 427) << c.name;
        for (const POINT& p : at) EXPECT_EQ(p.y, 768 - 48 - 12) << c.name;
    }
    // A taskbar a little outside the screen still counts as along the bottom.
    EXPECT_EQ(PlacePanelRow(ThreePanels({-2, 730, 1368, 770}))[kOutputPanel].y, 730 - 48 - 12);
}

TEST(PanelRow, EnabledPanelsAndTheOptionsPanelMakeTheRow) {
    RowInput row = ThreePanels({0, 728, 1366, 768});
    row.enabled = {false, true, false};
    auto at = PlacePanelRow(row);
    EXPECT_EQ(at[kResolutionPanel].x, 683 - 172 / 2);
    EXPECT_EQ(at[kOptionsPanel].x, at[kResolutionPanel].x + 172);
    EXPECT_FALSE(OptionsPanelInRow(row));

    row.optionsVisible = true;  // the options panel widens the row by its width + 12
    at = PlacePanelRow(row);
    EXPECT_EQ(at[kResolutionPanel].x, 683 - (172 + 56) / 2);
    EXPECT_TRUE(OptionsPanelInRow(row));

    // No panel enabled: the options panel alone, shown always, in the middle.
    row.enabled = {false, false, false};
    row.optionsVisible = false;
    at = PlacePanelRow(row);
    EXPECT_EQ(at[kOptionsPanel].x, 683);
    EXPECT_TRUE(OptionsPanelInRow(row));

    // Panels of their own heights each stand on the same line.
    row = ThreePanels({0, 728, 1366, 768});
    row.panels[kResolutionPanel] = {160, 155};
    at = PlacePanelRow(row);
    EXPECT_EQ(at[kResolutionPanel].y, 728 - 155 - 12);
    EXPECT_EQ(at[kOutputPanel].y, 728 - 48 - 12);
}

TEST(PanelRow, ViewModesArePackedFourBitsAPanelAndDamageReadsAsIcons) {
    const ViewModes modes{2, 1, 0, 2};
    EXPECT_EQ(PackViewModes(modes), 2 | 1 << 4 | 0 << 8 | 2 << 12);
    bool damaged = true;
    EXPECT_EQ(UnpackViewModes(PackViewModes(modes), &damaged), modes);
    EXPECT_FALSE(damaged);
    EXPECT_EQ(UnpackViewModes(0, &damaged), (ViewModes{0, 0, 0, 0}));
    EXPECT_FALSE(damaged);

    const struct {
        int packed;
        ViewModes modes;
    } cases[] = {
        {0x1000, {0, 0, 0, 0}},      // the options panel has no strip
        {0x0F03, {0, 0, 0, 0}},      // modes 3 and 15
        {0x12221, {1, 2, 2, 2}},     // bits above the four panels
        {-1, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UnpackViewModes(c.packed, &damaged), c.modes) << std::hex << c.packed;
        EXPECT_TRUE(damaged) << std::hex << c.packed;
    }
}

}  // namespace

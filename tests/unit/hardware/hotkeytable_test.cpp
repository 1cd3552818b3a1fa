// The keyboard tables hold together: one meaning per key, the vendor usages
// of the USB library reach the same action on both keyboard families, and the
// built-in keyboard's keys on the USB models land on rows that exist.
#include <gtest/gtest.h>

#include <set>

#include "common/processstate.h"
#include "hardware/hotkeytable.h"

namespace {

struct Family {
    const char* name;
    const KeyboardTable& table;
};

const Family kFamilies[] = {{"built-in", BuiltInKeyboard()}, {"USB", UsbKeyboard()}};

TEST(HotkeyTableTest, EveryKeyAndUsageHasOneMeaningPerFamily) {
    for (const Family& family : kFamilies) {
        std::set<int> codes;
        std::set<WPARAM> usages;
        for (const KeyMeaning& row : family.table.Rows()) {
            EXPECT_TRUE(codes.insert(CodeOf(row.code)).second) << family.name << " code " << CodeOf(row.code);
            if (row.hidUsage) {
                EXPECT_TRUE(usages.insert(row.hidUsage).second) << family.name << " usage " << row.hidUsage;
            }
            // A picture row without a picture, or a picture nobody shows, is a slip in the table.
            EXPECT_EQ(row.action == HotkeyAction::Picture, row.picture >= 0) << family.name << " code " << CodeOf(row.code);
        }
    }
}

TEST(HotkeyTableTest, VendorUsagesMeanTheSameKeyOnBothFamilies) {
    // The USB library's vendor usages of the notebook's keys (0xB4 is not one).
    const std::set<WPARAM> expected = {0xB1, 0xB2, 0xB3, 0xB5, 0xB6, 0xB7, 0xB8};
    for (WPARAM usage = 0xA0; usage <= 0xC0; ++usage) {
        const KeyMeaning* builtIn = BuiltInKeyboard().FindUsage(usage);
        const KeyMeaning* usb = UsbKeyboard().FindUsage(usage);
        ASSERT_EQ(builtIn != nullptr, expected.count(usage) == 1) << usage;
        ASSERT_EQ(usb != nullptr, expected.count(usage) == 1) << usage;
        if (!builtIn) continue;
        EXPECT_EQ(builtIn->action, usb->action) << usage;
        EXPECT_EQ(builtIn->preprocessing == KeyPreprocessing::DisplaySwitch,
                  usb->preprocessing == KeyPreprocessing::DisplaySwitch) << usage;
        EXPECT_EQ(builtIn->preprocessing == KeyPreprocessing::SrsEffect,
                  usb->preprocessing == KeyPreprocessing::SrsEffect) << usage;
    }
    EXPECT_EQ(UsbKeyboard().FindUsage(0), nullptr);
}

TEST(HotkeyTableTest, BuiltInKeysOnUsbModelsKeepTheirMeaning) {
    // On the hook road a USB model's brightness and battery-warning keys arrive
    // with the built-in keyboard's numbers and act as the USB keyboard's.
    for (int code = 0; code < 256; ++code) {
        const int standsFor = UsbKeyboard().FromHookRoad(code);
        if (standsFor == code) continue;
        EXPECT_EQ(UsbKeyboard().Find(standsFor).action, BuiltInKeyboard().Find(code).action) << code;
    }
    EXPECT_EQ(BuiltInKeyboard().FromHookRoad(CodeOf(HotkeyCode::BrightnessUp)), CodeOf(HotkeyCode::BrightnessUp));
}

TEST(HotkeyTableTest, CodesWithoutARowAreDispatchedAndPassed) {
    for (const Family& family : kFamilies) {
        const KeyMeaning row = family.table.Find(250);
        EXPECT_EQ(row.preprocessing, KeyPreprocessing::Dispatch) << family.name;
        EXPECT_EQ(row.modified, ModifiedRole::None) << family.name;
        EXPECT_EQ(row.action, HotkeyAction::Pass) << family.name;
    }
}

TEST(HotkeyTableTest, TheNotebooksKeyboardFollowsTheUsbModelFlag) {
    const bool saved = proc::usbKeyboardModel;
    proc::usbKeyboardModel = true;
    EXPECT_EQ(&NotebookKeyboard(), &UsbKeyboard());
    proc::usbKeyboardModel = false;
    EXPECT_EQ(&NotebookKeyboard(), &BuiltInKeyboard());
    proc::usbKeyboardModel = saved;
}

}  // namespace

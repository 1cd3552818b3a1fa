// The SRS key on a notebook whose audio driver has the two sound effects
// (the injected sim/audiofx): the first press opens the SRS toggle on the
// driver's state, every further press steps it and sets the effects at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "osd/togglechoices.h"
#include "programtest.h"
#include "screenpixels.h"
#include "simaudiofx.h"
#include "vqdrive.h"

namespace {

using vqdrive::audiofx::Value;
namespace fx = vqsim::audiofx;

class TogglesE2eTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        vqdrive::audiofx::Reset();
    }
    void TearDown() override {
        ProgramTest::TearDown();
        vqdrive::audiofx::Reset();
    }
    void SetEffects(DWORD selection, DWORD a, DWORD b) {
        for (const auto& [name, value] : {std::pair{fx::kSelection, selection}, {fx::kEffectA, a}, {fx::kEffectB, b}}) {
            RegSetKeyValueW(HKEY_CURRENT_USER, fx::kKey, name, REG_DWORD, &value, sizeof value);
        }
    }
    // The OSD as it shows after a press, once it has settled.
    bool PressAndCapture(Picture* shown) {
        vqdrive::TapKey(0xFF, 111);
        vqdrive::Pause(300);
        RECT rect{};
        if (!vqdrive::FindOsdRect(program_.ProcessId(), &rect)) return false;
        *shown = CaptureScreen(rect);
        return true;
    }
};

TEST_F(TogglesE2eTest, SrsKeyOpensTheToggleOnTheDriversStateAndEveryPressStepsAndSetsTheEffect) {
    SetEffects(1, 0, 0);  // effect B selected and off: 33, the choice "effects off"
    Start(L"win7", L"", vqdrive::audiofx::LibraryPath());
    std::vector<Picture> seen(4);
    ASSERT_TRUE(PressAndCapture(&seen[0])) << "no SRS toggle on screen";
    const Picture background = StripFramePicture(osd::kSrsStripFile, osd::kSrsBackgroundFrame);
    EXPECT_EQ(seen[0].width, background.width);
    EXPECT_EQ(seen[0].height, background.height);
    EXPECT_EQ(Value(fx::kEffectA), 0u) << "opening changes nothing";

    const struct {
        DWORD selection, a, b;
    } after[] = {{0, 1, 0}, {1, 0, 1}, {1, 0, 0}};  // 16 effect A, 32 effect B, 255 both off
    for (int press = 1; press <= 3; ++press) {
        SCOPED_TRACE(press);
        ASSERT_TRUE(PressAndCapture(&seen[press]));
        EXPECT_EQ(Value(fx::kSelection), after[press - 1].selection);
        EXPECT_EQ(Value(fx::kEffectA), after[press - 1].a);
        EXPECT_EQ(Value(fx::kEffectB), after[press - 1].b);
        EXPECT_GT(CountMismatches(seen[press], seen[press - 1]), 0) << "every choice looks different";
    }
    EXPECT_EQ(CountMismatches(seen[3], seen[0]), 0) << "three steps return to effects off";
    // The toggle hides 1.8 s after the last press; the effect stays.
    vqdrive::Pause(2200);
    EXPECT_FALSE(OsdShown());
    EXPECT_EQ(Value(fx::kEffectB), 0u);
    EXPECT_TRUE(program_.Running());
}

}  // namespace

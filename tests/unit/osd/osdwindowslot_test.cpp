// The OSD window's owner with real windows: the window it answers with, the
// one it makes ahead, the image strips it hands to every window, and the
// routing's view of the window now.
#include <gtest/gtest.h>

#include "osd/osdwindowslot.h"
#include "osdfixture.h"

namespace {

constexpr int kWirelessOn = 81;
constexpr int kWirelessOnFrame = 37;

class CountingMakeAhead : public osd::IMakeAheadScheduler {
public:
    int asked = 0;
    void ScheduleMakeAhead() override { ++asked; }
};

class OsdWindowSlot : public OsdTest {
protected:
    void SetUp() override {
        OsdTest::SetUp();
        osd_.reset();  // the slot's windows only
        slot_.LoadStrips();
    }
    void TearDown() override {
        slot_.Release();
        OsdTest::TearDown();
    }
    // Shows the wireless picture on the window the slot answers with.
    CHKIconWindowDlg* ShowWireless() {
        CHKIconWindowDlg* window = slot_.ShowableWindow();
        if (!window || !window->InitHotKeyIcon(kWirelessOn)) return nullptr;
        window->ShowNoActivate();
        Run(30);
        return window;
    }
    static bool Living(CHKIconWindowDlg* window) {
        return window && !window->IsDestroyed() && window->IsWindowAlive();
    }
    static Picture ScreenOf(CHKIconWindowDlg* window) {
        RECT rect{};
        GetWindowRect(window->Handle(), &rect);
        return CaptureScreen(rect);
    }

    CountingMakeAhead makeAhead_;
    osd::COsdWindowSlot slot_{partners_, makeAhead_};
};

TEST_F(OsdWindowSlot, ShownWindowIsKeptAndAHiddenOrDestroyedOneIsReplacedByALivingOne) {
    EXPECT_EQ(slot_.CurrentWindow(), nullptr);
    CHKIconWindowDlg* first = ShowWireless();
    ASSERT_NE(first, nullptr);
    const HWND firstHandle = first->Handle();
    // Drawn from the strips the slot handed over.
    EXPECT_EQ(CountMismatches(ScreenOf(first), FramePicture(IconStrip(), kWirelessOnFrame)), 0);
    EXPECT_EQ(slot_.ShowableWindow(), first) << "a shown window is used again";

    // Destroyed while it shows (its hide sequence never ran): the next user gets a living window.
    first->DestroyWindow();
    EXPECT_EQ(makeAhead_.asked, 1) << "the window's end asks for the next one to be made ahead";
    CHKIconWindowDlg* second = ShowWireless();
    ASSERT_TRUE(Living(second));
    EXPECT_NE(second->Handle(), firstHandle);
    EXPECT_EQ(CountMismatches(ScreenOf(second), FramePicture(IconStrip(), kWirelessOnFrame)), 0);

    // Hidden and destroyed by its own hide timer: replaced as well.
    ASSERT_TRUE(RunUntil([&] { return second->IsDestroyed(); }, CHKIconWindowDlg::kHideAfterMs + 2000));
    EXPECT_EQ(makeAhead_.asked, 2);
    EXPECT_TRUE(Living(slot_.ShowableWindow()));
}

TEST_F(OsdWindowSlot, WindowMadeAheadIsMadeOnlyWhileNoneLivesAndTakenOnce) {
    slot_.PrepareNext();
    CHKIconWindowDlg* ahead = slot_.NextWindow();
    ASSERT_TRUE(Living(ahead));
    EXPECT_FALSE(ahead->IsShown());
    slot_.PrepareNext();
    EXPECT_EQ(slot_.NextWindow(), ahead) << "one window ahead at most";

    EXPECT_EQ(slot_.NewWindow(), ahead);
    EXPECT_EQ(slot_.NextWindow(), nullptr);
    slot_.PrepareNext();
    EXPECT_EQ(slot_.NextWindow(), nullptr) << "none ahead while a window lives";

    // A new window in place of a living one: the living one is destroyed, a fresh one made.
    const HWND aheadHandle = ahead->Handle();
    CHKIconWindowDlg* fresh = slot_.NewWindow();
    ASSERT_TRUE(Living(fresh));
    EXPECT_NE(fresh->Handle(), aheadHandle);
    EXPECT_FALSE(IsWindow(aheadHandle));

    fresh->DestroyWindow();
    slot_.PrepareNext();
    ASSERT_TRUE(Living(slot_.NextWindow()));
    EXPECT_EQ(slot_.CurrentWindow(), fresh) << "the destroyed window stays current until it is replaced";
}

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// The windows of this thread that exist now.
int ThreadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(OsdWindowSlot, ManyCyclesLeaveOnlyTheWindowNowAndTheOneMadeAhead) {
    const int before = ThreadWindows();
    for (int cycle = 0; cycle < 30; ++cycle) {
        CHKIconWindowDlg* window = cycle % 3 == 0 ? slot_.NewWindow() : slot_.ShowableWindow();
        ASSERT_TRUE(Living(window));
        if (cycle % 2 == 0) window->DestroyWindow();  // as its hide sequence ends it
        slot_.PrepareNext();
    }
    EXPECT_LE(ThreadWindows() - before, 2);
    slot_.Release();
    EXPECT_EQ(ThreadWindows(), before);
}

TEST_F(OsdWindowSlot, AfterReleaseNothingIsMadeOrAskedFor) {
    ASSERT_NE(ShowWireless(), nullptr);
    const int asked = makeAhead_.asked;
    slot_.Release();
    EXPECT_EQ(slot_.CurrentWindow(), nullptr);
    EXPECT_EQ(makeAhead_.asked, asked) << "no window is made ahead at tear-down";
    slot_.PrepareNext();
    EXPECT_EQ(slot_.NextWindow(), nullptr);
}

TEST_F(OsdWindowSlot, RoutingSeesTheWindowNow) {
    EXPECT_FALSE(slot_.OsdAlive());
    EXPECT_EQ(slot_.OsdMode(), osd::OsdMode::None);
    slot_.HideOsd();  // nothing to hide
    CHKIconWindowDlg* window = ShowWireless();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(slot_.OsdAlive());
    EXPECT_EQ(slot_.OsdMode(), osd::OsdMode::HotkeyPicture);
    slot_.HideOsd();
    EXPECT_FALSE(IsWindowVisible(window->Handle()));
    window->DestroyWindow();
    EXPECT_FALSE(slot_.OsdAlive());
}

}  // namespace

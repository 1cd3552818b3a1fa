// The guard of handlers that keep the message queue running: what arrives
// inside such a handler waits until it has ended, a close ends the window
// last, and pumps do not nest without bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/reentryguard.h"

namespace {

// A window's handlers on a scripted queue: each pass of a pump delivers the
// next message of `queue`, which the window handles as its procedure would.
class GuardedWindow {
public:
    GuardedWindow()
        : guard_({.dispatchWaiting =
                      [this] {
                          ++dispatches_;
                          if (queue_.empty()) return true;
                          const std::string message = queue_.front();
                          queue_.erase(queue_.begin());
                          Receive(message);
                          return true;
                      },
                  .wait = [](DWORD) {},
                  .wakeLoop = [this] { ++wakes_; }}) {
        guard_.SetCloseAction([this] { log_.push_back("closed"); });
    }

    // The window procedure: "close" and requests are held back while a handler pumps.
    void Receive(const std::string& message) {
        if (guard_.MustDefer()) {
            if (message == "close") {
                guard_.DeferClose();
            } else {
                guard_.Defer([this, message] { Handle(message); }, message == "timer" ? 7 : 0);
            }
            return;
        }
        if (message == "close") {
            log_.push_back("closed");
            return;
        }
        Handle(message);
    }
    // A request "rotate" pumps five passes; everything else only logs.
    void Handle(const std::string& message) {
        log_.push_back("begin " + message);
        if (message == "rotate") guard_.Pump(5, 5);
        log_.push_back("end " + message);
    }
    // The message loop: one message, then what was held back.
    void Loop() {
        while (!queue_.empty()) {
            const std::string message = queue_.front();
            queue_.erase(queue_.begin());
            Receive(message);
            guard_.RunDeferred();
        }
    }

    fw::CReentryGuard guard_;
    std::vector<std::string> queue_;
    std::vector<std::string> log_;
    int dispatches_ = 0;
    int wakes_ = 0;
};

TEST(ReentryGuardTest, RequestsArrivingInsideAPumpRunAfterTheHandlerInTheirOrder) {
    GuardedWindow window;
    window.queue_ = {"rotate", "key", "rotate", "key2"};
    window.Loop();
    EXPECT_EQ(window.log_, (std::vector<std::string>{"begin rotate", "end rotate", "begin key", "end key",
                                                     "begin rotate", "end rotate", "begin key2", "end key2"}));
    EXPECT_FALSE(window.guard_.Pumping());
    EXPECT_EQ(window.guard_.Waiting(), 0u);
    EXPECT_EQ(window.wakes_, 1) << "the loop is woken once for work held back";
}

TEST(ReentryGuardTest, ACloseInsideAPumpEndsTheWindowAfterTheHandlerAndDropsWhatWaits) {
    GuardedWindow window;
    window.queue_ = {"rotate", "rotate", "close", "key"};
    window.Loop();
    EXPECT_EQ(window.log_, (std::vector<std::string>{"begin rotate", "end rotate", "closed"}));
}

TEST(ReentryGuardTest, WorkHeldBackDoesNotRunInsideAPump) {
    std::vector<std::string> log;
    fw::CReentryGuard* self = nullptr;
    fw::CReentryGuard guard({.dispatchWaiting =
                                 [&] {
                                     self->RunDeferred();  // as a loop inside a handler would try
                                     return true;
                                 },
                             .wait = [](DWORD) {}});
    self = &guard;
    guard.Defer([&] { log.push_back("held"); });
    EXPECT_TRUE(guard.MustDefer()) << "later messages queue behind what waits";
    guard.Pump(3, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(guard.RunDeferred());
    EXPECT_EQ(log, (std::vector<std::string>{"held"}));
    EXPECT_FALSE(guard.MustDefer());
}

// A message box the system runs inside a handler holds back as a pump does.
TEST(ReentryGuardTest, AMessageBoxOpenInsideAHandlerHoldsBackAsAPump) {
    GuardedWindow window;
    modal::IModalLoopWatcher& watcher = window.guard_;
    watcher.ModalLoopBegins();
    window.Receive("close");
    window.Receive("key");
    EXPECT_TRUE(window.log_.empty());
    watcher.ModalLoopEnds();
    EXPECT_TRUE(window.guard_.RunDeferred());
    EXPECT_EQ(window.log_, (std::vector<std::string>{"closed"}));
}

TEST(ReentryGuardTest, ATimerThatFiresAgainWhileHeldBackRunsOnce) {
    GuardedWindow window;
    window.queue_ = {"rotate", "timer", "timer", "timer"};
    window.Loop();
    EXPECT_EQ(window.log_, (std::vector<std::string>{"begin rotate", "end rotate", "begin timer", "end timer"}));
}

TEST(ReentryGuardTest, PumpsNestNoDeeperThanTheBound) {
    int deepest = 0, depth = 0, dispatches = 0;
    fw::CReentryGuard* self = nullptr;
    fw::CReentryGuard guard({.dispatchWaiting =
                                 [&] {
                                     ++dispatches;
                                     ++depth;
                                     deepest = std::max(deepest, depth);
                                     self->Pump(3, 0);  // every pass starts another pumping handler
                                     --depth;
                                     return true;
                                 },
                             .wait = [](DWORD) {}});
    self = &guard;
    guard.Pump(3, 0);
    EXPECT_EQ(deepest, fw::CReentryGuard::kMaxNesting);
    EXPECT_EQ(dispatches, 3 + 3 * 3);
    EXPECT_FALSE(guard.Pumping());
}

TEST(ReentryGuardTest, APumpPastTheBoundStillWaitsItsTime) {
    DWORD waited = 0;
    int level = 0;
    fw::CReentryGuard* self = nullptr;
    fw::CReentryGuard guard({.dispatchWaiting =
                                 [&] {
                                     if (level++ == 0) {
                                         self->Pump(1, 0);
                                     } else if (level == 2) {
                                         waited = 0;
                                         self->Pump(4, 10);  // third level: waits 40 ms, dispatches nothing
                                     }
                                     return true;
                                 },
                             .wait = [&](DWORD ms) { waited += ms; }});
    self = &guard;
    guard.Pump(1, 0);
    EXPECT_EQ(waited, 40u);
    EXPECT_EQ(level, 2);
}

TEST(ReentryGuardTest, AQuitSeenInsideAPumpStopsItsDispatching) {
    int dispatches = 0;
    fw::CReentryGuard guard({.dispatchWaiting =
                                 [&] {
                                     ++dispatches;
                                     return false;
                                 },
                             .wait = [](DWORD) {}});
    guard.Pump(10, 0);
    EXPECT_EQ(dispatches, 1);
}

}  // namespace

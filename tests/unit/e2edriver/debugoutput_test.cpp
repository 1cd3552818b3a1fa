// The end-to-end driver's debug-output listener: what it hears of
// OutputDebugStringW/A, how it splits and cuts the text, bursts from several
// threads, and that only one listener can own the shared objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "debugoutput.h"

namespace {

using Lines = std::vector<std::string>;
using vqdrive::DebugOutputListener;

class DebugOutputTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(listener_.Start()) << listener_.Error(); }
    Lines Own() const { return listener_.Lines(GetCurrentProcessId()); }
    // Waits until `count` messages have been heard (the listener's thread copies them).
    bool WaitForMessages(size_t count) {
        const DWORD start = GetTickCount();
        while (listener_.MessageCount() < count && GetTickCount() - start < 5000) Sleep(5);
        return listener_.MessageCount() >= count;
    }
    DebugOutputListener listener_;
};

TEST_F(DebugOutputTest, MessagesAreSplitIntoLinesOfTheSendingProcess) {
    OutputDebugStringW(L"call ProcessKey 255 8 0");
    OutputDebugStringW(L"\n[Br: Stop] End Timer\n");
    OutputDebugStringA("one\r\ntwo");
    OutputDebugStringW(L"");
    ASSERT_TRUE(WaitForMessages(4));
    EXPECT_EQ(Own(), (Lines{"call ProcessKey 255 8 0", "[Br: Stop] End Timer", "one", "two"}));
    EXPECT_EQ(listener_.Lines(GetCurrentProcessId() + 4), Lines{}) << "another process said nothing";
    EXPECT_EQ(vqdrive::TraceCalls(Own()), Lines{"ProcessKey 255 8 0"});
}

TEST_F(DebugOutputTest, ALongLineIsCutToWhatTheSectionHolds) {
    const std::wstring wide(6000, L'w');
    OutputDebugStringW(wide.c_str());
    const std::string narrow(DebugOutputListener::kMaxMessageBytes, 'a');
    OutputDebugStringA((narrow + "bcd").c_str());
    ASSERT_TRUE(WaitForMessages(2));
    EXPECT_EQ(Own(), (Lines{std::string(DebugOutputListener::kMaxMessageBytes, 'w'), narrow}));
}

TEST_F(DebugOutputTest, TextOutsideTheAnsiCodePageArrivesConverted) {
    OutputDebugStringW(L"mixer opened: Lautsprecher \u00fc \u4e2d");
    ASSERT_TRUE(WaitForMessages(1));
    const Lines lines = Own();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 27), "mixer opened: Lautsprecher ") << "the line arrives whole";
    char expected[16] = {};
    WideCharToMultiByte(CP_ACP, 0, L"\u00fc \u4e2d", -1, expected, sizeof expected, nullptr, nullptr);
    EXPECT_EQ(lines[0].substr(27), expected);
}

TEST_F(DebugOutputTest, ABurstFromSeveralThreadsLosesNothing) {
    constexpr int kThreads = 4, kLinesEach = 300;
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([t] {
            for (int i = 0; i < kLinesEach; ++i) {
                OutputDebugStringW((L"burst " + std::to_wstring(t) + L" " + std::to_wstring(i)).c_str());
            }
        });
    }
    for (auto& sender : senders) sender.join();
    ASSERT_TRUE(WaitForMessages(kThreads * kLinesEach));
    const Lines lines = Own();
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLinesEach));
    // Each thread's lines in its own order.
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : lines) {
        int thread = -1, index = -1;
        ASSERT_EQ(sscanf(line.c_str(), "burst %d %d", &thread, &index), 2) << line;
        ASSERT_EQ(index, next[thread]++) << line;
    }
}

TEST_F(DebugOutputTest, OnlyOneListenerOwnsTheObjects) {
    DebugOutputListener second;
    EXPECT_FALSE(second.Start());
    EXPECT_NE(second.Error().find(L"another debug-output listener"), std::wstring::npos);
    listener_.Stop();
    EXPECT_TRUE(second.Start()) << second.Error();
    OutputDebugStringW(L"heard by the second");
    const DWORD start = GetTickCount();
    while (second.MessageCount() == 0 && GetTickCount() - start < 5000) Sleep(5);
    EXPECT_EQ(second.Lines(GetCurrentProcessId()), Lines{"heard by the second"});
}

}  // namespace

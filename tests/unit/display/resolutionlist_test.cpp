// The resolution list of a display: the 32-bpp and shape filters, the
// growth from 24 to 64 entries with its report, sorting and de-duplication,
// and the largest resolution with its fallback.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "displayfixture.h"

namespace {

using Sizes = std::vector<std::pair<int, int>>;

// `count` distinct landscape 32-bpp modes, each offered at two frequencies
// one after the other (as the system lists them).
std::vector<DEVMODEW> DistinctModes(int count) {
    std::vector<DEVMODEW> modes;
    for (int i = 0; i < count; ++i) {
        modes.push_back(Mode(800 + 8 * i, 600 + 4 * i, 32, 60));
        modes.push_back(Mode(800 + 8 * i, 600 + 4 * i, 32, 75));
    }
    return modes;
}

class ResolutionListTest : public DisplayTest {
protected:
    Sizes List(int second = 0) {
        Resolution* list = nullptr;
        int count = -1;
        EXPECT_EQ(Modes().EnumResolutionList(second, &list, &count), 1);
        const std::unique_ptr<Resolution[]> owned(list);
        Sizes sizes;
        for (int i = 0; i < count; ++i) sizes.emplace_back(list[i].width, list[i].height);
        return sizes;
    }
    // How many times the enumeration started again from mode 0.
    int Passes() const {
        int passes = 0;
        for (DWORD n : display_.modeNumbersAsked) passes += n == 0;
        return passes;
    }
};

TEST_F(ResolutionListTest, GrowsFrom24To64EntriesWithOneReport) {
    struct Case {
        int offered, listed, passes, reports;
    };
    const Case cases[] = {{23, 23, 1, 0}, {24, 24, 2, 1}, {30, 30, 2, 1}, {70, 64, 2, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.offered << " modes");
        ReportLog::Clear();
        display_.modeNumbersAsked.clear();
        Panel().modes = DistinctModes(c.offered);
        const Sizes list = List();
        ASSERT_EQ(static_cast<int>(list.size()), c.listed);
        EXPECT_EQ(list.front(), std::make_pair(800, 600));
        EXPECT_EQ(list.back(), std::make_pair(800 + 8 * (c.listed - 1), 600 + 4 * (c.listed - 1)));
        EXPECT_EQ(Passes(), c.passes);
        EXPECT_EQ(ReportLog::Count(L"Resolution Lists more than 24"), c.reports);
    }
}

TEST_F(ResolutionListTest, KeepsDistinct32BitSizesOfTheDisplaysShapeInAscendingOrder) {
    Panel().modes = {
        Mode(1366, 768, 32, 60), Mode(1024, 768, 32, 60),  Mode(1024, 768, 32, 75),  // neighbours: one kept
        Mode(1280, 1024, 16, 60), Mode(640, 480, 32, 60),  Mode(1024, 1024, 32, 60),
        Mode(800, 600, 32, 60),   Mode(1024, 768, 32, 85),                            // again later: removed
        Mode(768, 1024, 32, 60),  Mode(1280, 720, 32, 60), Mode(1280, 1024, 32, 60),
        Mode(800, 560, 32, 60),
    };
    EXPECT_EQ(List(), (Sizes{{800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1366, 768}}));
    EXPECT_EQ(ReportLog::Lines(), 0);
}

TEST_F(ResolutionListTest, PortraitDisplayListsOnlyTallerThanWide) {
    External().current = Mode(1080, 1920, 32, 60, 1366, 0);
    External().modes = {Mode(1920, 1080), Mode(1080, 1920), Mode(768, 1024), Mode(600, 800),
                        Mode(600, 799),   Mode(599, 800),   Mode(1024, 1024), Mode(768, 1024, 16)};
    EXPECT_EQ(List(1), (Sizes{{600, 800}, {768, 1024}, {1080, 1920}}));
}

TEST_F(ResolutionListTest, MaxResolutionIsTheLargestEntryOrFallsBack) {
    Panel().modes = {Mode(1920, 1080), Mode(1366, 768), Mode(1920, 1200), Mode(1024, 768)};
    int width = 0, height = 0;
    EXPECT_EQ(Modes().GetMaxResolution(0, &width, &height), 1);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(1920, 1200));

    Panel().modes = {Mode(640, 480), Mode(1024, 768, 16)};
    display_.modeNumbersAsked.clear();
    EXPECT_EQ(Modes().GetMaxResolution(0, &width, &height), 1);
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(1024, 768));
    EXPECT_EQ(Passes(), 2) << "an empty list is built once more";
    EXPECT_TRUE(ReportLog::Has(L"fail: GetMaxResolution()"));
}

}  // namespace

// Model classification: the fragment table's family codes, its order, and
// case folding; the second model list.
#include <gtest/gtest.h>

#include <string>

#include "hardware/kestmodels.h"

namespace {

struct ModelCase {
    const char* text;
    int family;
};

class ModelFamilyTest : public ::testing::TestWithParam<ModelCase> {};

TEST_P(ModelFamilyTest, GivesTheFamilyOfTheFirstFragmentFound) {
    EXPECT_EQ(kest::ModelFamilyOf(GetParam().text), GetParam().family) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    FragmentTable, ModelFamilyTest,
    ::testing::Values(
        // Every family of the table, in table order.
        ModelCase{"W5C01", 4}, ModelCase{"P7XL", 10}, ModelCase{"N10A", 1}, ModelCase{"N10B3", 1},
        ModelCase{"K12", 8}, ModelCase{"K13AB", 9}, ModelCase{"S30", 3}, ModelCase{"R20K1", 2},
        ModelCase{"R21", 2}, ModelCase{"T40", 5}, ModelCase{"T41", 7}, ModelCase{"E50", 6},
        ModelCase{"G60", 15}, ModelCase{"G61", 15}, ModelCase{"F70", 17}, ModelCase{"F71", 17},
        ModelCase{"F72", 17}, ModelCase{"H80", 18}, ModelCase{"H81", 18}, ModelCase{"H82", 18},
        ModelCase{"H83", 18}, ModelCase{"H84", 18}, ModelCase{"H85", 18}, ModelCase{"H86", 16},
        // Anywhere in the text, and in any case.
        ModelCase{"xk12y", 8}, ModelCase{"w5c", 4}, ModelCase{"Vq-t41", 7},
        // Two fragments: the earlier one of the table wins, wherever it stands.
        ModelCase{"T41P7", 10}, ModelCase{"H8W5C", 4}, ModelCase{"H85", 18}, ModelCase{"R20T40", 2},
        // Nothing known.
        ModelCase{"", 0}, ModelCase{"ZZ99", 0}, ModelCase{"N10C", 0}, ModelCase{"H", 0}));

TEST(SecondModelListTest, MatchesItsNamesAnywhereInAnyCase) {
    EXPECT_TRUE(kest::IsSecondListModelText("S31L"));
    EXPECT_TRUE(kest::IsSecondListModelText("vq-t41m-2"));
    EXPECT_FALSE(kest::IsSecondListModelText("T41"));  // the family fragment alone is not enough
    EXPECT_FALSE(kest::IsSecondListModelText(""));
}

}  // namespace

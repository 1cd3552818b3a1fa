// The search for tagged records in the firmware's data block.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hardware/kestdatablock.h"

namespace {

class DataBlockTest : public ::testing::Test {
protected:
    std::vector<unsigned char> block = std::vector<unsigned char>(kest::kDataBlockBytes, 0);

    // Writes as much of the text as fits into the block.
    void Put(size_t offset, const std::string& text) {
        for (size_t i = 0; i < text.size() && offset + i < block.size(); ++i) block[offset + i] = text[i];
    }
    std::string Find(const kest::RecordLayout& layout, bool* found) {
        return kest::FindRecordText(block.data(), block.size(), layout, found);
    }
};

TEST_F(DataBlockTest, ContentStartsElevenBytesAfterTheTagAndEndsAtItsLength) {
    Put(40, "DiaG@");
    Put(51, "R20K1EXTRA");
    Put(400, "$KORVANEPC");
    Put(411, std::string("KORVANE VALMORA") + std::string(40, 'x'));
    bool found = false;
    EXPECT_EQ(Find(kest::kModelRecord, &found), "R20K1");
    EXPECT_TRUE(found);
    const std::string signature = Find(kest::kSignatureRecord, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(signature.size(), 32u);
    EXPECT_EQ(signature.substr(0, 15), "KORVANE VALMORA");
}

TEST_F(DataBlockTest, FirstRecordWinsAndTheTextEndsAtAZeroByte) {
    Put(10, "DiaG@");
    Put(21, "K1");
    Put(100, "DiaG@");
    Put(111, "W5C01");
    bool found = false;
    EXPECT_EQ(Find(kest::kModelRecord, &found), "K1");
    EXPECT_TRUE(found);
}

TEST_F(DataBlockTest, RecordCountsOnlyWhenItsWholeContentLiesInsideTheBlock) {
    const size_t lastModel = kest::kDataBlockBytes - 16;
    Put(lastModel, "DiaG@");
    Put(lastModel + 11, "W5C01");
    bool found = false;
    EXPECT_EQ(Find(kest::kModelRecord, &found), "W5C01");
    EXPECT_TRUE(found);

    std::fill(block.begin(), block.end(), 0);
    Put(lastModel + 1, "DiaG@");  // the tag fits, its identifier does not
    Put(lastModel + 12, "W5C0");
    EXPECT_EQ(Find(kest::kModelRecord, &found), "");
    EXPECT_FALSE(found);

    Put(kest::kDataBlockBytes - 43, "$KORVANEPC");  // 32 bytes of text from the tag's 11th byte
    EXPECT_EQ(Find(kest::kSignatureRecord, &found), "");
    EXPECT_TRUE(found);
    Put(kest::kDataBlockBytes - 43, std::string(10, 0));
    Put(kest::kDataBlockBytes - 42, "$KORVANEPC");
    Find(kest::kSignatureRecord, &found);
    EXPECT_FALSE(found);
}

TEST_F(DataBlockTest, NoRecordInAnEmptyOrShortBlock) {
    bool found = true;
    EXPECT_EQ(kest::FindRecordText(block.data(), 0, kest::kModelRecord, &found), "");
    EXPECT_FALSE(found);
    Put(0, "DiaG@R20");
    EXPECT_EQ(kest::FindRecordText(block.data(), 10, kest::kModelRecord, &found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(kest::FindRecordText(nullptr, 100, kest::kModelRecord, &found), "");
    EXPECT_FALSE(found);
}

}  // namespace

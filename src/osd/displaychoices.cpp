#include "osd/displaychoices.h"

#include <initializer_list>

#include "common/processstate.h"

namespace osd {

namespace {

struct OutputFrames {
    int outputCode;
    ChoiceFrames frames;
    int standAlone;  // -1: the output never stands alone
};

constexpr OutputFrames kOutputFrames[] = {
    {0x01, {29, 15, 44}, 28},  {0x02, {8, 6, 40}, 7},    {0x04, {59, 57, 55}, 58},  {0x08, {11, 9, 42}, 10},
    {0x10, {14, 12, 43}, 13},  {0x03, {18, 16, 45}, -1}, {0x05, {32, 30, 51}, -1},  {0x09, {22, 20, 47}, -1},
    {0x11, {26, 24, 49}, -1},  {0x103, {19, 17, 46}, -1}, {0x105, {33, 31, 52}, -1}, {0x109, {23, 21, 48}, -1},
    {0x111, {27, 25, 50}, -1}, {0x19, {36, 34, 53}, -1},  {0x2B, {61, 60, 56}, -1},  {0x119, {37, 35, 54}, -1},
    {kSavedProfileCode, {39, 38, 41}, -1},
};

const OutputFrames* FindOutput(int outputCode) {
    for (const OutputFrames& entry : kOutputFrames) {
        if (entry.outputCode == outputCode) return &entry;
    }
    return nullptr;
}

struct ListEntry {
    int connectedCode;
    std::initializer_list<int> outputs;
    int starterLength;  // how many the Starter edition keeps
};

// Connected-combination codes 1 to 30 (28 has none).
const ListEntry kLists[] = {
    {1, {0x01}, 1},
    {2, {0x02}, 1},
    {3, {0x01, 0x02, 0x03, 0x103}, 3},
    {4, {0x04}, 1},
    {5, {0x01, 0x04, 0x05, 0x105}, 3},
    {6, {0x02, 0x04}, 2},
    {7, {0x01, 0x02, 0x04, 0x03, 0x05, 0x103, 0x105}, 5},
    {8, {0x08}, 1},
    {9, {0x01, 0x08, 0x09, 0x109}, 3},
    {10, {0x02, 0x08}, 2},
    {11, {0x01, 0x02, 0x08, 0x03, 0x09, 0x103, 0x109}, 5},
    {12, {0x04, 0x08}, 2},
    {13, {0x01, 0x04, 0x08, 0x05, 0x09, 0x105, 0x109}, 5},
    {14, {0x02, 0x04, 0x08}, 3},
    {15, {0x01, 0x02, 0x04, 0x08, 0x03, 0x05, 0x09, 0x103, 0x105, 0x109}, 7},
    {16, {0x10}, 1},
    {17, {0x01, 0x10, 0x11, 0x111}, 3},
    {18, {0x01, 0x02, 0x10, 0x03, 0x11, 0x103, 0x111}, 5},
    {19, {0x01, 0x04, 0x10, 0x05, 0x11, 0x105, 0x111}, 5},
    {20, {0x01, 0x08, 0x10, 0x09, 0x11, 0x109, 0x111}, 5},
    {21, {0x01, 0x02, 0x08, 0x10, 0x03, 0x09, 0x11, 0x103, 0x109, 0x111}, 7},
    {22, {0x01, 0x02, 0x04, 0x10, 0x03, 0x05, 0x11, 0x103, 0x105, 0x111}, 7},
    {23, {0x01, 0x04, 0x08, 0x10, 0x05, 0x09, 0x11, 0x105, 0x109, 0x111}, 7},
    {24, {0x01, 0x02, 0x04, 0x08, 0x10, 0x03, 0x05, 0x09, 0x11, 0x103, 0x105, 0x109, 0x111}, 9},
    {25, {0x01, 0x2B, 0x19, 0x119}, 3},
    {26, {0x01, 0x2B, 0x02, 0x19, 0x03, 0x119, 0x103}, 7},
    {27, {0x01, 0x2B, 0x08, 0x19, 0x09, 0x119, 0x109}, 7},
    {29, {0x01, 0x2B, 0x10, 0x19, 0x11, 0x119, 0x111}, 7},
    {30, {0x01, 0x2B, 0x02, 0x08, 0x19, 0x03, 0x09, 0x119, 0x103, 0x109}, 7},
};

// Model families 1 and 3 offer only the panel and the clone for code 3.
constexpr int kPanelAndCrtCode = 3;
constexpr std::initializer_list<int> kPanelAndCloneOnly = {0x01, 0x03};
const std::initializer_list<int> kPanelOnly = {kPanelOnlyCode};

void Append(ChoiceList* list, int outputCode) {
    const OutputFrames* entry = FindOutput(outputCode);
    if (!entry || list->count >= kMaxChoices) return;
    list->choices[list->count++] = Choice{outputCode, entry->frames};
}

}  // namespace

bool FramesOfOutputCode(int outputCode, ChoiceFrames* frames) {
    const OutputFrames* entry = FindOutput(outputCode);
    if (!entry) return false;
    *frames = entry->frames;
    return true;
}

ChoiceList BuildChoiceList(int connectedCode, int modelFamily, bool starterEdition, bool savedProfile) {
    std::initializer_list<int> outputs = kPanelOnly;
    int length = 1;
    for (const ListEntry& entry : kLists) {
        if (entry.connectedCode != connectedCode) continue;
        outputs = entry.outputs;
        length = starterEdition ? entry.starterLength : static_cast<int>(entry.outputs.size());
    }
    if (connectedCode == kPanelAndCrtCode && proc::HasCompactDisplayChoices(modelFamily)) {
        outputs = kPanelAndCloneOnly;
        length = static_cast<int>(outputs.size());
    }

    ChoiceList list;
    for (int output : outputs) {
        if (list.count == length) break;
        Append(&list, output);
    }
    if (savedProfile) Append(&list, kSavedProfileCode);
    if (list.count == 1) {
        // Alone, an output shows its stand-alone picture, selected or not.
        const OutputFrames* entry = FindOutput(list.choices[0].outputCode);
        if (entry && entry->standAlone >= 0) {
            list.choices[0].frames.unselected = entry->standAlone;
            list.choices[0].frames.selected = entry->standAlone;
        }
    }
    return list;
}

}  // namespace osd

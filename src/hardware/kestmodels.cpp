#include "hardware/kestmodels.h"

namespace kest {

namespace {
struct ModelFragment {
    const char* fragment;
    int family;
};

// Evaluated in this order: a text holding two fragments belongs to the first.
// The firmware's data block gives five-character identifiers, so every
// fragment is at most five characters long.
constexpr ModelFragment kModelFragments[] = {
    {"W5C", 4},
    {"P7", 10},
    {"N10A", 1},  {"N10B", 1},
    {"K12", 8},
    {"K13", 9},
    {"S30", 3},
    {"R20", 2},   {"R21", 2},
    {"T40", 5},
    {"T41", 7},
    {"E50", 6},
    {"G60", 15},  {"G61", 15},
    {"F70", 17},  {"F71", 17},  {"F72", 17},
    {"H80", 18},  {"H81", 18},  {"H82", 18},  {"H83", 18},  {"H84", 18},  {"H85", 18},
    {"H8", 16},   // the rest of the H8 line
};
static_assert(sizeof kModelFragments / sizeof kModelFragments[0] == 24);

constexpr const char* kSecondListModels[] = {
    "S30L", "S31L", "S32L", "E50M", "E51M", "R20M", "R21M", "T40M", "T41M",
};
static_assert(sizeof kSecondListModels / sizeof kSecondListModels[0] == 9);
}  // namespace

std::string UpperCased(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

int ModelFamilyOf(const std::string& modelText) {
    const std::string upper = UpperCased(modelText);
    for (const ModelFragment& entry : kModelFragments) {
        if (upper.find(entry.fragment) != std::string::npos) return entry.family;
    }
    return 0;
}

bool IsSecondListModelText(const std::string& modelText) {
    const std::string upper = UpperCased(modelText);
    for (const char* name : kSecondListModels) {
        if (upper.find(name) != std::string::npos) return true;
    }
    return false;
}

}  // namespace kest

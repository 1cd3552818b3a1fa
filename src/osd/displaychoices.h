// The choices the display-switch OSD offers: which output combinations a set
// of connected outputs allows, in display order, and which frames of the
// display-switch strip picture each of them.
#pragma once

#include <array>

namespace osd {

inline constexpr wchar_t kDisplaySwitchStripFile[] = L"vqiDS.dll";

constexpr int kMaxChoices = 14;
// The choice of the saved display profile, appended when the changer has one.
constexpr int kSavedProfileCode = 0x12;
constexpr int kPanelOnlyCode = 0x01;

// Frames of the display-switch strip that are not choices.
constexpr int kLeftArrowFrame = 0;
constexpr int kRightArrowFrame = 1;
// Backgrounds for 2, 3, 4 and 5-or-more choices: frame 2 + (choices - 2).
constexpr int kFirstBackgroundFrame = 2;

struct ChoiceFrames {
    int unselected;
    int selected;
    int label;
};

// The frames of an output-combination code; false for a code the strip has no picture of.
bool FramesOfOutputCode(int outputCode, ChoiceFrames* frames);

struct Choice {
    int outputCode;
    ChoiceFrames frames;
};

struct ChoiceList {
    int count = 0;
    std::array<Choice, kMaxChoices> choices{};
};

// The list for a connected-combination code. Codes without a list of their
// own (28, and anything outside 1..30) offer the panel alone. The Starter
// edition keeps only the first entries of some lists; a saved profile adds
// its choice at the end. A list of one choice uses the output's stand-alone
// picture.
ChoiceList BuildChoiceList(int connectedCode, int modelFamily, bool starterEdition, bool savedProfile);

}  // namespace osd

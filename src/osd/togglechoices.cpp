#include "osd/togglechoices.h"

namespace osd {

namespace {

bool InRange(int choice, int count) { return choice >= 0 && choice < count; }

constexpr ChoiceFrames kSrsFrames[kSrsChoices] = {{7, 6, 8}, {5, 4, 1}, {3, 2, 0}};
constexpr POINT kSrsSlots[kSrsChoices] = {{10, 10}, {102, 10}, {194, 10}};
constexpr int kSrsValues[kSrsChoices] = {kSrsEffectA, kSrsEffectB, kSrsEffectsOff};

constexpr ChoiceFrames kLandscapeFrames[kResolutionChoices] = {{11, 5, 17}, {12, 6, 18}, {7, 1, 13}};
constexpr ChoiceFrames kPortraitFrames[kResolutionChoices] = {{8, 2, 14}, {10, 4, 16}, {9, 3, 15}};
constexpr POINT kResolutionSlots[kResolutionChoices] = {{12, 10}, {100, 10}, {188, 10}};
constexpr SIZE kResolutionSizes[kResolutionChoices] = {{800, 480}, {800, 600}, {1024, 600}};

constexpr ChoiceFrames kWirelessTwoFrames[kWirelessTwoChoices] = {{11, 10, 6}, {8, 9, 5}};
constexpr ChoiceFrames kWirelessFourFrames[kWirelessFourChoices] = {{11, 10, 6}, {13, 12, 7}, {2, 1, 4}, {8, 9, 5}};
constexpr POINT kWirelessTwoSlots[kWirelessTwoChoices] = {{9, 7}, {114, 7}};
constexpr POINT kWirelessFourSlots[kWirelessFourChoices] = {{5, 7}, {95, 17}, {185, 17}, {275, 7}};
// The radio state of the two-choice layout's choices: both on, both off.
constexpr int kBothOn = 0;
constexpr int kBothOff = 3;

// RF strip frames of each radio, in drawing order d0, d2, d1.
struct RadioFrames {
    int onIcon, onLabel, offIcon, offLabel;
};
constexpr RadioFrames kD0Frames{11, 7, 10, 6};
constexpr RadioFrames kD2Frames{3, 5, 2, 4};
constexpr RadioFrames kD1Frames{13, 9, 12, 8};
constexpr POINT kTwoIconCorners[2] = {{30, 0}, {160, 0}};
constexpr POINT kTwoLabelCorners[2] = {{30, 93}, {161, 93}};
constexpr POINT kThreeIconCorners[3] = {{20, 0}, {150, 5}, {275, 0}};
constexpr POINT kThreeLabelCorners[3] = {{22, 93}, {149, 99}, {275, 93}};
constexpr int kTwoRadioBackground = 0;
constexpr int kThreeRadioBackground = 1;

}  // namespace

int NextChoice(int choice, int count) {
    if (count <= 0) return 0;
    return InRange(choice + 1, count) ? choice + 1 : 0;
}

int SrsValueOf(int choice) { return kSrsValues[InRange(choice, kSrsChoices) ? choice : 0]; }

int SrsChoiceOfState(int state, int current) {
    switch (state) {
        case kSrsEffectA: return 0;
        case kSrsEffectB: return 1;
        case kSrsEffectAOff:
        case kSrsEffectBOff: return 2;
        default: return current;
    }
}

ChoiceFrames SrsFrames(int choice) { return kSrsFrames[InRange(choice, kSrsChoices) ? choice : 0]; }
POINT SrsSlot(int choice) { return kSrsSlots[InRange(choice, kSrsChoices) ? choice : 0]; }

bool ResolutionOpeningOf(int given, ResolutionOpening* opening) {
    if (given < 0 || given >= 2 * kResolutionChoices) return false;
    opening->portrait = given >= kResolutionChoices;
    opening->choice = opening->portrait ? given - kResolutionChoices : given;
    return true;
}

int ResolutionSelectedMode(int choice, bool portrait) { return portrait ? choice + kResolutionChoices : choice; }

ChoiceFrames ResolutionFrames(int choice, bool portrait) {
    const int c = InRange(choice, kResolutionChoices) ? choice : 0;
    return portrait ? kPortraitFrames[c] : kLandscapeFrames[c];
}

POINT ResolutionSlot(int choice) { return kResolutionSlots[InRange(choice, kResolutionChoices) ? choice : 0]; }

SIZE ResolutionSizeOf(int choice, bool portrait) {
    const SIZE size = kResolutionSizes[InRange(choice, kResolutionChoices) ? choice : 0];
    return portrait ? SIZE{size.cy, size.cx} : size;
}

POINT CentredLabelAt(SIZE background, SIZE label, int top) { return {background.cx / 2 - label.cx / 2, top}; }

int WirelessChoiceCount(bool twoChoice) { return twoChoice ? kWirelessTwoChoices : kWirelessFourChoices; }
int WirelessBackgroundFrame(bool twoChoice) { return twoChoice ? 0 : 3; }

int WirelessChoiceOfState(int state, bool twoChoice, int previous) {
    if (twoChoice) {
        if (state == kBothOn) return 0;
        if (state == kBothOff) return 1;
        return previous;
    }
    return InRange(state, kWirelessFourChoices) ? state : previous;
}

int WirelessStateOfChoice(int choice, bool twoChoice) {
    if (twoChoice) return choice == 1 ? kBothOff : kBothOn;
    return InRange(choice, kWirelessFourChoices) ? choice : kBothOn;
}

ChoiceFrames WirelessFrames(int choice, bool twoChoice) {
    if (twoChoice) return kWirelessTwoFrames[InRange(choice, kWirelessTwoChoices) ? choice : 0];
    return kWirelessFourFrames[InRange(choice, kWirelessFourChoices) ? choice : 0];
}

POINT WirelessSlot(int choice, bool twoChoice) {
    if (twoChoice) return kWirelessTwoSlots[InRange(choice, kWirelessTwoChoices) ? choice : 0];
    return kWirelessFourSlots[InRange(choice, kWirelessFourChoices) ? choice : 0];
}

POINT WirelessLabelAnchor(SIZE background, bool twoChoice) {
    return {background.cx / 2, background.cy - (twoChoice ? 29 : 24)};
}

int WirelessLabelTravel(bool twoChoice) { return twoChoice ? -14 : -19; }
const wchar_t* WirelessBlankPicture(bool twoChoice) { return twoChoice ? L"BgBlnk.bg2" : L"BgBlnk.bg4"; }

bool ValidRadioStatus(BYTE d0, BYTE d1, BYTE d2) {
    const auto valid = [](BYTE d) { return d == kRadioOff || d == kRadioOn || d == kRadioAbsent; };
    return valid(d0) && valid(d1) && valid(d2);
}

bool BuildRfPicture(BYTE d0, BYTE d1, BYTE d2, RfPicture* picture) {
    *picture = RfPicture{};
    if (!ValidRadioStatus(d0, d1, d2)) return false;
    const auto present = [](BYTE d) { return d != kRadioAbsent; };
    if (present(d0) && present(d1) && present(d2)) {
        picture->fastFrame = 4 * d0 + 2 * d2 + d1;
        return true;
    }
    const struct {
        BYTE state;
        const RadioFrames& frames;
    } order[3] = {{d0, kD0Frames}, {d2, kD2Frames}, {d1, kD1Frames}};
    for (const auto& radio : order) {
        if (!present(radio.state)) continue;
        const bool on = radio.state != kRadioOff;
        RfRadio& drawn = picture->radios[picture->count++];
        drawn.icon = on ? radio.frames.onIcon : radio.frames.offIcon;
        drawn.label = on ? radio.frames.onLabel : radio.frames.offLabel;
    }
    if (picture->count == 0) return false;
    const bool three = picture->count == 3;
    picture->background = three ? kThreeRadioBackground : kTwoRadioBackground;
    for (int i = 0; i < picture->count; ++i) {
        picture->radios[i].iconAt = three ? kThreeIconCorners[i] : kTwoIconCorners[i];
        picture->radios[i].labelAt = three ? kThreeLabelCorners[i] : kTwoLabelCorners[i];
    }
    return true;
}

}  // namespace osd

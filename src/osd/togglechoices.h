// The toggles' pure rules: which choice a state opens on, how a step moves
// the choice, and which frames of their strips picture each choice, where the
// icons and labels sit, for the SRS, resolution, wireless and RF toggles.
#pragma once

#include <windows.h>

#include <array>

#include "osd/displaychoices.h"

namespace osd {

inline constexpr wchar_t kSrsStripFile[] = L"vqiSRS.dll";
inline constexpr wchar_t kResolutionStripFile[] = L"vqiAS.dll";
inline constexpr wchar_t kWirelessStripFile[] = L"vqiWD.dll";
inline constexpr wchar_t kRfFastStripFile[] = L"vqiRFfast.dll";
inline constexpr wchar_t kRfStripFile[] = L"vqiRF.dll";

// Frames each strip holds.
constexpr int kSrsStripFrames = 10;
constexpr int kResolutionStripFrames = 19;
constexpr int kWirelessStripFrames = 14;
constexpr int kRfFastStripFrames = 8;
constexpr int kRfStripFrames = 14;

// One step forward through `count` choices, back to the first after the last.
int NextChoice(int choice, int count);

// SRS toggle (mode 3): effect A, effect B, effects off.
constexpr int kSrsChoices = 3;
constexpr int kSrsBackgroundFrame = 9;
constexpr int kSrsLabelTop = 112;
// The effect values the choices stand for.
constexpr int kSrsEffectA = 16;
constexpr int kSrsEffectB = 32;
constexpr int kSrsEffectAOff = 17;
constexpr int kSrsEffectBOff = 33;
constexpr int kSrsEffectsOff = 255;
int SrsValueOf(int choice);
// The choice an SRS state opens on: effect A on, effect B on, or off (either
// effect selected and off). Any other state leaves the current choice.
int SrsChoiceOfState(int state, int current);
ChoiceFrames SrsFrames(int choice);
POINT SrsSlot(int choice);

// Resolution toggle (mode 4): three sizes in a landscape and a portrait set.
constexpr int kResolutionChoices = 3;
constexpr int kResolutionBackgroundFrame = 0;
constexpr int kResolutionLabelTop = 109;
struct ResolutionOpening {
    int choice;
    bool portrait;
};
// Choices 0 to 2 open the landscape set, 3 to 5 the portrait set; false outside.
bool ResolutionOpeningOf(int given, ResolutionOpening* opening);
int ResolutionSelectedMode(int choice, bool portrait);
ChoiceFrames ResolutionFrames(int choice, bool portrait);
POINT ResolutionSlot(int choice);
SIZE ResolutionSizeOf(int choice, bool portrait);

// The label of the SRS and resolution toggles is centred on the background.
POINT CentredLabelAt(SIZE background, SIZE label, int top);

// Wireless toggle (mode 5): both radios on and off, or all four combinations.
constexpr int kWirelessTwoChoices = 2;
constexpr int kWirelessFourChoices = 4;
int WirelessChoiceCount(bool twoChoice);
int WirelessBackgroundFrame(bool twoChoice);
// The choice a radio state (0 to 3) opens on; `previous` when the layout has none for it.
int WirelessChoiceOfState(int state, bool twoChoice, int previous);
// The wireless state a choice stands for.
int WirelessStateOfChoice(int choice, bool twoChoice);
ChoiceFrames WirelessFrames(int choice, bool twoChoice);
POINT WirelessSlot(int choice, bool twoChoice);
POINT WirelessLabelAnchor(SIZE background, bool twoChoice);
// How far the label travels in the confirmation, and the picture behind it.
int WirelessLabelTravel(bool twoChoice);
const wchar_t* WirelessBlankPicture(bool twoChoice);

// RF switch (mode 6): up to three radios, each 0 off, 1 on, 2 not present.
constexpr BYTE kRadioOff = 0;
constexpr BYTE kRadioOn = 1;
constexpr BYTE kRadioAbsent = 2;
struct RfRadio {
    int icon;
    int label;
    POINT iconAt;
    POINT labelAt;
};
struct RfPicture {
    // All three present: the one frame of the fast strip, else -1.
    int fastFrame = -1;
    int background = -1;
    int count = 0;
    std::array<RfRadio, 3> radios{};
};
// Every byte is 0, 1 or 2. The firmware checks only the first one.
bool ValidRadioStatus(BYTE d0, BYTE d1, BYTE d2);
// False when no radio is present or a byte is not a radio state. A lone
// radio is drawn on the two-radio background at its first corners.
bool BuildRfPicture(BYTE d0, BYTE d1, BYTE d2, RfPicture* picture);

}  // namespace osd

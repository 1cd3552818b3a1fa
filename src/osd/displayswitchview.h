// The geometry of the display-switch OSD: the arc of up to five icon slots,
// which choices they show as the selection moves, where each icon is drawn
// at a scale, which slot a click hits, and the confirmation animation's
// easing. Pure arithmetic, kept apart from the window that draws it.
#pragma once

#include <windows.h>

#include <array>
#include <vector>

namespace osd {

constexpr int kVisibleSlots = 5;
constexpr UINT kDisplaySwitchConfirmAfterMs = 1800;

struct SlotLayout {
    int backgroundFrame;
    std::array<POINT, kVisibleSlots> slots;
};
// The arc for a number of choices (two or more; six and more use the five-slot arc).
SlotLayout SlotLayoutFor(int choiceCount);
int VisibleSlots(int choiceCount);

// Positions that depend on the background's size.
constexpr POINT kLeftArrowAt{5, 62};
POINT RightArrowAt(SIZE background);
POINT LabelAnchor(SIZE background);

// One step of the selection, wrapping at both ends.
int StepSelection(int selected, int count, bool backward);

// How an icon of a frame is drawn.
enum class IconImage { Unselected, Selected };
struct IconDraw {
    int slot;
    int choice;
    IconImage image;
    bool label;
    double scale;
    bool settled;
    bool highlighted;
};
// One frame of the step animation: the icons in drawing order, the choice
// shown in slot 0 and the arrows.
struct FramePlan {
    int firstVisible = 0;
    std::vector<IconDraw> icons;
    bool leftArrow = false;
    bool rightArrow = false;
};
struct SelectionState {
    int count;
    int selected;
    int previous;      // -1: none
    int firstVisible;  // kept by mouse selection
    bool mouseMode;
};
FramePlan PlanFrame(const SelectionState& state, double previousScale, double newScale, bool lastFrame);

// The five frames of a step: (previous, new) scale pairs.
struct ScalePair {
    double previous;
    double next;
};
constexpr std::array<ScalePair, 5> kStepScales{
    {{0.98, 0.59}, {0.92, 0.75}, {0.83, 0.88}, {0.72, 0.97}, {0.6, 1.0}}};

// Where an icon of `size` goes in the slot at `at`: a growing or shrinking
// icon keeps the middle of its bottom edge; a settled one is full size when
// highlighted, else 60 % of it.
RECT IconRect(POINT at, SIZE size, double scale, bool settled, bool highlighted);

// The slot a click at `point` hits, or -1. `sizes` are the unselected images
// of the choices shown in the visible slots.
int HitSlot(const SlotLayout& layout, const std::vector<SIZE>& sizes, POINT point);

// The confirmation animation: t for steps 0..29 and the delay after a step.
constexpr int kAnimationSteps = 30;
const std::array<double, kAnimationSteps>& EasingTable();
UINT AnimationDelayAfter(double t);

// Whether the click sound stays off because the sound goes out through the
// display's HDMI link (an NVIDIA audio device on Windows 7). `productName`
// is the first mixer device's name, or null when it cannot be read.
bool ClickGoesToHdmiAudio(int windowsVersion, int connectedCode, int graphicsVendor, const wchar_t* productName);

}  // namespace osd

#include "osd/displayswitchview.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <string>

#include "common/processstate.h"
#include "osd/displaychoices.h"

namespace osd {

namespace {
constexpr int kLastSlot = kVisibleSlots - 1;
constexpr int kRightArrowInset = 25;
constexpr int kLabelAboveBottom = 24;
// A click counts from this far below the window's top edge.
constexpr int kHitTop = 21;
constexpr int kNvidia = 2;

int Truncate(double value) { return static_cast<int>(value); }
}  // namespace

SlotLayout SlotLayoutFor(int choiceCount) {
    switch (choiceCount) {
    case 0:
    case 1: return {-1, {{{0, 0}}}};  // the stand-alone picture fills the window
    case 2: return {kFirstBackgroundFrame, {{{0, 10}, {90, 10}}}};
    case 3: return {kFirstBackgroundFrame + 1, {{{-3, 3}, {90, 15}, {170, 0}}}};
    case 4: return {kFirstBackgroundFrame + 2, {{{5, 7}, {95, 17}, {185, 17}, {275, 7}}}};
    default: return {kFirstBackgroundFrame + 3, {{{5, 0}, {95, 10}, {185, 15}, {275, 10}, {365, 0}}}};
    }
}

int VisibleSlots(int choiceCount) { return std::min(choiceCount, kVisibleSlots); }

POINT RightArrowAt(SIZE background) { return {background.cx - kRightArrowInset, kLeftArrowAt.y}; }
POINT LabelAnchor(SIZE background) { return {background.cx / 2, background.cy - kLabelAboveBottom}; }

int StepSelection(int selected, int count, bool backward) {
    if (count <= 0) return 0;
    if (backward) return selected - 1 < 0 ? count - 1 : selected - 1;
    return selected + 1 >= count ? 0 : selected + 1;
}

FramePlan PlanFrame(const SelectionState& state, double previousScale, double newScale, bool lastFrame) {
    FramePlan plan;
    const int visible = VisibleSlots(state.count);
    const bool scrolls = state.count > kVisibleSlots;
    auto drawChoice = [&](int slot, int choice) {
        if (choice == state.selected) {
            plan.icons.push_back({slot, choice, IconImage::Selected, true, newScale, false, true});
        } else if (choice == state.previous) {
            plan.icons.push_back({slot, choice, IconImage::Unselected, false, previousScale, lastFrame, false});
        } else {
            plan.icons.push_back({slot, choice, IconImage::Unselected, false, 1.0, false, false});
        }
    };

    if (state.mouseMode) {
        plan.firstVisible = state.firstVisible;
        for (int slot = 0; slot < visible; ++slot) drawChoice(slot, plan.firstVisible + slot);
        plan.leftArrow = scrolls && plan.firstVisible > 0;
        plan.rightArrow = scrolls && plan.firstVisible < state.count - kVisibleSlots;
    } else if (state.selected <= kLastSlot || !scrolls) {
        plan.firstVisible = 0;
        for (int slot = visible - 1; slot >= 0; --slot) drawChoice(slot, slot);
        plan.rightArrow = scrolls;
    } else {
        // Past the fifth choice the list scrolls: the selection sits in the last slot.
        plan.firstVisible = state.selected - kLastSlot;
        plan.icons.push_back({kLastSlot, state.selected, IconImage::Selected, true, newScale, false, true});
        for (int slot = kLastSlot - 1; slot >= 0; --slot) {
            plan.icons.push_back({slot, plan.firstVisible + slot, IconImage::Unselected, false, 1.0, false, false});
        }
        plan.leftArrow = true;
        plan.rightArrow = state.selected != state.count - 1;
    }
    return plan;
}

RECT IconRect(POINT at, SIZE size, double scale, bool settled, bool highlighted) {
    const double w = size.cx;
    const double h = size.cy;
    if (scale != 1.0 && !settled) {
        const int left = Truncate(at.x + (1 - scale) * w / 2);
        const int top = Truncate(at.y + (1 - scale) * h);
        return {left, top, left + Truncate(w * scale), top + Truncate(h * scale)};
    }
    if (highlighted) return {at.x, at.y, at.x + size.cx, at.y + size.cy};
    const int left = Truncate(at.x + 0.2 * w);
    const int top = Truncate(at.y + 0.4 * h);
    return {left, top, left + Truncate(0.6 * w), top + Truncate(0.6 * h)};
}

int HitSlot(const SlotLayout& layout, const std::vector<SIZE>& sizes, POINT point) {
    const int slots = std::min<int>(static_cast<int>(sizes.size()), kVisibleSlots);
    for (int slot = 0; slot < slots; ++slot) {
        const POINT at = layout.slots[slot];
        if (at.x <= point.x && point.x < at.x + sizes[slot].cx && kHitTop <= point.y && point.y < sizes[slot].cy) {
            return slot;
        }
    }
    return -1;
}

const std::array<double, kAnimationSteps>& EasingTable() {
    static const std::array<double, kAnimationSteps> table = [] {
        std::array<double, kAnimationSteps> t{};
        constexpr double kDegree = 3.14159265358979323846 / 180.0;
        for (int k = 0; k < kAnimationSteps - 1; ++k) t[k] = std::round(std::sin(3 * k * kDegree) * 1000.0) / 1000.0;
        t[kAnimationSteps - 1] = 1.0;
        return t;
    }();
    return table;
}

UINT AnimationDelayAfter(double t) { return static_cast<UINT>(std::max(Truncate(40 * t * t), 1)); }

bool ClickGoesToHdmiAudio(int windowsVersion, int connectedCode, int graphicsVendor, const wchar_t* productName) {
    if (!proc::IsWindows7OrLater(windowsVersion) || connectedCode == 3 || connectedCode == 5 || connectedCode == 7) return false;
    if (graphicsVendor != kNvidia || !productName) return false;
    std::wstring name(productName);
    if (name.find(L"NVIDIA") != std::wstring::npos) return true;
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return name.find(L"NVIDIA") != std::wstring::npos;
}

}  // namespace osd

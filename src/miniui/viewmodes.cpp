#include "miniui/viewmodes.h"

namespace miniui {

namespace {

constexpr int kIconWidth = 44;
constexpr int kStripHeight = 48;
constexpr int kFullWidth = 160;
constexpr int kFullHeight = 155;
// The share of the change reached at each of the six steps.
constexpr double kAnimationFractions[] = {0.26, 0.5, 0.71, 0.87, 0.97, 1.0};

}  // namespace

int NextViewMode(Panel panel, int mode) {
    if (panel == kOptionsPanel) return mode == kFullView ? kIconView : kFullView;
    return mode + 1 > kFullView ? kIconView : mode + 1;
}

int PreviousViewMode(Panel panel, int mode) {
    if (panel == kOptionsPanel) return mode == kFullView ? kIconView : kFullView;
    return mode == kIconView ? kFullView : mode - 1;
}

SIZE ViewModeSize(Panel panel, int mode, const SizeAdditions& a, SIZE optionsFull) {
    if (panel == kOptionsPanel) {
        if (mode == kFullView) return optionsFull;
        return SIZE{kIconWidth, kStripHeight + a.stripHeight};
    }
    switch (mode) {
    case kIconView:
        return SIZE{kIconWidth + a.iconWidth, kStripHeight + a.stripHeight};
    case kStripView:
        return SIZE{kFullWidth + a.fullWidth, kStripHeight + a.stripHeight};
    default:
        return SIZE{kFullWidth + a.fullWidth, kFullHeight + a.fullHeight};
    }
}

std::array<RECT, 6> AnimationSteps(const RECT& start, SIZE target) {
    const LONG startWidth = start.right - start.left;
    const LONG startHeight = start.bottom - start.top;
    const LONG widthChange = target.cx - startWidth;
    const LONG heightChange = target.cy - startHeight;
    std::array<RECT, 6> steps{};
    for (size_t k = 0; k < steps.size(); ++k) {
        const auto width = static_cast<LONG>(startWidth + widthChange * kAnimationFractions[k]);
        const auto height = static_cast<LONG>(startHeight + heightChange * kAnimationFractions[k]);
        const LONG left = start.left - (width - startWidth) / 2;
        const LONG top = start.top + startHeight - height;
        steps[k] = RECT{left, top, left + width, top + height};
    }
    return steps;
}

}  // namespace miniui

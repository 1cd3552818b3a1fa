#include "miniui/panelrow.h"

namespace miniui {

namespace {

constexpr int kRowGap = 12;          // between panels and above the taskbar
constexpr int kFirstPanelGap = 8;    // the output panel's share of the row width
constexpr int kTaskbarSlack = 2;     // a taskbar may stick out this far
constexpr int kViewModeBits = 4;
constexpr int kViewModeMask = 0xF;
constexpr int kIconView = 0;
constexpr int kFullView = 2;

bool TaskbarAlongTheBottom(const RowInput& row) {
    if (!row.hasTaskbar) return false;
    const RECT& t = row.taskbar;
    const LONG w = row.screen.cx, h = row.screen.cy;
    return t.left >= -kTaskbarSlack && t.right <= w + kTaskbarSlack && t.top >= 0 && t.bottom <= h + kTaskbarSlack &&
           t.top >= h / 2;
}

}  // namespace

bool OptionsPanelInRow(const RowInput& row) {
    return row.optionsVisible || !(row.enabled[kOutputPanel] || row.enabled[kResolutionPanel] ||
                                   row.enabled[kPresentationPanel]);
}

std::array<POINT, kPanels> PlacePanelRow(const RowInput& row) {
    // The row's width: the output panel counts 8 pixels beside it, the others 12.
    LONG total = 0;
    for (int p = kOutputPanel; p < kOptionsPanel; ++p) {
        if (row.enabled[p]) total += row.panels[p].cx + (p == kOutputPanel ? kFirstPanelGap : kRowGap);
    }
    if (row.optionsVisible) total += row.panels[kOptionsPanel].cx + kRowGap;

    const bool alongTheBottom = TaskbarAlongTheBottom(row);
    const LONG base = alongTheBottom ? row.taskbar.top : row.screen.cy;
    std::array<POINT, kPanels> at{};
    LONG x = static_cast<LONG>(row.screen.cx / 2.0 - total / 2.0);
    for (int p = kOutputPanel; p < kPanels; ++p) {
        at[p] = POINT{x, base - row.panels[p].cy - kRowGap};
        if (p != kOptionsPanel && row.enabled[p]) x += row.panels[p].cx + kRowGap;
    }
    return at;
}

int PackViewModes(const ViewModes& modes) {
    int packed = 0;
    for (int p = 0; p < kPanels; ++p) packed |= (modes[p] & kViewModeMask) << (p * kViewModeBits);
    return packed;
}

ViewModes UnpackViewModes(int packed, bool* damaged) {
    ViewModes modes{};
    *damaged = (static_cast<unsigned>(packed) >> (kPanels * kViewModeBits)) != 0;
    for (int p = 0; p < kPanels; ++p) {
        const int mode = (packed >> (p * kViewModeBits)) & kViewModeMask;
        const bool known = p == kOptionsPanel ? (mode == kIconView || mode == kFullView) : mode <= kFullView;
        modes[p] = known ? mode : kIconView;
        *damaged = *damaged || !known;
    }
    return modes;
}

namespace {
// The fields of "miniWinDisplay", in their order.
bool PanelOptions::*const kOptionFields[] = {&PanelOptions::autoShow, nullptr, nullptr, nullptr,
                                            &PanelOptions::optionsVisible, &PanelOptions::autoHide,
                                            &PanelOptions::newMonitorsOnly};
bool& OptionField(PanelOptions& options, int field) {
    if (field >= 1 && field <= 3) return options.enabled[static_cast<size_t>(field - 1)];
    return options.*kOptionFields[field];
}
constexpr int kOptionFieldCount = 7;
}  // namespace

PanelOptions UnpackPanelOptions(int packed) {
    PanelOptions options;
    for (int f = 0; f < kOptionFieldCount; ++f) OptionField(options, f) = ((packed >> (f * kViewModeBits)) & 1) != 0;
    return options;
}

int PackPanelOptions(const PanelOptions& options) {
    PanelOptions copy = options;
    int packed = 0;
    for (int f = 0; f < kOptionFieldCount; ++f) packed |= (OptionField(copy, f) ? 1 : 0) << (f * kViewModeBits);
    return packed;
}

}  // namespace miniui

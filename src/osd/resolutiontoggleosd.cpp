#include "osd/resolutiontoggleosd.h"

#include <objbase.h>
#include <gdiplus.h>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "osd/imagestrip.h"
#include "osd/togglechoices.h"
#include "osd/togglerow.h"

namespace osd {

namespace {

constexpr int kVista = 7;

ToggleRow ResolutionRow(bool portrait) {
    ToggleRow row{kResolutionBackgroundFrame, kResolutionLabelTop, {}, {}};
    for (int c = 0; c < kResolutionChoices; ++c) {
        row.frames[c] = ResolutionFrames(c, portrait);
        row.slots[c] = ResolutionSlot(c);
    }
    return row;
}

}  // namespace

CResolutionToggleOsd::CResolutionToggleOsd(IOsdSurface& surface, IClickSound& sound)
    : m_surface(surface), m_sound(sound) {}
CResolutionToggleOsd::~CResolutionToggleOsd() = default;

bool CResolutionToggleOsd::ReloadStrip() {
    // Every opening reads the file again; the strip of the last one goes first.
    m_pStrip.reset();
    m_pStrip = LoadImageStrip(kResolutionStripFile);
    return m_pStrip != nullptr;
}

bool CResolutionToggleOsd::Prepare(int given) {
    if (!m_pStrip && !ReloadStrip()) return false;
    ResolutionOpening opening{};
    if (ResolutionOpeningOf(given, &opening)) {
        m_nChoice = opening.choice;
        m_bPortrait = opening.portrait;
    }
    m_bButtonSeen = false;
    if (!SelectFrame(m_pStrip.get(), kResolutionBackgroundFrame, &m_background)) return false;
    m_surface.SetPictureSize(m_background);
    return true;
}

bool CResolutionToggleOsd::Draw() {
    try {
        SIZE icon{};
        if (!m_pStrip || !SelectFrame(m_pStrip.get(), ResolutionFrames(0, m_bPortrait).unselected, &icon)) return false;
        return DrawToggleRow(m_pStrip.get(), ResolutionRow(m_bPortrait), m_nChoice, m_background, m_surface, &m_labelAt);
    } catch (...) {
        ReportError(L"DrawAutoScalerIcon");
        return false;
    }
}

bool CResolutionToggleOsd::Step() {
    m_sound.PlayClick(proc::windowsVersion >= kVista);
    m_nChoice = NextChoice(m_nChoice, kResolutionChoices);
    return Draw();
}

bool CResolutionToggleOsd::OnMouse(UINT message, POINT at) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) m_bButtonSeen = true;
    if (message == WM_MOUSEMOVE && !m_bButtonSeen) return false;
    const int hit = HitToggleSlot(m_pStrip.get(), ResolutionRow(m_bPortrait), at);
    if (hit < 0) return false;
    m_nChoice = hit;
    Draw();
    return true;
}

int CResolutionToggleOsd::SelectedMode() const { return ResolutionSelectedMode(m_nChoice, m_bPortrait); }

void CResolutionToggleOsd::FreeImages() { m_pStrip.reset(); }

}  // namespace osd

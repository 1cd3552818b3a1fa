#include "osd/resolutiontoggleosd.h"

#include "common/commondefine.h"
#include "common/processstate.h"
#include "osd/togglechoices.h"

namespace osd {

namespace {

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
    : m_sound(sound), m_picture(surface, kResolutionStripFile) {}

bool CResolutionToggleOsd::Prepare(int given) {
    ResolutionOpening opening{};
    if (ResolutionOpeningOf(given, &opening)) {
        m_nChoice = opening.choice;
        m_bPortrait = opening.portrait;
    }
    return m_picture.Prepare(ResolutionRow(m_bPortrait));
}

bool CResolutionToggleOsd::Draw() {
    try {
        return m_picture.Draw(ResolutionRow(m_bPortrait), m_nChoice);
    } catch (...) {
        ReportError(L"DrawAutoScalerIcon");
        return false;
    }
}

bool CResolutionToggleOsd::Step() {
    m_sound.PlayClick(proc::IsVistaOrLater());
    m_nChoice = NextChoice(m_nChoice, kResolutionChoices);
    return Draw();
}

bool CResolutionToggleOsd::OnMouse(UINT message, POINT at) {
    const int hit = m_picture.Hit(ResolutionRow(m_bPortrait), message, at);
    if (hit < 0) return false;
    m_nChoice = hit;
    Draw();
    return true;
}

int CResolutionToggleOsd::SelectedMode() const { return ResolutionSelectedMode(m_nChoice, m_bPortrait); }

}  // namespace osd

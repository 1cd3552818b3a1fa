#include "osd/toggleosd.h"

#include "common/commondefine.h"
#include "common/processstate.h"
#include "osd/togglechoices.h"

namespace osd {

namespace {

ToggleRow SrsRow(bool /*portrait: one set only*/) {
    ToggleRow row{kSrsBackgroundFrame, kSrsLabelTop, {}, {}};
    for (int c = 0; c < kSrsChoices; ++c) {
        row.frames[c] = SrsFrames(c);
        row.slots[c] = SrsSlot(c);
    }
    return row;
}

ToggleRow ResolutionRow(bool portrait) {
    ToggleRow row{kResolutionBackgroundFrame, kResolutionLabelTop, {}, {}};
    for (int c = 0; c < kResolutionChoices; ++c) {
        row.frames[c] = ResolutionFrames(c, portrait);
        row.slots[c] = ResolutionSlot(c);
    }
    return row;
}

}  // namespace

const ToggleKind kSrsToggleKind{kSrsStripFile, SrsRow, L"CHKIconWindowDlg::DrawSRSIcon()", false};
const ToggleKind kResolutionToggleKind{kResolutionStripFile, ResolutionRow, L"DrawAutoScalerIcon", true};

CToggleOsd::CToggleOsd(const ToggleKind& kind, IOsdSurface& surface, IClickSound& sound)
    : m_kind(kind), m_sound(sound), m_picture(surface, kind.stripFile) {}

bool CToggleOsd::Prepare(int choice, bool portrait) {
    m_nChoice = choice;
    m_bPortrait = portrait;
    return m_picture.Prepare(Row());
}

bool CToggleOsd::Draw() {
    return m_picture.Draw(Row(), m_nChoice);
}

bool CToggleOsd::Step() {
    const bool vistaOrLater = proc::IsVistaOrLater();
    if (m_kind.clickBeforeDraw) m_sound.PlayClick(vistaOrLater);
    m_nChoice = NextChoice(m_nChoice, kToggleRowChoices);
    const bool drawn = Draw();
    if (!m_kind.clickBeforeDraw) m_sound.PlayClick(vistaOrLater);
    return drawn;
}

bool CToggleOsd::OnMouse(UINT message, POINT at) {
    const int hit = m_picture.Hit(Row(), message, at);
    if (hit < 0) return false;
    m_nChoice = hit;
    Draw();
    return true;
}

}  // namespace osd

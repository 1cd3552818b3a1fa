#include "osd/srstoggleosd.h"

#include "common/commondefine.h"
#include "common/processstate.h"
#include "osd/togglechoices.h"

namespace osd {

namespace {

ToggleRow SrsRow() {
    ToggleRow row{kSrsBackgroundFrame, kSrsLabelTop, {}, {}};
    for (int c = 0; c < kSrsChoices; ++c) {
        row.frames[c] = SrsFrames(c);
        row.slots[c] = SrsSlot(c);
    }
    return row;
}

}  // namespace

CSrsToggleOsd::CSrsToggleOsd(IOsdSurface& surface, IClickSound& sound)
    : m_sound(sound), m_picture(surface, kSrsStripFile) {}

bool CSrsToggleOsd::Prepare(int state) {
    m_nChoice = SrsChoiceOfState(state, m_nChoice);
    return m_picture.Prepare(SrsRow());
}

bool CSrsToggleOsd::Draw() {
    try {
        return m_picture.Draw(SrsRow(), m_nChoice);
    } catch (...) {
        ReportError(L"CHKIconWindowDlg::DrawSRSIcon()");
        return false;
    }
}

void CSrsToggleOsd::Step() {
    m_nChoice = NextChoice(m_nChoice, kSrsChoices);
    Draw();
    m_sound.PlayClick(proc::IsVistaOrLater());
}

bool CSrsToggleOsd::OnMouse(UINT message, POINT at) {
    const int hit = m_picture.Hit(SrsRow(), message, at);
    if (hit < 0) return false;
    m_nChoice = hit;
    Draw();
    return true;
}

int CSrsToggleOsd::SelectedValue() const { return SrsValueOf(m_nChoice); }

}  // namespace osd

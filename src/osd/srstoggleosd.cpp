#include "osd/srstoggleosd.h"

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

ToggleRow SrsRow() {
    ToggleRow row{kSrsBackgroundFrame, kSrsLabelTop, {}, {}};
    for (int c = 0; c < kSrsChoices; ++c) {
        row.frames[c] = SrsFrames(c);
        row.slots[c] = SrsSlot(c);
    }
    return row;
}

}  // namespace

CSrsToggleOsd::CSrsToggleOsd(IOsdSurface& surface, IClickSound& sound) : m_surface(surface), m_sound(sound) {}
CSrsToggleOsd::~CSrsToggleOsd() = default;

bool CSrsToggleOsd::ReloadStrip() {
    m_pStrip.reset();
    m_pStrip = LoadImageStrip(kSrsStripFile);
    return m_pStrip != nullptr;
}

bool CSrsToggleOsd::Prepare(int state) {
    if (!m_pStrip && !ReloadStrip()) return false;
    m_nChoice = SrsChoiceOfState(state);
    m_bButtonSeen = false;
    if (!SelectFrame(m_pStrip.get(), kSrsBackgroundFrame, &m_background)) return false;
    m_surface.SetPictureSize(m_background);
    return true;
}

bool CSrsToggleOsd::Draw() {
    try {
        return m_pStrip && DrawToggleRow(m_pStrip.get(), SrsRow(), m_nChoice, m_background, m_surface, &m_labelAt);
    } catch (...) {
        ReportError(L"CHKIconWindowDlg::DrawSRSIcon()");
        return false;
    }
}

void CSrsToggleOsd::Step() {
    m_nChoice = NextChoice(m_nChoice, kSrsChoices);
    Draw();
    m_sound.PlayClick(proc::windowsVersion >= kVista);
}

bool CSrsToggleOsd::OnMouse(UINT message, POINT at) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) m_bButtonSeen = true;
    if (message == WM_MOUSEMOVE && !m_bButtonSeen) return false;
    const int hit = HitToggleSlot(m_pStrip.get(), SrsRow(), at);
    if (hit < 0) return false;
    m_nChoice = hit;
    Draw();
    return true;
}

int CSrsToggleOsd::SelectedValue() const { return SrsValueOf(m_nChoice); }

void CSrsToggleOsd::FreeImages() { m_pStrip.reset(); }

}  // namespace osd

#include "osd/srstoggleosd.h"

#include <objbase.h>
#include <gdiplus.h>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "osd/imagestrip.h"
#include "osd/selectionpictures.h"
#include "osd/togglechoices.h"

namespace osd {

namespace {

constexpr int kVista = 7;
// Clicks above this line of a slot miss it.
constexpr int kSlotHitTop = 21;

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
        if (!m_pStrip) return false;
        m_surface.FitToPicture();
        CPictureCanvas canvas(m_background.cx, m_background.cy);
        if (!canvas.DrawFrame(m_pStrip.get(), kSrsBackgroundFrame, 0, 0)) return false;
        for (int c = 0; c < kSrsChoices; ++c) {
            const ChoiceFrames frames = SrsFrames(c);
            const POINT slot = SrsSlot(c);
            canvas.DrawFrame(m_pStrip.get(), c == m_nChoice ? frames.selected : frames.unselected, slot.x, slot.y);
        }
        SIZE label{};
        const int labelFrame = SrsFrames(m_nChoice).label;
        if (SelectFrame(m_pStrip.get(), labelFrame, &label)) {
            m_labelAt = CentredLabelAt(m_background, label, kSrsLabelTop);
            canvas.DrawFrame(m_pStrip.get(), labelFrame, m_labelAt.x, m_labelAt.y);
        }
        ShowPictureOn(canvas, m_surface);
        return true;
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
    SIZE icon{};
    if (!m_pStrip || !SelectFrame(m_pStrip.get(), SrsFrames(0).unselected, &icon)) return false;
    for (int c = 0; c < kSrsChoices; ++c) {
        const POINT slot = SrsSlot(c);
        if (at.x >= slot.x && at.x < slot.x + icon.cx && at.y >= kSlotHitTop && at.y < icon.cy) {
            m_nChoice = c;
            Draw();
            return true;
        }
    }
    return false;
}

int CSrsToggleOsd::SelectedValue() const { return SrsValueOf(m_nChoice); }

void CSrsToggleOsd::FreeImages() { m_pStrip.reset(); }

}  // namespace osd

#include "osd/togglerow.h"

#include <objbase.h>
#include <gdiplus.h>

#include "osd/imagestrip.h"
#include "osd/togglechoices.h"

namespace osd {

namespace {
// Clicks above this line of a slot miss it.
constexpr int kSlotHitTop = 21;
}  // namespace

CToggleRowPicture::CToggleRowPicture(IOsdSurface& surface, const wchar_t* stripFile)
    : m_surface(surface), m_pStripFile(stripFile) {}
CToggleRowPicture::~CToggleRowPicture() = default;

bool CToggleRowPicture::ReloadStrip() {
    m_pStrip.reset();
    m_pStrip = LoadImageStrip(m_pStripFile);
    return m_pStrip != nullptr;
}

bool CToggleRowPicture::Prepare(const ToggleRow& row) {
    if (!m_pStrip && !ReloadStrip()) return false;
    m_bButtonSeen = false;
    if (!SelectFrame(m_pStrip.get(), row.background, &m_background)) return false;
    m_surface.SetPictureSize(m_background);
    return true;
}

bool CToggleRowPicture::Draw(const ToggleRow& row, int choice) {
    SIZE icon{};
    if (!m_pStrip || !SelectFrame(m_pStrip.get(), row.frames[0].unselected, &icon)) return false;
    m_surface.FitToPicture();
    CPictureCanvas canvas(m_background.cx, m_background.cy);
    if (!canvas.DrawFrame(m_pStrip.get(), row.background, 0, 0)) return false;
    for (int c = 0; c < kToggleRowChoices; ++c) {
        const ChoiceFrames& frames = row.frames[c];
        canvas.DrawFrame(m_pStrip.get(), c == choice ? frames.selected : frames.unselected, row.slots[c].x,
                         row.slots[c].y);
    }
    SIZE label{};
    const int labelFrame = row.frames[choice >= 0 && choice < kToggleRowChoices ? choice : 0].label;
    if (SelectFrame(m_pStrip.get(), labelFrame, &label)) {
        m_labelAt = CentredLabelAt(m_background, label, row.labelTop);
        canvas.DrawFrame(m_pStrip.get(), labelFrame, m_labelAt.x, m_labelAt.y);
    }
    canvas.ShowOn(m_surface);
    return true;
}

int CToggleRowPicture::Hit(const ToggleRow& row, UINT message, POINT at) {
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) m_bButtonSeen = true;
    if (message == WM_MOUSEMOVE && !m_bButtonSeen) return -1;
    SIZE icon{};
    if (!m_pStrip || !SelectFrame(m_pStrip.get(), row.frames[0].unselected, &icon)) return -1;
    for (int c = 0; c < kToggleRowChoices; ++c) {
        const POINT slot = row.slots[c];
        if (at.x >= slot.x && at.x < slot.x + icon.cx && at.y >= kSlotHitTop && at.y < icon.cy) return c;
    }
    return -1;
}

void CToggleRowPicture::FreeImages() { m_pStrip.reset(); }

}  // namespace osd

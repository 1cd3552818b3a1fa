#include "osd/rfswitchosd.h"

#include <objbase.h>
#include <gdiplus.h>

#include "common/commondefine.h"
#include "osd/imagestrip.h"
#include "osd/selectionpictures.h"

namespace osd {

CRfSwitchOsd::CRfSwitchOsd(IOsdSurface& surface) : m_surface(surface) {}
CRfSwitchOsd::~CRfSwitchOsd() = default;

bool CRfSwitchOsd::Prepare(const BYTE status[3]) {
    m_pStrip.reset();
    if (!BuildRfPicture(status[0], status[1], status[2], &m_picture)) return false;
    const bool fast = m_picture.fastFrame >= 0;
    m_pStrip = LoadImageStrip(fast ? kRfFastStripFile : kRfStripFile);
    if (!m_pStrip) return false;
    if (!SelectFrame(m_pStrip.get(), fast ? m_picture.fastFrame : m_picture.background, &m_pictureSize)) return false;
    m_iconSize = m_labelSize = SIZE{};
    if (!fast) {
        // Every icon and every label takes the size of the first radio's.
        SelectFrame(m_pStrip.get(), m_picture.radios[0].icon, &m_iconSize);
        SelectFrame(m_pStrip.get(), m_picture.radios[0].label, &m_labelSize);
    }
    m_surface.SetPictureSize(m_pictureSize);
    return true;
}

bool CRfSwitchOsd::Draw() {
    if (!m_pStrip) return false;
    m_surface.FitToPicture();
    CPictureCanvas canvas(m_pictureSize.cx, m_pictureSize.cy);
    if (m_picture.fastFrame >= 0) {
        if (!canvas.DrawFrame(m_pStrip.get(), m_picture.fastFrame, 0, 0)) return false;
    } else {
        if (!canvas.DrawFrame(m_pStrip.get(), m_picture.background, 0, 0)) return false;
        for (int i = 0; i < m_picture.count; ++i) {
            const RfRadio& radio = m_picture.radios[i];
            canvas.DrawFrameInto(m_pStrip.get(), radio.icon,
                                 {radio.iconAt.x, radio.iconAt.y, radio.iconAt.x + m_iconSize.cx,
                                  radio.iconAt.y + m_iconSize.cy});
            canvas.DrawFrameInto(m_pStrip.get(), radio.label,
                                 {radio.labelAt.x, radio.labelAt.y, radio.labelAt.x + m_labelSize.cx,
                                  radio.labelAt.y + m_labelSize.cy});
        }
    }
    canvas.ShowOn(m_surface);
    return true;
}

void CRfSwitchOsd::FreeImages() { m_pStrip.reset(); }

}  // namespace osd

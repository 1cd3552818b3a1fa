// The RF switch: mode 6 of the OSD window. It only shows the state of up to
// three radios: with all three present one picture of the fast strip, else
// the present radios' icons and labels side by side on a background.
#pragma once

#include <windows.h>

#include <memory>

#include "osd/displayswitchosd.h"
#include "osd/togglechoices.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

namespace osd {

constexpr UINT kRfSwitchHideAfterMs = 1500;

class CRfSwitchOsd {
public:
    explicit CRfSwitchOsd(IOsdSurface& surface);
    ~CRfSwitchOsd();
    CRfSwitchOsd(const CRfSwitchOsd&) = delete;
    CRfSwitchOsd& operator=(const CRfSwitchOsd&) = delete;

    // Loads the strip the status needs (the previous one is dropped first) and
    // gives the picture's size to the surface. False when a byte is not a
    // radio state, no radio is present or the strip cannot be read.
    bool Prepare(const BYTE status[3]);
    bool Draw();

    const RfPicture& Picture() const { return m_picture; }
    // Where the icons and labels were last drawn, at which common sizes.
    SIZE IconSize() const { return m_iconSize; }
    SIZE LabelSize() const { return m_labelSize; }
    void FreeImages();

private:
    IOsdSurface& m_surface;
    std::unique_ptr<Gdiplus::Bitmap> m_pStrip;
    RfPicture m_picture;
    SIZE m_pictureSize{};
    SIZE m_iconSize{};
    SIZE m_labelSize{};
};

}  // namespace osd

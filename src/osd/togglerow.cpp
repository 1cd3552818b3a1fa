#include "osd/togglerow.h"

#include <objbase.h>
#include <gdiplus.h>

#include "common/gdiobjects.h"
#include "osd/imagestrip.h"
#include "osd/togglechoices.h"

namespace osd {

namespace {
// Clicks above this line of a slot miss it.
constexpr int kSlotHitTop = 21;
}  // namespace

bool DrawToggleRow(Gdiplus::Bitmap* strip, const ToggleRow& row, int choice, SIZE background, IOsdSurface& surface,
                   POINT* labelAt) {
    surface.FitToPicture();
    CPictureCanvas canvas(background.cx, background.cy);
    if (!canvas.DrawFrame(strip, row.background, 0, 0)) return false;
    for (int c = 0; c < kToggleRowChoices; ++c) {
        const ChoiceFrames& frames = row.frames[c];
        canvas.DrawFrame(strip, c == choice ? frames.selected : frames.unselected, row.slots[c].x, row.slots[c].y);
    }
    SIZE label{};
    const int labelFrame = row.frames[choice >= 0 && choice < kToggleRowChoices ? choice : 0].label;
    if (SelectFrame(strip, labelFrame, &label)) {
        *labelAt = CentredLabelAt(background, label, row.labelTop);
        canvas.DrawFrame(strip, labelFrame, labelAt->x, labelAt->y);
    }
    gdi::CBitmap picture = canvas.ToDeviceBitmap();
    gdi::CDeviceContext dc(CreateCompatibleDC(surface.ScreenDC()));
    gdi::CSelection selection(dc.Get(), picture.Get());
    surface.ShowContent(dc.Get());
    return true;
}

int HitToggleSlot(Gdiplus::Bitmap* strip, const ToggleRow& row, POINT at) {
    SIZE icon{};
    if (!strip || !SelectFrame(strip, row.frames[0].unselected, &icon)) return -1;
    for (int c = 0; c < kToggleRowChoices; ++c) {
        const POINT slot = row.slots[c];
        if (at.x >= slot.x && at.x < slot.x + icon.cx && at.y >= kSlotHitTop && at.y < icon.cy) return c;
    }
    return -1;
}

}  // namespace osd

// Drawing shared by the selection OSDs that show their choices on an arc
// (the display switcher and the wireless toggle): copies of strip frames,
// a smooth-scaling canvas, the one-shot timer of the confirmation animation
// and the drawing of one of its steps.
#pragma once

#include <windows.h>

#include <memory>

namespace Gdiplus {
class Bitmap;
class Graphics;
}  // namespace Gdiplus

namespace osd {

class IOsdSurface;

// A copy of one frame of a strip, at its own size with its alpha; null when
// the strip has no such frame.
std::unique_ptr<Gdiplus::Bitmap> CopyFrame(Gdiplus::Bitmap* strip, int frame);
SIZE SizeOf(Gdiplus::Bitmap* image);
// An image at its own size with its top-left corner at (x, y).
void DrawAt(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* image, int x, int y);
// An image stretched into a rectangle; nothing for an empty one.
void DrawInto(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* image, const RECT& rect);

// A picture-sized bitmap with premultiplied alpha, drawn with smooth scaling.
class CSelectionCanvas {
public:
    explicit CSelectionCanvas(SIZE size);
    ~CSelectionCanvas();
    CSelectionCanvas(const CSelectionCanvas&) = delete;
    CSelectionCanvas& operator=(const CSelectionCanvas&) = delete;

    Gdiplus::Graphics& Graphics() { return *m_pGraphics; }
    // Makes the picture the surface's content, over a transparent background.
    void ShowOn(IOsdSurface& surface);

private:
    std::unique_ptr<Gdiplus::Bitmap> m_pBitmap;
    std::unique_ptr<Gdiplus::Graphics> m_pGraphics;
};

// Posted to the window by the animation's timer callback; wParam = the timer's id.
constexpr UINT WM_OSD_ANIMATION_STEP = WM_APP + 0x62;

// The steps of a confirmation animation, each asked for by a one-shot
// multimedia timer whose callback only posts WM_OSD_ANIMATION_STEP to the
// window, so that every step runs on the window's thread.
class CConfirmationSteps {
public:
    CConfirmationSteps() = default;
    ~CConfirmationSteps() { Cancel(); }
    CConfirmationSteps(const CConfirmationSteps&) = delete;
    CConfirmationSteps& operator=(const CConfirmationSteps&) = delete;

    // Asks for the first step; false when no timer could be had (reported):
    // the animation is over then.
    bool Start(HWND window);
    enum class Next { Ignore, Draw, Finished };
    // A step message. Ignore: a cancelled timer, another animation's, or the
    // window no longer shows (which ends the animation); Finished after the
    // last step; Draw: draw the step at `*t`, then Continue.
    Next OnStep(UINT_PTR timerId, bool windowShown, double* t);
    // Asks for the step after one drawn at `t`; false as for Start.
    bool Continue(HWND window, double t);
    void Cancel();

    bool Running() const { return m_bRunning; }
    int Step() const { return m_nStep; }

private:
    bool Schedule(HWND window, UINT delayMs);

    bool m_bRunning = false;
    int m_nStep = 0;
    UINT m_nTimer = 0;
};

// One step of the confirmation: the background narrows from the confirmation
// picture's width towards 264 pixels while the chosen icon slides from its
// slot to the top middle and its label moves up.
struct ConfirmationStep {
    Gdiplus::Bitmap* blank;       // the "BgBlnk" picture; null: an empty canvas
    Gdiplus::Bitmap* background;  // the selection's background
    Gdiplus::Bitmap* selected;    // the chosen icon
    Gdiplus::Bitmap* label;       // its label
    SIZE pictureSize;
    SIZE iconSize;     // the size the sliding icon is drawn at
    POINT from;        // its slot
    POINT labelAnchor;
    int labelTravel;
};
void DrawConfirmationStep(const ConfirmationStep& step, double t, IOsdSurface& surface);

}  // namespace osd

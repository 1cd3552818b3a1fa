// Pixels of the screen and of the OSD's image strips, for tests that check
// what a person would see. Wine draws a layered window's pixels whose alpha
// is not 0 opaque, in their premultiplied colour, and leaves alpha-0 pixels
// as holes: that is what these comparisons expect.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

// One premultiplied pixel, as GDI keeps it: 0xAARRGGBB.
using Pixels = std::vector<DWORD>;

struct Picture {
    int width = 0;
    int height = 0;
    Pixels pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// One frame of a loaded strip in premultiplied form, read straight from its page.
Picture FramePicture(Gdiplus::Bitmap* strip, int frame);
// One frame of a strip file of the program folder ("vqiHKLevel.dll"); starts GDI+ for the call.
Picture StripFramePicture(const wchar_t* stripFile, int frame);
// A picture file (a screenshot) as premultiplied pixels; empty when unreadable.
Picture LoadPicture(const std::wstring& path);
// The picture of an icon code drawn from one frame of the icon strip (the
// lock keys, the optical drive, the unknown battery); empty for other codes.
Picture IconCodePicture(int code);
// The leftmost `width` columns of a picture.
Picture LeftColumns(const Picture& picture, int width);
// `top` drawn over `bottom` at (x, y), source-over, clipped to [0, clipRight).
void DrawOver(Picture& bottom, const Picture& top, int x, int y, int clipRight = 1 << 30);
// What the screen shows in a rectangle (BitBlt from the screen device context).
Picture CaptureScreen(const RECT& area);
// Screen against the expected picture: counts the pixels whose alpha is not 0
// and whose colour differs by more than 2 in a channel; -1 for another size.
int CountMismatches(const Picture& screen, const Picture& expected);

// The hotkey picture as the layered window receives it: a 32-bit top-down
// device bitmap of premultiplied pixels, put together from decoded frames.
// It is kept from one picture to the next of the same size, so a redraw
// writes pixels only and makes no GDI object.
#pragma once

#include <windows.h>

#include <climits>
#include <cstdint>

#include "common/gdiobjects.h"
#include "osd/framestrip.h"

namespace osd {

class CLayerCanvas {
public:
    // Makes the canvas width x height (at least 1 x 1) and fully
    // transparent; false when no bitmap could be made.
    bool Begin(int width, int height);
    // Draws a frame over what is there, source-over, with its top-left corner
    // at (x, y); only the columns left of `clipRight` change.
    void Draw(const FramePixels& frame, int x, int y, int clipRight = INT_MAX);
    // Gives the bitmap back (the window's end).
    void Release();

    HBITMAP Bitmap() const { return m_bitmap.Get(); }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    std::uint32_t At(int x, int y) const { return m_pBits[static_cast<size_t>(y) * m_nWidth + x]; }

private:
    gdi::CBitmap m_bitmap;
    std::uint32_t* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
};

}  // namespace osd

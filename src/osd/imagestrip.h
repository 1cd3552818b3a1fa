// The OSD's image strips: multi-page image files whose pages are the frames
// of the pictures, each with its own size and per-pixel alpha.
#pragma once

#include <windows.h>

#include <memory>

#include "common/gdiobjects.h"

namespace Gdiplus {
class Bitmap;
class Graphics;
}  // namespace Gdiplus

namespace osd {

class IOsdSurface;

inline constexpr wchar_t kIconStripFile[] = L"vqiHK.dll";
inline constexpr wchar_t kLevelStripFile[] = L"vqiHKLevel.dll";

// Loads a strip from the current folder, without embedded colour management.
// Null, with a report, when the file is missing or is not an image.
std::unique_ptr<Gdiplus::Bitmap> LoadImageStrip(const wchar_t* fileName);

// Makes `frame` the strip's active page and gives its size. False, with a
// report, when the strip is null or has no such page.
bool SelectFrame(Gdiplus::Bitmap* strip, int frame, SIZE* size);

// A picture put together from frames at their own pixel size, kept with
// premultiplied alpha so that every pixel's alpha reaches the screen.
class CPictureCanvas {
public:
    CPictureCanvas(int width, int height);
    ~CPictureCanvas();
    CPictureCanvas(const CPictureCanvas&) = delete;
    CPictureCanvas& operator=(const CPictureCanvas&) = delete;

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    // Draws a frame over what is there with its top-left corner at (x, y);
    // with a clip, only the part inside it. False when the frame is missing.
    bool DrawFrame(Gdiplus::Bitmap* strip, int frame, int x, int y, const RECT* clip = nullptr);
    // Draws a frame stretched into a rectangle. False when the frame is missing.
    bool DrawFrameInto(Gdiplus::Bitmap* strip, int frame, const RECT& into);

    // The picture as a 32-bit device bitmap over a fully transparent background.
    gdi::CBitmap ToDeviceBitmap() const;
    // Makes the picture the surface's content.
    void ShowOn(IOsdSurface& surface) const;

private:
    int m_nWidth;
    int m_nHeight;
    std::unique_ptr<Gdiplus::Bitmap> m_pBitmap;
    std::unique_ptr<Gdiplus::Graphics> m_pGraphics;
};

}  // namespace osd

#include "osd/imagestrip.h"

#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>

#include "common/commondefine.h"
#include "osd/displayswitchosd.h"

namespace osd {

namespace {
// The page dimension of multi-page images.
const GUID kPageDimension = {0x7462DC86, 0x6180, 0x4C7E, {0x8E, 0x3F, 0xEE, 0x73, 0x33, 0xA7, 0xA4, 0x83}};
}  // namespace

std::unique_ptr<Gdiplus::Bitmap> LoadImageStrip(const wchar_t* fileName) {
    std::unique_ptr<Gdiplus::Bitmap> strip(Gdiplus::Bitmap::FromFile(fileName, FALSE));
    const Gdiplus::Status status = strip ? strip->GetLastStatus() : Gdiplus::OutOfMemory;
    if (status != Gdiplus::Ok) {
        ReportError(FormatText(L"fail: LoadImageStrip(%s) status=%d", fileName, static_cast<int>(status)));
        return nullptr;
    }
    return strip;
}

bool SelectFrame(Gdiplus::Bitmap* strip, int frame, SIZE* size) {
    if (!strip) return false;
    GUID dimension = kPageDimension;  // the call takes a non-constant GUID
    const UINT frames = strip->GetFrameCount(&dimension);
    const Gdiplus::Status status = frame >= 0 && static_cast<UINT>(frame) < frames
                                       ? strip->SelectActiveFrame(&dimension, static_cast<UINT>(frame))
                                       : Gdiplus::InvalidParameter;
    if (status != Gdiplus::Ok) {
        ReportError(FormatText(L"fail: SelectFrame(%d) of %u frames status=%d", frame, frames,
                               static_cast<int>(status)));
        return false;
    }
    size->cx = static_cast<LONG>(strip->GetWidth());
    size->cy = static_cast<LONG>(strip->GetHeight());
    return true;
}

CPictureCanvas::CPictureCanvas(int width, int height)
    : m_nWidth(std::max(width, 1)),
      m_nHeight(std::max(height, 1)),
      m_pBitmap(std::make_unique<Gdiplus::Bitmap>(m_nWidth, m_nHeight, PixelFormat32bppPARGB)),
      m_pGraphics(std::make_unique<Gdiplus::Graphics>(m_pBitmap.get())) {
    // Frames are drawn 1:1: no resampling may soften or shift them.
    m_pGraphics->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    m_pGraphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
}

CPictureCanvas::~CPictureCanvas() = default;

bool CPictureCanvas::DrawFrame(Gdiplus::Bitmap* strip, int frame, int x, int y, const RECT* clip) {
    SIZE size{};
    if (!SelectFrame(strip, frame, &size)) return false;
    if (clip) {
        m_pGraphics->SetClip(Gdiplus::Rect(clip->left, clip->top, clip->right - clip->left, clip->bottom - clip->top),
                             Gdiplus::CombineModeReplace);
    } else {
        m_pGraphics->ResetClip();
    }
    // At the frame's own pixel size, whatever resolution the file states.
    const Gdiplus::Status status = m_pGraphics->DrawImage(strip, Gdiplus::Rect(x, y, size.cx, size.cy), 0, 0, size.cx,
                                                          size.cy, Gdiplus::UnitPixel);
    m_pGraphics->ResetClip();
    return status == Gdiplus::Ok;
}

bool CPictureCanvas::DrawFrameInto(Gdiplus::Bitmap* strip, int frame, const RECT& into) {
    SIZE size{};
    if (!SelectFrame(strip, frame, &size)) return false;
    m_pGraphics->ResetClip();
    return m_pGraphics->DrawImage(strip, Gdiplus::Rect(into.left, into.top, into.right - into.left, into.bottom - into.top),
                                  0, 0, size.cx, size.cy, Gdiplus::UnitPixel) == Gdiplus::Ok;
}

gdi::CBitmap CPictureCanvas::ToDeviceBitmap() const {
    m_pGraphics->Flush(Gdiplus::FlushIntentionSync);
    HBITMAP bitmap = nullptr;
    if (m_pBitmap->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &bitmap) != Gdiplus::Ok) return gdi::CBitmap();
    return gdi::CBitmap(bitmap);
}

void CPictureCanvas::ShowOn(IOsdSurface& surface) const {
    gdi::CBitmap picture = ToDeviceBitmap();
    gdi::CDeviceContext dc(CreateCompatibleDC(surface.ScreenDC()));
    gdi::CSelection selection(dc.Get(), picture.Get());
    surface.ShowContent(dc.Get());
}

}  // namespace osd

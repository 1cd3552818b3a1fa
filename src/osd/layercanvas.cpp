#include "osd/layercanvas.h"

#include <algorithm>
#include <cstring>

namespace osd {

bool CLayerCanvas::Begin(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (!m_bitmap || width != m_nWidth || height != m_nHeight) {
        Release();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!m_bitmap || !bits) {
            m_bitmap.Reset();
            return false;
        }
        m_pBits = static_cast<std::uint32_t*>(bits);
        m_nWidth = width;
        m_nHeight = height;
    }
    GdiFlush();  // nothing of GDI's may still be on its way to these pixels
    std::memset(m_pBits, 0, static_cast<size_t>(m_nWidth) * m_nHeight * sizeof(std::uint32_t));
    return true;
}

void CLayerCanvas::Draw(const FramePixels& frame, int x, int y, int clipRight) {
    if (!m_pBits) return;
    const int left = std::max(x, 0);
    const int right = std::min({x + frame.width, m_nWidth, clipRight});
    const int top = std::max(y, 0);
    const int bottom = std::min(y + frame.height, m_nHeight);
    for (int row = top; row < bottom; ++row) {
        const std::uint32_t* source = frame.pixels.data() + static_cast<size_t>(row - y) * frame.width + (left - x);
        std::uint32_t* target = m_pBits + static_cast<size_t>(row) * m_nWidth + left;
        for (int i = 0; i < right - left; ++i) {
            const std::uint32_t s = source[i];
            const std::uint32_t alpha = s >> 24;
            if (alpha == 255 || target[i] == 0) {
                target[i] = s;
                continue;
            }
            if (s == 0) continue;
            const std::uint32_t keep = 255 - alpha;
            const std::uint32_t d = target[i];
            std::uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const std::uint32_t value = ((s >> shift) & 0xFF) + (((d >> shift) & 0xFF) * keep + 127) / 255;
                out |= std::min(value, 255u) << shift;
            }
            target[i] = out;
        }
    }
}

void CLayerCanvas::Release() {
    m_bitmap.Reset();
    m_pBits = nullptr;
    m_nWidth = 0;
    m_nHeight = 0;
}

}  // namespace osd

#include "screenpixels.h"

#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "osd/hotkeypicture.h"
#include "osd/imagestrip.h"

namespace {
// The active page of an image as premultiplied pixels.
Picture PixelsOf(Gdiplus::Bitmap* image) {
    Picture picture;
    picture.width = static_cast<int>(image->GetWidth());
    picture.height = static_cast<int>(image->GetHeight());
    Gdiplus::Rect all(0, 0, picture.width, picture.height);
    Gdiplus::BitmapData data{};
    if (image->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return {};
    for (int y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        picture.pixels.insert(picture.pixels.end(), row, row + picture.width);
    }
    image->UnlockBits(&data);
    return picture;
}
}  // namespace

Picture FramePicture(Gdiplus::Bitmap* strip, int frame) {
    SIZE size{};
    if (!osd::SelectFrame(strip, frame, &size)) return {};
    return PixelsOf(strip);
}

Picture LoadPicture(const std::wstring& path) {
    std::unique_ptr<Gdiplus::Bitmap> file(Gdiplus::Bitmap::FromFile(path.c_str(), FALSE));
    if (!file || file->GetLastStatus() != Gdiplus::Ok) return {};
    return PixelsOf(file.get());
}

Picture StripFramePicture(const wchar_t* stripFile, int frame) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return {};
    Picture picture;
    {
        std::unique_ptr<Gdiplus::Bitmap> strip = osd::LoadImageStrip(stripFile);
        if (strip) picture = FramePicture(strip.get(), frame);
    }
    Gdiplus::GdiplusShutdown(token);
    return picture;
}

Picture IconCodePicture(int code) {
    osd::IconFrames frames{};
    if (!osd::FramesOfIconCode(code, &frames) || frames.strip != osd::Strip::Icon || frames.overlay != -1) return {};
    return StripFramePicture(osd::kIconStripFile, frames.frame);
}

Picture LeftColumns(const Picture& picture, int width) {
    Picture left;
    left.width = std::min(width, picture.width);
    left.height = picture.height;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < left.width; ++x) left.pixels.push_back(picture.At(x, y));
    }
    return left;
}

void DrawOver(Picture& bottom, const Picture& top, int x, int y, int clipRight) {
    for (int ty = 0; ty < top.height; ++ty) {
        for (int tx = 0; tx < top.width; ++tx) {
            const int bx = x + tx, by = y + ty;
            if (bx < 0 || by < 0 || bx >= bottom.width || by >= bottom.height || bx >= clipRight) continue;
            const DWORD s = top.At(tx, ty);
            DWORD& d = bottom.pixels[static_cast<size_t>(by) * bottom.width + bx];
            const unsigned keep = 255 - (s >> 24);
            DWORD out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const unsigned value = ((s >> shift) & 0xFF) + (((d >> shift) & 0xFF) * keep + 127) / 255;
                out |= std::min(value, 255u) << shift;
            }
            d = out;
        }
    }
}

Picture CaptureScreen(const RECT& area) {
    Picture picture;
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    picture.pixels.assign(first, first + static_cast<size_t>(picture.width) * picture.height);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return picture;
}

int CountMismatches(const Picture& screen, const Picture& expected) {
    if (screen.width != expected.width || screen.height != expected.height) return -1;
    int mismatches = 0;
    for (size_t i = 0; i < expected.pixels.size(); ++i) {
        const DWORD e = expected.pixels[i];
        if ((e >> 24) == 0) continue;  // a hole: shows whatever is below
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(static_cast<int>((screen.pixels[i] >> shift) & 0xFF) - static_cast<int>((e >> shift) & 0xFF)) > 2) {
                ++mismatches;
                break;
            }
        }
    }
    return mismatches;
}


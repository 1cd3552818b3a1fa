#include "osd/selectionpictures.h"

#include <objbase.h>
#include <gdiplus.h>
#include <mmsystem.h>

#include <algorithm>

#include "common/commondefine.h"
#include "common/gdiobjects.h"
#include "osd/displayswitchosd.h"
#include "osd/displayswitchview.h"
#include "osd/imagestrip.h"

namespace osd {

namespace {

// The background narrows to this width as the chosen icon reaches the middle.
constexpr int kCollapsedWidth = 264;
constexpr int kIconTargetTop = 1;

// Runs on the multimedia timer's thread: it only asks the window to take the step.
void CALLBACK OnAnimationTimer(UINT timerId, UINT, DWORD_PTR window, DWORD_PTR, DWORD_PTR) {
    PostMessageW(reinterpret_cast<HWND>(window), WM_OSD_ANIMATION_STEP, timerId, 0);
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> CopyFrame(Gdiplus::Bitmap* strip, int frame) {
    SIZE size{};
    if (!SelectFrame(strip, frame, &size)) return nullptr;
    auto copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(size.cx), static_cast<INT>(size.cy),
                                                  PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(copy.get());
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(strip, Gdiplus::Rect(0, 0, size.cx, size.cy), 0, 0, size.cx, size.cy, Gdiplus::UnitPixel);
    return copy;
}

SIZE SizeOf(Gdiplus::Bitmap* image) {
    if (!image) return {0, 0};
    return {static_cast<LONG>(image->GetWidth()), static_cast<LONG>(image->GetHeight())};
}

void DrawAt(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* image, int x, int y) {
    if (!image) return;
    const SIZE size = SizeOf(image);
    graphics.DrawImage(image, Gdiplus::Rect(x, y, size.cx, size.cy), 0, 0, size.cx, size.cy, Gdiplus::UnitPixel);
}

void DrawInto(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* image, const RECT& rect) {
    if (!image || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const SIZE size = SizeOf(image);
    graphics.DrawImage(image, Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top), 0, 0,
                       size.cx, size.cy, Gdiplus::UnitPixel);
}

CSelectionCanvas::CSelectionCanvas(SIZE size)
    : m_pBitmap(std::make_unique<Gdiplus::Bitmap>(std::max<LONG>(size.cx, 1), std::max<LONG>(size.cy, 1),
                                                  PixelFormat32bppPARGB)),
      m_pGraphics(std::make_unique<Gdiplus::Graphics>(m_pBitmap.get())) {
    m_pGraphics->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBilinear);
    m_pGraphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
}

CSelectionCanvas::~CSelectionCanvas() = default;

void CSelectionCanvas::ShowOn(IOsdSurface& surface) {
    m_pGraphics->Flush(Gdiplus::FlushIntentionSync);
    HBITMAP handle = nullptr;
    if (m_pBitmap->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &handle) != Gdiplus::Ok) return;
    gdi::CBitmap picture(handle);
    gdi::CDeviceContext dc(CreateCompatibleDC(surface.ScreenDC()));
    gdi::CSelection selection(dc.Get(), picture.Get());
    surface.ShowContent(dc.Get());
}

bool CConfirmationSteps::Start(HWND window) {
    Cancel();
    m_bRunning = true;
    m_nStep = 0;
    return Schedule(window, 1);
}

bool CConfirmationSteps::Schedule(HWND window, UINT delayMs) {
    m_nTimer = timeSetEvent(delayMs, 0, &OnAnimationTimer, reinterpret_cast<DWORD_PTR>(window),
                            TIME_ONESHOT | TIME_CALLBACK_FUNCTION);
    if (m_nTimer != 0) return true;
    ReportError(L"fail: timeSetEvent() for the selection confirmation");
    m_bRunning = false;
    return false;
}

CConfirmationSteps::Next CConfirmationSteps::OnStep(UINT_PTR timerId, bool windowShown, double* t) {
    if (!m_bRunning || timerId != m_nTimer) return Next::Ignore;
    m_nTimer = 0;
    ++m_nStep;
    if (!windowShown) {
        m_bRunning = false;
        return Next::Ignore;
    }
    if (m_nStep == kAnimationSteps) {
        m_nStep = 0;
        m_bRunning = false;
        return Next::Finished;
    }
    *t = EasingTable()[m_nStep];
    return Next::Draw;
}

bool CConfirmationSteps::Continue(HWND window, double t) { return Schedule(window, AnimationDelayAfter(t)); }

void CConfirmationSteps::Cancel() {
    if (m_nTimer) timeKillEvent(m_nTimer);
    m_nTimer = 0;
    m_bRunning = false;
}

void DrawConfirmationStep(const ConfirmationStep& step, double t, IOsdSurface& surface) {
    CSelectionCanvas canvas(step.pictureSize);
    Gdiplus::Graphics& graphics = canvas.Graphics();
    const SIZE blank = SizeOf(step.blank);
    DrawAt(graphics, step.blank, 0, 0);

    const int stretch = kCollapsedWidth - blank.cx;
    const int width = static_cast<int>(blank.cx + stretch * t);
    const int left = static_cast<int>(blank.cx / 2.0 - width / 2.0);
    DrawInto(graphics, step.background, {left, 0, left + width, blank.cy});

    if (step.selected) {
        const int centreX = step.pictureSize.cx / 2;
        const int dx = centreX - SizeOf(step.selected).cx / 2 - step.from.x;
        const int dy = kIconTargetTop - step.from.y;
        const int x = static_cast<int>(step.from.x + dx * t);
        const int y = static_cast<int>(step.from.y + dy * t);
        DrawInto(graphics, step.selected, {x, y, x + step.iconSize.cx, y + step.iconSize.cy});
    }
    if (step.label) {
        DrawAt(graphics, step.label, step.labelAnchor.x - SizeOf(step.label).cx / 2,
               static_cast<int>(step.labelAnchor.y + step.labelTravel * t));
    }
    canvas.ShowOn(surface);
}

}  // namespace osd

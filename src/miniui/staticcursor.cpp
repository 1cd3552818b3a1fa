#include "miniui/staticcursor.h"

#include <objbase.h>
#include <gdiplus.h>

#include "common/commondefine.h"

namespace miniui {

namespace {

const wchar_t kControlProperty[] = L"vq.staticcursor";
constexpr COLORREF kDotColour = RGB(0x8C, 0x8C, 0x8C);
constexpr INT kDotSize = 6;
constexpr INT kFrameWidth = 34;  // the frame's rectangle (0, 0, 34, 23)
constexpr INT kFrameHeight = 23;

const wchar_t* const kImageFiles[] = {
    L"images/comm/DispSwitching.ini", L"images/comm/DispResolution.ini", L"images/comm/Presentation.ini",
    L"images/comm/Option.ini",        L"images/comm/DispClose.ini",
};

}  // namespace

const wchar_t* ImageFileOf(int kind) {
    if (kind < static_cast<int>(ImageKind::Output) || kind > static_cast<int>(ImageKind::Close)) return nullptr;
    return kImageFiles[kind - 1];
}

CStaticCursor::CStaticCursor() = default;
CStaticCursor::~CStaticCursor() { Detach(); }

bool CStaticCursor::Attach(HWND panel, int id, OwnerKind owner) {
    Detach();
    HWND control = GetDlgItem(panel, id);
    if (!control) return false;
    m_owner = owner;
    m_hWnd = control;
    SetPropW(control, kControlProperty, this);
    m_systemProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CStaticCursor::SubclassProc)));
    return true;
}

void CStaticCursor::Detach() {
    if (m_hWnd && IsWindow(m_hWnd) && m_systemProc) {
        RemovePropW(m_hWnd, kControlProperty);
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_systemProc));
    }
    m_hWnd = nullptr;
    m_systemProc = nullptr;
    m_pImage.reset();
}

void CStaticCursor::LoadImageKind(int kind) {
    const wchar_t* file = ImageFileOf(kind);
    if (m_pImage || !file) return;
    if (kind == static_cast<int>(ImageKind::Close)) m_nImageSize = kCloseMarkSize;
    m_pImage = std::make_unique<Gdiplus::Image>(file);
    if (m_pImage->GetLastStatus() != Gdiplus::Ok) ReportError(FormatText(L"fail: LoadImageKind() %s", file));
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CStaticCursor::ImageDrawn() const { return m_pImage && m_pImage->GetLastStatus() == Gdiplus::Ok; }

LRESULT CALLBACK CStaticCursor::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CStaticCursor*>(GetPropW(hwnd, kControlProperty));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT CStaticCursor::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC systemProc = m_systemProc;
    const HWND hwnd = m_hWnd;
    switch (message) {
    case WM_SETCURSOR:
        if (m_owner != OwnerKind::None) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_ERASEBKGND:
        return TRUE;  // painted whole below
    case WM_PAINT:
        Paint();
        return 0;
    case WM_NCDESTROY:
        // The control goes before its object: the image goes with it.
        Detach();
        return CallWindowProcW(systemProc, hwnd, message, wParam, lParam);
    default:
        break;
    }
    return CallWindowProcW(systemProc, hwnd, message, wParam, lParam);
}

void CStaticCursor::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    RECT client;
    GetClientRect(m_hWnd, &client);
    // The panel's own background under the picture.
    HBRUSH background = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(m_hWnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(m_hWnd)));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    {
        Gdiplus::Graphics graphics(dc);
        if (m_pImage) {
            // A missing file leaves an image that draws nothing.
            if (m_pImage->GetLastStatus() == Gdiplus::Ok) {
                graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
                graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
                graphics.DrawImage(m_pImage.get(), 0, 0, m_nImageSize, m_nImageSize);
            }
        } else if (m_bFrame) {
            Gdiplus::Pen pen(Gdiplus::Color(255, 100, 100, 100), 1.0f);
            graphics.DrawRectangle(&pen, 0, 0, kFrameWidth, kFrameHeight);
        } else {
            Gdiplus::SolidBrush dot(Gdiplus::Color(255, GetRValue(kDotColour), GetGValue(kDotColour), GetBValue(kDotColour)));
            graphics.FillRectangle(&dot, INT{0}, INT{0}, kDotSize, kDotSize);
        }
    }
    EndPaint(m_hWnd, &paint);
}

}  // namespace miniui

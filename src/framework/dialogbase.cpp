#include "framework/dialogbase.h"

#include "common/commondefine.h"

namespace fw {

namespace {
const wchar_t kObjectProperty[] = L"vq.dialog";

CDialogBase* FromHandle(HWND hwnd) {
    return static_cast<CDialogBase*>(GetPropW(hwnd, kObjectProperty));
}
}  // namespace

CDialogBase* CDialogBase::FromWindow(HWND hwnd) { return hwnd ? FromHandle(hwnd) : nullptr; }

CDialogBase::~CDialogBase() {
    if (m_hWnd && IsWindow(m_hWnd)) {
        RemovePropW(m_hWnd, kObjectProperty);
        if (m_systemProc) SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_systemProc));
        ::DestroyWindow(m_hWnd);
    }
}

bool CDialogBase::Create(UINT templateId, HWND parent) {
    HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                                   &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

bool CDialogBase::DestroyWindow() {
    if (!m_hWnd) return false;
    return ::DestroyWindow(m_hWnd) != FALSE;
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialogBase*>(lParam);
    if (!self) return TRUE;
    // From here on every message reaches the object through SubclassProc first.
    self->m_hWnd = hwnd;
    SetPropW(hwnd, kObjectProperty, self);
    self->m_systemProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDialogBase::SubclassProc)));
    return self->OnInitDialog() ? TRUE : FALSE;
}

LRESULT CALLBACK CDialogBase::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialogBase* self = FromHandle(hwnd);
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    // The system's message dispatch (and the keyboard library that sends its
    // keys) lies between here and the message loop: nothing may unwind through it.
    try {
        return self->Dispatch(message, wParam, lParam);
    } catch (...) {
        ReportCaught(L"fail: WindowProc()");
        return 0;
    }
}

LRESULT CDialogBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCDESTROY) return WindowProc(message, wParam, lParam);
    const HWND hwnd = m_hWnd;
    const WNDPROC systemProc = m_systemProc;
    RemovePropW(hwnd, kObjectProperty);
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc));
    const LRESULT result = CallWindowProcW(systemProc, hwnd, message, wParam, lParam);
    m_hWnd = nullptr;
    m_systemProc = nullptr;
    PostNcDestroy();  // may delete this object
    return result;
}

LRESULT CDialogBase::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(m_systemProc, m_hWnd, message, wParam, lParam);
}

LRESULT CDialogBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) return 0;  // no end-dialog for modeless
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommand(static_cast<UINT>(wParam & 0xFFF0))) return 0;
        break;
    case WM_CLOSE:
        OnClose();
        return 0;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

}  // namespace fw

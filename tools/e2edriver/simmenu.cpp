#include "simmenu.h"

#include "vqdrive.h"

namespace vqdrive {
namespace {

constexpr UINT kSiblingMessage = 0x8B1;
constexpr wchar_t kOwnClass[] = L"VqSimSiblingWindow";

void RegisterWindowClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSW wc{};
    if (GetClassInfoW(GetModuleHandleW(nullptr), name, &wc)) return;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassW(&wc);
}

void PumpWaiting() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

SiblingWindow::SiblingWindow(const wchar_t* className, const wchar_t* title) {
    const wchar_t* name = className ? className : kOwnClass;
    RegisterWindowClass(name, &SiblingWindow::WindowProc);
    m_hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, name, title ? title : L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

SiblingWindow::~SiblingWindow() {
    if (m_hWnd) DestroyWindow(m_hWnd);
}

LRESULT CALLBACK SiblingWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kSiblingMessage) {
        if (auto* self = reinterpret_cast<SiblingWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
            self->m_received.push_back({wParam, lParam});
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<std::pair<WPARAM, LPARAM>> SiblingWindow::Received() {
    PumpWaiting();
    return m_received;
}

bool SiblingWindow::WaitFor(WPARAM code, DWORD timeoutMs, LPARAM* argument) {
    const DWORD start = GetTickCount();
    for (;;) {
        for (const auto& [w, l] : Received()) {
            if (w != code) continue;
            if (argument) *argument = l;
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) return false;
        Pause(20);
    }
}

void SiblingWindow::Clear() {
    PumpWaiting();
    m_received.clear();
}

LRESULT SiblingWindow::Ask(HWND mainWindow, WPARAM code, LPARAM argument) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(mainWindow, kSiblingMessage, code, argument, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

}  // namespace vqdrive

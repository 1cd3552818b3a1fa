// A modeless dialog created from a template resource, with per-window
// message dispatch through virtual handlers and window timers.
#pragma once

#include <windows.h>

namespace fw {

class CDialogBase {
public:
    CDialogBase() = default;
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Creates the dialog from template `templateId` of this module; false on failure.
    bool Create(UINT templateId, HWND parent = nullptr);
    bool DestroyWindow();

    HWND Handle() const { return m_hWnd; }
    // The dialog object of a window made by Create; null for any other window.
    static CDialogBase* FromWindow(HWND hwnd);
    // The message loop's filter for a message to this dialog or one of its
    // controls, before it is dispatched; true when it was used up here.
    virtual bool PreTranslateMessage(MSG& msg) { return false; }
    bool IsWindowAlive() const { return m_hWnd != nullptr && IsWindow(m_hWnd); }

    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) { return ::SetTimer(m_hWnd, id, elapseMs, nullptr); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }

protected:
    // Sees every message first; the default hands it to the handlers below
    // and then to the dialog's default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The dialog's default processing (the system dialog procedure).
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    virtual bool OnInitDialog() { return true; }
    virtual void OnTimer(UINT_PTR id) {}
    // A command from a control or menu; true when it was handled.
    virtual bool OnCommand(UINT id, UINT notifyCode) { return false; }
    // The system menu's commands; true when handled.
    virtual bool OnSysCommand(UINT command) { return false; }
    virtual void OnClose() { DestroyWindow(); }
    // Called after the window is gone (WM_NCDESTROY); the object may delete itself here.
    virtual void PostNcDestroy() {}

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC m_systemProc = nullptr;
};

}  // namespace fw

// The sibling programs' windows on the simulated notebook: the menu program
// (window class "MORROW_MENU", or titled "-WheelMenu-" on the wheel-menu
// models) and the display-settings program (titled "Valmora"). Each records
// the 0x8B1 messages the program posts or sends it, and asks the program's
// main window what the menu program asks.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

namespace vqdrive {

class SiblingWindow {
public:
    static constexpr wchar_t kMenuClass[] = L"MORROW_MENU";
    static constexpr wchar_t kWheelMenuTitle[] = L"-WheelMenu-";
    static constexpr wchar_t kDisplaySettingsTitle[] = L"Valmora";

    // A window of `className` (null: a class of the driver's own) titled `title`.
    SiblingWindow(const wchar_t* className, const wchar_t* title);
    ~SiblingWindow();
    SiblingWindow(const SiblingWindow&) = delete;
    SiblingWindow& operator=(const SiblingWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    // The 0x8B1 messages received so far (wParam, lParam), oldest first; lets
    // this thread's messages through first.
    std::vector<std::pair<WPARAM, LPARAM>> Received();
    // Waits until a message with `code` has arrived; its lParam.
    bool WaitFor(WPARAM code, DWORD timeoutMs, LPARAM* argument = nullptr);
    void Clear();
    // A request of the menu program to the main window, answered by SendMessage.
    static LRESULT Ask(HWND mainWindow, WPARAM code, LPARAM argument = 0);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    std::vector<std::pair<WPARAM, LPARAM>> m_received;
};

}  // namespace vqdrive

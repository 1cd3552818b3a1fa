// Stand-in for the USB HID keyboard library. After HIDKbdLoadDevice it keeps a
// hidden window of class "VqSimTrapkeyUsb" in the calling process; a test
// sends that window WM_APP with wParam = HID usage and lParam = usage page,
// and the library posts them to the owner with the owner's message, as the
// keyboard would.
#include <windows.h>

namespace {
constexpr wchar_t kWindowClass[] = L"VqSimTrapkeyUsb";
HINSTANCE g_module = nullptr;
HWND g_owner = nullptr;
UINT g_message = 0;
HWND g_window = nullptr;
HANDLE g_thread = nullptr;
HANDLE g_ready = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        if (g_owner) PostMessageW(g_owner, g_message, wParam, lParam);
        return 1;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD WINAPI DeviceThread(LPVOID) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = g_module;
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    g_window = CreateWindowW(kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, g_module, nullptr);
    SetEvent(g_ready);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
}  // namespace

extern "C" __declspec(dllexport) int WINAPI HIDKbdLoadDevice(HWND owner, UINT message) {
    g_owner = owner;
    g_message = message;
    if (!g_thread) {
        // The device thread runs this library's code for the rest of the
        // process; the program releases the library with a plain FreeLibrary,
        // so keep it mapped.
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&DeviceThread), &pinned);
        g_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_thread = CreateThread(nullptr, 0, DeviceThread, nullptr, 0, nullptr);
        WaitForSingleObject(g_ready, 5000);
    }
    return g_window != nullptr ? 1 : 0;
}

extern "C" __declspec(dllexport) int WINAPI HIDKbdUnloadDevice() {
    g_owner = nullptr;
    return 1;
}

extern "C" __declspec(dllexport) int WINAPI HIDKbdIsPluged() { return 1; }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

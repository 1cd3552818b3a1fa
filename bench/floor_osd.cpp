// The floor of the resident-memory benchmark: the least a Windows program
// can be that shows an OSD on a notebook key. It listens to raw keyboard
// input like the program on Windows 7, and on a press of the notebook's
// special key (virtual key 0xFF) shows one layered, topmost, non-activated
// window with a per-pixel-alpha picture; the window is hidden and destroyed
// 1.5 s later. No GDI+, no COM, no firmware, no audio.
#include <windows.h>

#include <cstdint>

namespace {

constexpr wchar_t kMainClass[] = L"VqFloorMain";
constexpr wchar_t kOsdClass[] = L"VqFloorOsd";
constexpr UINT_PTR kHideTimer = 1;
constexpr UINT kHideAfterMs = 1500;
constexpr USHORT kNotebookKey = 0xFF;
// About the size of the program's level pictures.
constexpr int kOsdWidth = 290;
constexpr int kOsdHeight = 100;

HWND g_osd = nullptr;

void ShowOsd(HINSTANCE instance) {
    if (g_osd) {
        KillTimer(g_osd, kHideTimer);
    } else {
        g_osd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kOsdClass,
                                L"", WS_POPUP, 0, 0, kOsdWidth, kOsdHeight, nullptr, nullptr, instance, nullptr);
        if (!g_osd) return;
    }
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - kOsdWidth / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - kOsdHeight / 2 + 70;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kOsdWidth;
    info.bmiHeader.biHeight = -kOsdHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (picture && bits) {
        // A half-transparent grey panel, premultiplied.
        auto* pixels = static_cast<std::uint32_t*>(bits);
        for (int i = 0; i < kOsdWidth * kOsdHeight; ++i) pixels[i] = 0xA0505050u;
        HGDIOBJ previous = SelectObject(memory, picture);
        POINT at{x, y};
        SIZE size{kOsdWidth, kOsdHeight};
        POINT source{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(g_osd, screen, &at, &size, memory, &source, 0, &blend, ULW_ALPHA);
        SelectObject(memory, previous);
        DeleteObject(picture);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    ShowWindow(g_osd, SW_SHOWNA);
    SetTimer(g_osd, kHideTimer, kHideAfterMs, nullptr);
}

LRESULT CALLBACK OsdProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kHideTimer) {
        KillTimer(window, kHideTimer);
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY && window == g_osd) g_osd = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INPUT) {
        RAWINPUT input{};
        UINT size = sizeof input;
        if (GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) !=
                static_cast<UINT>(-1) &&
            input.header.dwType == RIM_TYPEKEYBOARD && input.data.keyboard.VKey == kNotebookKey &&
            input.data.keyboard.Message == WM_KEYDOWN) {
            ShowOsd(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)));
        }
    } else if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW mainClass{};
    mainClass.lpfnWndProc = MainProc;
    mainClass.hInstance = instance;
    mainClass.lpszClassName = kMainClass;
    WNDCLASSW osdClass{};
    osdClass.lpfnWndProc = OsdProc;
    osdClass.hInstance = instance;
    osdClass.lpszClassName = kOsdClass;
    if (!RegisterClassW(&mainClass) || !RegisterClassW(&osdClass)) return 1;
    HWND main = CreateWindowExW(0, kMainClass, L"-VqFloor-", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                instance, nullptr);
    if (!main) return 1;
    RAWINPUTDEVICE device{};
    device.usUsagePage = 1;
    device.usUsage = 6;
    device.dwFlags = RIDEV_INPUTSINK;
    device.hwndTarget = main;
    if (!RegisterRawInputDevices(&device, 1, sizeof device)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

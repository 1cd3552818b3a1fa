// Stand-in for the PS/2 keyboard-hook library. A real low-level keyboard
// hook in the calling process: every key event is sent to the owner window
// with the owner's message, lParam pointing to the hook record; a result of 0
// swallows the key, anything else passes it on. Each call of the program is
// announced on the debugger output ("TrapkeyPS2: KbdHkSetUnhook"), so that a
// test hears what the program asked of the library.
#include <windows.h>

namespace {
HHOOK g_hook = nullptr;
HWND g_owner = nullptr;
UINT g_message = 0;
HINSTANCE g_module = nullptr;

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_owner && IsWindow(g_owner)) {
        const LRESULT result = SendMessageW(g_owner, g_message, wParam, lParam);
        if (result == 0) return 1;
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}
}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI KbdHkSetHookOwner(HWND owner, UINT message) {
    OutputDebugStringW(L"TrapkeyPS2: KbdHkSetHookOwner");
    g_owner = owner;
    g_message = message;
    if (!g_hook) g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardHook, g_module, 0);
    return g_hook != nullptr;
}

extern "C" __declspec(dllexport) BOOL WINAPI KbdHkSetUnhook() {
    OutputDebugStringW(L"TrapkeyPS2: KbdHkSetUnhook");
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_owner = nullptr;
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}

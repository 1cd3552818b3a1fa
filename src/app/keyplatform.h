// The platform calls of the key handling and the main-window commands that a
// test must be able to control: starting and ending programs, the MCI door
// command, synthetic key input, the screen-saver parameter, the screen size
// and device-interface notifications. The default is the real system.
#pragma once

#include <windows.h>

#include <string>

class IKeyPlatform {
public:
    virtual ~IKeyPlatform() = default;

    // Processes.
    virtual bool StartProgram(const std::wstring& commandLine, int show) = 0;
    // Ends every process of that executable name; false when none could be ended.
    virtual bool TerminateProcessesNamed(const std::wstring& exeName) = 0;

    // Multimedia: an MCI command string; the MCI error number, 0 on success.
    virtual DWORD SendMciCommand(const std::wstring& command) = 0;

    // Input and system parameters.
    virtual UINT SendKeyInput(INPUT* inputs, UINT count) = 0;
    virtual bool SetScreenSaverActive(bool active) = 0;  // broadcast to every window
    virtual SIZE PrimaryScreenSize() = 0;

    // Device-interface notifications of one interface class to a window.
    virtual HDEVNOTIFY RegisterInterfaceNotification(HWND window, const GUID& interfaceClass) = 0;
    virtual void UnregisterNotification(HDEVNOTIFY notification) = 0;
};

// The real system; one instance for the process.
IKeyPlatform& SystemKeyPlatform();

// The cursor's position on the screen (the tests read the real one too).
POINT CursorPosition();

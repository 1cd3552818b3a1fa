// A recording stand-in for the platform calls of the key pre-processing and
// the main-window commands: every call is kept as one line ("StartProgram
// VLMWirelessConfig.exe 1"), and the answers they depend on can be set. Calls
// may come from the eject thread (recording is locked).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/keyplatform.h"
#include "recordingports.h"

class RecordingKeyPlatform : public IKeyPlatform, public CallLog {
public:
    DWORD mciError = 0;
    HANDLE mciGate = nullptr;  // when set, the MCI command waits for this event
    bool screenSaverResult = true;
    SIZE screen = {1366, 768};
    HDEVNOTIFY notification = reinterpret_cast<HDEVNOTIFY>(0x5678);
    std::vector<INPUT> sentInput;
    GUID registeredClass{};

    bool StartProgram(const std::wstring& commandLine, int show) override;
    bool TerminateProcessesNamed(const std::wstring& exeName) override;
    DWORD SendMciCommand(const std::wstring& command) override;
    UINT SendKeyInput(INPUT* inputs, UINT count) override;
    bool SetScreenSaverActive(bool active) override;
    SIZE PrimaryScreenSize() override;
    HDEVNOTIFY RegisterInterfaceNotification(HWND window, const GUID& interfaceClass) override;
    void UnregisterNotification(HDEVNOTIFY notification) override;
};

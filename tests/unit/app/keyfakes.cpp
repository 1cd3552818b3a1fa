#include "keyfakes.h"

bool RecordingKeyPlatform::StartProgram(const std::wstring& commandLine, int show) {
    RecordText("StartProgram", commandLine + L" " + std::to_wstring(show));
    return true;
}
bool RecordingKeyPlatform::TerminateProcessesNamed(const std::wstring& exeName) {
    RecordText("TerminateProcessesNamed", exeName);
    return true;
}
DWORD RecordingKeyPlatform::SendMciCommand(const std::wstring& command) {
    if (mciGate) WaitForSingleObject(mciGate, 10000);
    RecordText("SendMciCommand", command);
    return mciError;
}
UINT RecordingKeyPlatform::SendKeyInput(INPUT* inputs, UINT count) {
    Record("SendKeyInput", count);
    sentInput.assign(inputs, inputs + count);
    return count;
}
bool RecordingKeyPlatform::SetScreenSaverActive(bool active) {
    Record("SetScreenSaverActive", active ? 1 : 0);
    return screenSaverResult;
}
SIZE RecordingKeyPlatform::PrimaryScreenSize() { return screen; }
HDEVNOTIFY RecordingKeyPlatform::RegisterInterfaceNotification(HWND window, const GUID& interfaceClass) {
    Record("RegisterInterfaceNotification", reinterpret_cast<INT_PTR>(window));
    registeredClass = interfaceClass;
    return notification;
}
void RecordingKeyPlatform::UnregisterNotification(HDEVNOTIFY handle) {
    Record("UnregisterNotification", reinterpret_cast<INT_PTR>(handle));
}

#include "app/keyplatform.h"

#include <dbt.h>
#include <mmsystem.h>
#include <tlhelp32.h>

#include <vector>

#include "common/scopedhandle.h"

namespace {

class CWin32KeyPlatform : public IKeyPlatform {
public:
    bool StartProgram(const std::wstring& commandLine, int show) override {
        std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
        line.push_back(L'\0');
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            return false;
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        return true;
    }

    bool TerminateProcessesNamed(const std::wstring& exeName) override {
        ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot.valid()) return false;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        bool ended = false;
        for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
            if (_wcsicmp(entry.szExeFile, exeName.c_str()) != 0) continue;
            ScopedHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
            if (process.valid() && TerminateProcess(process.get(), 0)) ended = true;
        }
        return ended;
    }

    DWORD SendMciCommand(const std::wstring& command) override {
        return mciSendStringW(command.c_str(), nullptr, 0, nullptr);
    }

    UINT SendKeyInput(INPUT* inputs, UINT count) override { return SendInput(count, inputs, sizeof(INPUT)); }

    bool SetScreenSaverActive(bool active) override {
        return SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr,
                                     SPIF_SENDWININICHANGE) != FALSE;
    }

    SIZE PrimaryScreenSize() override { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

    HDEVNOTIFY RegisterInterfaceNotification(HWND window, const GUID& interfaceClass) override {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = interfaceClass;
        return RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    }

    void UnregisterNotification(HDEVNOTIFY notification) override {
        if (notification) UnregisterDeviceNotification(notification);
    }
};

}  // namespace

IKeyPlatform& SystemKeyPlatform() {
    static CWin32KeyPlatform platform;
    return platform;
}

POINT CursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

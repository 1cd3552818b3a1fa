#include "app/mainhotkeyowner.h"

#include <windows.h>

#include <vector>

#include "app/keypreprocessor.h"
#include "app/tracecall.h"

void CMainHotkeyOwner::NoteUnmutedByVolumeKey() {
    m_bUnmutedByVolumeKey = true;
    m_keys.ClearStoredMuteState();
}

void CMainHotkeyOwner::StoreVolumeLastSeen(int level) { m_keys.StoreVolumeLastSeen(level); }

int CMainHotkeyOwner::StartProgram(const std::wstring& commandLine) {
    // A bare program name is looked up beside this program first.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return 0;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 1;
}

// The network switches of the models that switch adapters outside the firmware.
void CMainHotkeyOwner::ShowWiredLANOnOffIcon() { TraceCall(L"ShowWiredLANOnOffIcon"); }
void CMainHotkeyOwner::ToggleFamily10Wireless() { TraceCall(L"ToggleFamily10Wireless"); }

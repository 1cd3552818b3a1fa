#include "app/mainhotkeyowner.h"

#include <windows.h>

#include "app/keypreprocessor.h"

void CMainHotkeyOwner::NoteUnmutedByVolumeKey() {
    m_bUnmutedByVolumeKey = true;
    m_keys.ClearStoredMuteState();
}

void CMainHotkeyOwner::StoreVolumeLastSeen(int level) { m_keys.StoreVolumeLastSeen(level); }

// A bare program name is looked up beside this program first.
int CMainHotkeyOwner::StartProgram(const std::wstring& commandLine) {
    return m_platform.StartProgram(commandLine, SW_SHOWNORMAL) ? 1 : 0;
}

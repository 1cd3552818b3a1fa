#include "app/displayswitchtestcycle.h"

namespace {
constexpr DWORD kShortPauseMs = 200;
constexpr DWORD kLongPauseMs = 1000;
}  // namespace

int CDisplaySwitchTestCycle::RunPass(LPARAM mode) {
    int presses = 0;
    DWORD pauseMs = kShortPauseMs;
    if (mode == 1) {
        presses = m_nModeOnePosition + 1;
        m_nModeOnePosition = (m_nModeOnePosition + 1) % 4;
    } else if (mode == 2) {
        presses = m_nModeTwoPosition + 3;
        m_nModeTwoPosition = (m_nModeTwoPosition + 1) % 2;
    } else {
        m_nOtherModeCounter = (m_nOtherModeCounter + 1) % 8;
        presses = m_nOtherModeCounter;
        pauseMs = kLongPauseMs;
    }
    for (int i = 0; i < presses; ++i) {
        m_display.SelectDisplayCombination(0);
        Sleep(pauseMs);  // the test watches each switch; the main thread waits
    }
    return presses;
}

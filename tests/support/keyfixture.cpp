#include "keyfixture.h"

#include <algorithm>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "vqdrive.h"

namespace keytest {

void RemoveTestSettings() {
    const std::wstring path = std::wstring(L"Software\\Korvane\\") + kTestApplication;
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
}

void SetKeys(std::initializer_list<std::pair<int, BYTE>> keys) {
    BYTE state[256] = {};
    for (const auto& [key, value] : keys) state[key] = value;
    SetKeyboardState(state);
}

LogWatch::LogWatch() { m_start = vqdrive::ReadFileBytes(logfile::LogFilePath()).size(); }

std::string LogWatch::Added() const {
    const std::string all = vqdrive::ReadFileBytes(logfile::LogFilePath());
    std::string added = all.size() >= m_start ? all.substr(m_start) : all;  // a rolled-over log starts afresh
    added.erase(std::remove(added.begin(), added.end(), '\r'), added.end());
    return added;
}

void KeyTest::SetUp() {
    settings::SetApplicationName(kTestApplication);
    RemoveTestSettings();
    proc::windowsVersion = 7;
    proc::modelFamily = 0;
    proc::usbKeyboardModel = false;
    SetKeys();
}

void KeyTest::TearDown() {
    SetKeys();
    proc::windowsVersion = 7;
    proc::modelFamily = 0;
    proc::usbKeyboardModel = false;
    RemoveTestSettings();
    settings::SetApplicationName(L"vqhkcore");
}

}  // namespace keytest

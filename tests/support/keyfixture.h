// Shared set-up of the key tests: the process-wide values put back after
// each test, settings under an application name of the tests' own (removed
// before and after), the thread's keyboard state (what GetKeyState reads)
// cleared, and a look at what the log file received during the test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "common/settingsstore.h"

namespace keytest {

inline constexpr wchar_t kTestApplication[] = L"vqhkcore_keytests";

void RemoveTestSettings();
// Sets the thread's keyboard state: every key up and untoggled, then the
// given keys with their state byte (0x80 held, 0x01 toggled).
void SetKeys(std::initializer_list<std::pair<int, BYTE>> keys = {});

// Bytes the log file gained since construction, with plain line ends.
class LogWatch {
public:
    LogWatch();
    std::string Added() const;
    bool Contains(const std::string& text) const { return Added().find(text) != std::string::npos; }

private:
    size_t m_start = 0;
};

class KeyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace keytest

// Volume and mute of the program under Wine: the legacy mixer of Windows XP
// on the null sound device, and a machine without any sound device.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programtest.h"
#include "vqdrive.h"

namespace {

// Wine keeps the mixer's volume per process (the program's own audio
// session), so no other process can read what the program set: its trace
// lines of the levels it read and set are the only evidence.

// The levels of the trace lines "audio level get N", in order.
std::vector<int> LevelsRead(const std::vector<std::string>& trace) {
    std::vector<int> levels;
    const std::string prefix = "audio level get ";
    for (const auto& line : trace) {
        if (line.rfind(prefix, 0) == 0) levels.push_back(std::stoi(line.substr(prefix.size())));
    }
    return levels;
}

class AudioEndToEnd : public ProgramTest {};

// The levels of the trace lines "audio level set N -> 1", in order.
std::vector<int> LevelsSet(const std::vector<std::string>& trace) {
    std::vector<int> levels;
    const std::string prefix = "audio level set ";
    for (const auto& line : trace) {
        if (line.rfind(prefix, 0) == 0 && line.size() > 5 && line.substr(line.size() - 5) == " -> 1") {
            levels.push_back(std::stoi(line.substr(prefix.size())));
        }
    }
    return levels;
}

// Volume keys on Windows XP reach the program through the keyboard hook and
// step the legacy mixer's volume along the program's own scale; each key
// reads back what the one before it set.
TEST_F(AudioEndToEnd, OnWindowsXpVolumeKeysStepTheMixerVolume) {
    Start(L"winxp", L"");
    EXPECT_TRUE(WaitForTrace("mixer opened: ", 0));
    vqdrive::TapKey(VK_VOLUME_DOWN, 0x2E);
    vqdrive::TapKey(VK_VOLUME_DOWN, 0x2E);
    vqdrive::TapKey(VK_VOLUME_UP, 0x30);
    const DWORD start = GetTickCount();
    while (LevelsSet(TraceLines()).size() < 3 && GetTickCount() - start < 5000) vqdrive::Pause(20);
    const std::vector<int> set = LevelsSet(TraceLines());
    ASSERT_EQ(set.size(), 3u) << TraceText();
    EXPECT_LT(set[1], set[0]);
    EXPECT_EQ(set[2], set[0]) << "up again lands on the step the first key set";
    // Every key read the level back before it stepped: the last reads are the levels set.
    const std::vector<int> read = LevelsRead(TraceLines());
    ASSERT_GE(read.size(), 3u);
    EXPECT_NEAR(read[read.size() - 2], set[0], 1);
    EXPECT_NEAR(read[read.size() - 1], set[1], 1);

    // A mixer change notice (which Wine's mixer never sends by itself) makes the program read again.
    const size_t readsBefore = LevelsRead(TraceLines()).size();
    PostMessageW(program_.MainWindow(), 0x3D1, 0, 0);
    const DWORD noticeStart = GetTickCount();
    while (LevelsRead(TraceLines()).size() <= readsBefore && GetTickCount() - noticeStart < 3000) vqdrive::Pause(20);
    EXPECT_GT(LevelsRead(TraceLines()).size(), readsBefore);
}

// Keeps the null sound device's ALSA configuration out of sight while it
// lives. Wine hands a program its starter's Unix HOME and ignores ALSA
// variables of the environment block, so the file itself is moved aside.
class NoSoundDevice {
public:
    NoSoundDevice() {
        wchar_t home[MAX_PATH] = {};
        GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);  // "\??\Z:\..."
        std::wstring folder = home;
        if (folder.rfind(L"\\??\\", 0) == 0) folder = folder.substr(4);
        m_file = folder + L"\\.asoundrc";
        m_aside = m_file + L".vqaside";
        m_moved = MoveFileExW(m_file.c_str(), m_aside.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    ~NoSoundDevice() {
        if (m_moved) MoveFileExW(m_aside.c_str(), m_file.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    bool Active() const { return m_moved; }

private:
    std::wstring m_file, m_aside;
    bool m_moved = false;
};

TEST_F(AudioEndToEnd, WithoutASoundDeviceTheAudioFailureIsLoggedAndTheProgramRuns) {
    const struct {
        const wchar_t* version;
        const char* report;
    } cases[] = {
        {L"win7", "Fail: Please check the Audio Driver"},
        {L"winxp", "Impossible to set the volume: We cannot get the audio device."},
    };
    NoSoundDevice noSound;
    ASSERT_TRUE(noSound.Active()) << "no .asoundrc in the test's home folder";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        vqdrive::DeleteFileIfPresent(vqdrive::LogFilePath());
        Start(c.version, L"");
        EXPECT_TRUE(vqdrive::WaitForLine(vqdrive::LogFilePath(), c.report, 5000))
            << vqdrive::ReadFileBytes(vqdrive::LogFilePath());
        // Still running, and still answering its messages.
        vqdrive::Pause(300);
        EXPECT_TRUE(program_.Running());
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutW(program_.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &answer), 0);
        PostMessageW(program_.MainWindow(), 0x3D1, 0, 0);
        vqdrive::Pause(300);
        EXPECT_TRUE(program_.Running());
        program_.Stop();
    }
}

}  // namespace

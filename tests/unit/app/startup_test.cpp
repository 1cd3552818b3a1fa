// Start-up decisions that do not need a running program.
#include <gtest/gtest.h>

#include "common/settingsstore.h"
#include "app/valmora.h"
#include "app/valmoradlg.h"
#include "boxcloser.h"
#include "common/commondefine.h"
#include "common/processstate.h"
#include "vqdrive.h"

namespace {

TEST(WorkingFolder, ProgramNamesAreRemovedOtherNamesStay) {
    EXPECT_EQ(CValmoraApp::WorkingFolderFromPath(L"C:\\Apps\\vqhkcore.exe"), L"C:\\Apps\\");
    EXPECT_EQ(CValmoraApp::WorkingFolderFromPath(L"C:\\Apps\\Valmora.exe"), L"C:\\Apps\\");
    // Exact and case-sensitive: another name leaves the path naming the executable.
    EXPECT_EQ(CValmoraApp::WorkingFolderFromPath(L"C:\\Apps\\VQHKCORE.EXE"), L"C:\\Apps\\VQHKCORE.EXE");
    EXPECT_EQ(CValmoraApp::WorkingFolderFromPath(L"C:\\Apps\\other.exe"), L"C:\\Apps\\other.exe");
    // Every occurrence goes, also inside folder names.
    EXPECT_EQ(CValmoraApp::WorkingFolderFromPath(L"C:\\vqhkcore.exe.d\\vqhkcore.exe"), L"C:\\.d\\");
}

TEST(Language, OnlyTheKnownLanguagesAreKept) {
    for (LANGID kept : {1028, 1031, 1036, 1042, 1049, 2052, 2070, 3082}) {
        EXPECT_EQ(CValmoraApp::MapLanguage(kept), kept);
    }
    for (LANGID other : {1041, 1046, 1033, 0, 2057, 1029}) {
        EXPECT_EQ(CValmoraApp::MapLanguage(other), 1033) << other;
    }
}

struct VersionCase {
    DWORD platform, major, minor;
    bool mediaCenter;
    int code;
};

class VersionCodeTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionCodeTest, ReportedVersionGivesItsCode) {
    const VersionCase& c = GetParam();
    EXPECT_EQ(CValmoraDlg::WindowsVersionCode(c.platform, c.major, c.minor, c.mediaCenter), c.code);
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionCodeTest,
                         ::testing::Values(VersionCase{VER_PLATFORM_WIN32_NT, 5, 0, false, 4},
                                           VersionCase{VER_PLATFORM_WIN32_NT, 5, 1, false, 5},
                                           VersionCase{VER_PLATFORM_WIN32_NT, 5, 1, true, 6},
                                           VersionCase{VER_PLATFORM_WIN32_NT, 5, 2, false, 5},
                                           VersionCase{VER_PLATFORM_WIN32_NT, 6, 0, false, 7},
                                           VersionCase{VER_PLATFORM_WIN32_NT, 6, 1, false, 8},
                                           VersionCase{VER_PLATFORM_WIN32_NT, 6, 2, false, 8},
                                           VersionCase{VER_PLATFORM_WIN32_NT, 4, 0, false, 3},
                                           VersionCase{VER_PLATFORM_WIN32_WINDOWS, 4, 0, false, 1},
                                           VersionCase{VER_PLATFORM_WIN32_WINDOWS, 4, 10, false, 2}));

TEST(VersionCode, AVersionNotKnownKeepsTheCodeAsItWas) {
    const int saved = proc::windowsVersion;
    for (int before : {7, 5}) {
        proc::windowsVersion = before;
        EXPECT_EQ(CValmoraDlg::WindowsVersionCode(VER_PLATFORM_WIN32_NT, 3, 51, false), before);
        EXPECT_EQ(CValmoraDlg::WindowsVersionCode(VER_PLATFORM_WIN32s, 3, 10, false), before);
    }
    proc::windowsVersion = saved;
}

TEST(StarterEdition, OnlyTheStarterProductTypes) {
    for (DWORD starter : {0x0Bu, 0x2Fu, 0x42u}) EXPECT_TRUE(CValmoraDlg::IsStarterProduct(starter));
    for (DWORD other : {0x01u, 0x06u, 0x30u, 0x43u}) EXPECT_FALSE(CValmoraDlg::IsStarterProduct(other));
}

}  // namespace

// --- InitInstance with the start-up calls failing.

namespace {

class StartupFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings::WriteInt(settings::kDebug, 0);
        vqdrive::DeleteFileIfPresent(logfile::LogFilePath());
    }
    void TearDown() override { settings::SetApplicationName(L"vqhkcore"); }  // InitInstance took this program's name
    std::string Log() { return vqdrive::ReadFileBytes(logfile::LogFilePath()); }
};

// The mutex is refused, or a fresh unnamed one is given; COM works or fails.
class FakeStartupPlatform : public IStartupPlatform {
public:
    FakeStartupPlatform(bool mutexCreated, HRESULT comResult) : m_bMutexCreated(mutexCreated), m_hrCom(comResult) {}
    HANDLE CreateInstanceMutex(const wchar_t*) override {
        if (!m_bMutexCreated) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        SetLastError(ERROR_SUCCESS);
        return CreateMutexW(nullptr, TRUE, nullptr);
    }
    HRESULT InitializeCom() override { return m_hrCom; }

private:
    bool m_bMutexCreated;
    HRESULT m_hrCom;
};

TEST_F(StartupFailureTest, MutexThatCannotBeCreatedEndsTheStart) {
    FakeStartupPlatform platform(false, S_OK);
    CValmoraApp app(platform);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_NE(Log().find(": fail: Valmora starting \r\n"), std::string::npos) << Log();
    EXPECT_EQ(app.MainWindow(), nullptr);
    app.ExitInstance();
}

TEST_F(StartupFailureTest, ComFailureShowsItsBoxAndCreatesNoMainWindow) {
    FakeStartupPlatform platform(true, E_OUTOFMEMORY);
    CValmoraApp app(platform);
    MessageBoxCloser closer;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(closer.Text(), L"COM initialization failed\r\nPlease check the system and Run Valmora again.");
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(vqdrive::FindMainWindow(), nullptr);
    EXPECT_EQ(Log().find("COM"), std::string::npos) << "the box is shown directly, not through the log";
    app.ExitInstance();
}

}  // namespace

// The settings store: defaults for a fresh user, values of the wrong type or
// size, names without regard to case, the application key itself, and the
// HKEY_LOCAL_MACHINE helpers.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "keyfixture.h"

namespace {

using keytest::KeyTest;

class SettingsStoreTest : public KeyTest {
protected:
    // Stores raw bytes of any type, as another program (or a damaged registry) might.
    void StoreRaw(const wchar_t* section, const wchar_t* name, DWORD type, const void* data, DWORD size) {
        std::wstring path = settings::ApplicationKeyPath();
        if (*section) path += std::wstring(L"\\") + section;
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

TEST_F(SettingsStoreTest, FreshUserReadsEveryDefault) {
    for (const settings::IntSetting* s :
         {&settings::kDebug, &settings::kSkipFirmwareDisplays, &settings::kHandledKeyResult,
          &settings::kOwnVolumeSteps, &settings::kShiftChangesResolution, &settings::kAltRotates,
          &settings::kMiniUiViewModes, &settings::kFirstUserHide, &settings::kMiniUiOptions,
          &settings::kHotkeyShowUi, &settings::kHotkeyMagnifier, &settings::kPresentationOptions,
          &settings::kPresentationNeedsRestore, &settings::kWirelessStatus}) {
        EXPECT_EQ(settings::ReadInt(*s), s->defaultValue) << s->name;
    }
    EXPECT_EQ(settings::ReadInt(settings::kHandledKeyResult), 255);
    EXPECT_EQ(settings::ReadInt(settings::kMiniUiOptions), 1118481);
    EXPECT_EQ(settings::ReadInt(settings::kPresentationOptions), -1);
    EXPECT_EQ(settings::ReadText(settings::kAltRestoreDefault), L"1 31");
    EXPECT_EQ(settings::ReadText(settings::kPresentationWallpaper), L"");
}

TEST_F(SettingsStoreTest, IntegerOfWrongTypeOrSizeReadsAsDefault) {
    const DWORD four = 4;
    const unsigned long long eight = 8;
    const WORD two = 2;
    const wchar_t text[] = L"0";
    struct Case { const char* what; DWORD type; const void* data; DWORD size; };
    const Case cases[] = {
        {"text", REG_SZ, text, sizeof text},
        {"binary of four bytes", REG_BINARY, &four, sizeof four},
        {"dword of two bytes", REG_DWORD, &two, sizeof two},
        {"qword", REG_QWORD, &eight, sizeof eight},
        {"empty dword", REG_DWORD, nullptr, 0},
    };
    for (const Case& c : cases) {
        StoreRaw(settings::kSettingsSection, L"vqsm", c.type, c.data, c.size);
        EXPECT_EQ(settings::ReadInt(settings::kShiftChangesResolution), 1) << c.what;
    }
}

TEST_F(SettingsStoreTest, TextOfWrongTypeOrSizeReadsAsDefault) {
    const DWORD number = 0;
    const char bytes[] = {'0', 0, ' ', 0, '7'};  // odd size: no whole last character
    const std::vector<wchar_t> multi = {L'0', 0, L'5', 0, 0};
    struct Case { const char* what; DWORD type; const void* data; DWORD size; };
    const Case cases[] = {
        {"dword", REG_DWORD, &number, sizeof number},
        {"binary", REG_BINARY, bytes, 4},
        {"odd-sized text", REG_SZ, bytes, sizeof bytes},
        {"multi-string", REG_MULTI_SZ, multi.data(), static_cast<DWORD>(multi.size() * sizeof(wchar_t))},
    };
    for (const Case& c : cases) {
        StoreRaw(settings::kSettingsSection, L"vqrd", c.type, c.data, c.size);
        EXPECT_EQ(settings::ReadText(settings::kAltRestoreDefault), L"1 31") << c.what;
    }
}

TEST_F(SettingsStoreTest, TextWithoutTerminatorIsReadWhole) {
    const wchar_t text[] = {L'0', L' ', L'7'};
    StoreRaw(settings::kSettingsSection, L"vqrd", REG_SZ, text, sizeof text);
    EXPECT_EQ(settings::ReadText(settings::kAltRestoreDefault), L"0 7");
}

TEST_F(SettingsStoreTest, WritesCreateTheSectionAndNamesIgnoreCase) {
    ASSERT_TRUE(settings::WriteInt(settings::kSettingsSection, L"VQSM", 0));
    EXPECT_EQ(settings::ReadInt(settings::kShiftChangesResolution), 0);
    ASSERT_TRUE(settings::WriteText(settings::kSettingsSection, L"VqRd", L"0 7"));
    EXPECT_EQ(settings::ReadText(settings::kAltRestoreDefault), L"0 7");
    ASSERT_TRUE(settings::WriteInt(settings::kPresentationOptions, -5));
    EXPECT_EQ(settings::ReadInt(settings::kPresentationOptions), -5);
}

TEST_F(SettingsStoreTest, WirelessStatusLivesDirectlyUnderTheApplicationKey) {
    ASSERT_TRUE(settings::WriteInt(settings::kWirelessStatus, 101));
    DWORD value = 0, size = sizeof value, type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, settings::ApplicationKeyPath().c_str(), L"WirelessStatus",
                           RRF_RT_ANY, &type, &value, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 101u);
    EXPECT_EQ(settings::ReadInt(settings::kWirelessStatus), 101);
}

class MachineValueTest : public SettingsStoreTest {
protected:
    static constexpr wchar_t kPath[] = L"Software\\KorvaneKeyTests";
    void SetUp() override {
        SettingsStoreTest::SetUp();
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPath);
        SettingsStoreTest::TearDown();
    }
};

TEST_F(MachineValueTest, DwordAndTextGoThereAndBack) {
    const DWORD caps = 0x0F;
    ASSERT_TRUE(settings::WriteMachineValue(kPath, L"Display1_RotationCaps", &caps, sizeof caps));
    DWORD read = 0;
    ASSERT_TRUE(settings::ReadMachineValue(kPath, L"Display1_RotationCaps", &read, sizeof read));
    EXPECT_EQ(read, caps);

    const wchar_t folder[] = L"C:\\Program Files";
    ASSERT_TRUE(settings::WriteMachineValue(kPath, L"ProgramFilesDir", folder, sizeof folder, REG_SZ));
    wchar_t text[64] = {};
    ASSERT_TRUE(settings::ReadMachineValue(kPath, L"ProgramFilesDir", text, sizeof text, REG_SZ));
    EXPECT_STREQ(text, folder);
}

TEST_F(MachineValueTest, KeyThatCannotBeOpenedIsReportedAndLeavesTheOutput) {
    keytest::LogWatch log;
    DWORD value = 77;
    EXPECT_FALSE(settings::ReadMachineValue(L"Software\\KorvaneKeyTests\\Missing", L"x", &value, sizeof value));
    EXPECT_EQ(value, 77u);
    EXPECT_FALSE(settings::WriteMachineValue(L"Software\\KorvaneKeyTests\\Missing", L"x", &value, sizeof value));
    EXPECT_TRUE(log.Contains("ERROR : Cannot access to Registry"));
}

TEST_F(MachineValueTest, ValueOfAnotherTypeOrSizeLeavesTheOutput) {
    const wchar_t long_text[] = L"a text longer than the buffer";
    ASSERT_TRUE(settings::WriteMachineValue(kPath, L"t", long_text, sizeof long_text, REG_SZ));
    const WORD two = 2;
    ASSERT_TRUE(settings::WriteMachineValue(kPath, L"short", &two, sizeof two));

    DWORD value = 77;
    EXPECT_FALSE(settings::ReadMachineValue(kPath, L"t", &value, sizeof value));  // text where a DWORD is wanted
    EXPECT_FALSE(settings::ReadMachineValue(kPath, L"short", &value, sizeof value));
    EXPECT_EQ(value, 77u);
    wchar_t text[8] = {L'k', 0};
    EXPECT_FALSE(settings::ReadMachineValue(kPath, L"t", text, sizeof text, REG_SZ));
    EXPECT_STREQ(text, L"k");
}

}  // namespace

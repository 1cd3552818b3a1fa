// The firmware interface against the simulated notebook's library (sim/kest),
// loaded in this process: loading, initialisation, the data block, the error
// reports, the handshake and the command wrappers with their special rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/settingsstore.h"
#include "common/processstate.h"
#include "hardware/kest.h"
#include "simfirmware.h"
#include "vqdrive.h"

namespace {

namespace fw = vqdrive::firmware;
namespace value = vqsim::value;
using Entries = std::vector<std::string>;

// What the fake platform saw, and where it takes the library from.
struct PlatformRecord {
    std::wstring libraryFolder;
    std::vector<std::wstring> loaded;
    std::vector<std::wstring> messages;
    std::vector<int> exits;
    bool throwOnRelease = false;
} g_platform;

HMODULE LoadFromFolder(const wchar_t* name, DWORD* error) {
    g_platform.loaded.push_back(name);
    return kest::RealPlatform().loadLibrary((g_platform.libraryFolder + name).c_str(), error);
}
void ReleaseLibrary(HMODULE module) {
    kest::RealPlatform().freeLibrary(module);
    if (g_platform.throwOnRelease) throw std::runtime_error("release");
}
void RecordMessage(const std::wstring& text) { g_platform.messages.push_back(text); }
void RecordExit(int code) { g_platform.exits.push_back(code); }

std::string Log() { return vqdrive::ReadFileBytes(vqdrive::LogFilePath()); }

// How one report stands in the log: after the "AM"/"PM" of its time, with
// the log's line ends.
std::string Logged(const std::string& text) {
    std::string line = "M: ";
    for (char c : text) {
        if (c == '\n') line += '\r';
        line += c;
    }
    return line + "\r\n";
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

size_t CallsOf(const std::string& command) {
    size_t n = 0;
    for (const std::string& call : fw::Calls()) n += call == command ? 1 : 0;
    return n;
}

class KestTest : public ::testing::Test {
protected:
    void SetUp() override {
        fw::Reset();
        settings::WriteInt(settings::kDebug, 0);
        vqdrive::DeleteFileIfPresent(vqdrive::LogFilePath());
        proc::windowsVersion = 8;
        saved_ = kest::CurrentPlatform();
        g_platform = PlatformRecord{};
        g_platform.libraryFolder = vqdrive::ProgramFolder();
        kest::CurrentPlatform() = {LoadFromFolder, saved_.findExport, ReleaseLibrary, RecordMessage, RecordExit};
    }
    void TearDown() override {
        kest.reset();
        kest::CurrentPlatform() = saved_;
        fw::Reset();
        proc::windowsVersion = 7;
        proc::modelFamily = 0;
    }

    // A firmware interface initialised on the notebook as set up so far.
    CKEST& Started(int expectedInit = 1) {
        kest = std::make_unique<CKEST>();
        EXPECT_EQ(kest->Init(), expectedInit);
        return *kest;
    }
    void UseVariant(const wchar_t* name) {
        proc::windowsVersion = 7;
        g_platform.libraryFolder = vqdrive::ProgramFolder() + L"kest-variants\\" + name + L"\\";
    }
    void ClearLog() { vqdrive::DeleteFileIfPresent(vqdrive::LogFilePath()); }

    std::unique_ptr<CKEST> kest;
    kest::Platform saved_{};
};

TEST_F(KestTest, LoadsTheLibraryOfTheWindowsVersionByBareName) {
    const struct {
        int version;
        const wchar_t* library;
    } cases[] = {{8, L"KEST3.dll"}, {7, L"KEST2.dll"}, {5, L"KEST2.dll"}, {4, L"KEST2.dll"}};
    for (const auto& c : cases) {
        proc::windowsVersion = c.version;
        g_platform.loaded.clear();
        Started();
        EXPECT_EQ(g_platform.loaded, std::vector<std::wstring>{c.library}) << c.version;
        EXPECT_EQ(fw::Text(value::kLibrary), c.library) << c.version;
        kest.reset();
    }
}

TEST_F(KestTest, StockNotebookGivesItsFamilyAndKeepsTheHandshake) {
    proc::modelFamily = 9;
    CKEST& k = Started();
    EXPECT_EQ(proc::modelFamily, 2);  // "R20K1"
    EXPECT_TRUE(k.AnnounceEnabled());
    EXPECT_TRUE(g_platform.messages.empty());
    EXPECT_EQ(Log(), "");
}

TEST_F(KestTest, ModelRecordDecidesTheFamilyOnlyWhenItLiesInsideTheBlock) {
    const struct {
        const wchar_t* model;
        DWORD offset;
        int init;
        int family;
    } cases[] = {
        {L"W5C01", 0x40, 1, 4},
        {L"W5C01", 65536 - 16, 1, 4},      // the identifier ends with the block
        {L"W5C01", 65536 - 15, 0, 0},      // the identifier would cross the end
        {L"W5C01", vqsim::kNoRecord, 0, 0},
        {L"zz", 0x40, 1, 0},               // found, but no family of ours
    };
    for (const auto& c : cases) {
        fw::SetModelRecord(c.model, c.offset);
        proc::modelFamily = 7;
        Started(c.init);
        EXPECT_EQ(proc::modelFamily, c.family) << c.offset;
        kest.reset();
    }
}

TEST_F(KestTest, SignatureNamingTheProgramStopsEveryHandshake) {
    fw::SetSignatureRecord(L"KORVANE VALMORA 2.0");
    CKEST& k = Started();
    EXPECT_FALSE(k.AnnounceEnabled());
    EXPECT_EQ(k.Announce(), CKEST::kHandshakeSkipped);
    EXPECT_EQ(k.Withdraw(), CKEST::kHandshakeSkipped);
    EXPECT_EQ(k.SendHandshake(3), CKEST::kHandshakeSkipped);
    kest.reset();  // the withdrawal at destruction is skipped too
    EXPECT_EQ(fw::Handshakes(), Entries{});
    EXPECT_EQ(CallsOf("0x09"), 0u);
}

TEST_F(KestTest, SignatureOutsideTheBlockOrElsewhereKeepsTheHandshake) {
    for (DWORD offset : {DWORD{65536 - 42}, DWORD{0x300}}) {
        fw::SetSignatureRecord(offset == 0x300 ? L"KORVANE NOTEBOOK" : L"VALMORA", offset);
        EXPECT_TRUE(Started().AnnounceEnabled()) << offset;
        kest.reset();
    }
}

TEST_F(KestTest, AnnounceAndTheWithdrawalAtDestructionReachTheFirmwareInOrder) {
    CKEST& k = Started();
    EXPECT_EQ(k.Announce(), 1);
    EXPECT_EQ(k.SendHandshake(130), 1);
    kest.reset();
    EXPECT_EQ(fw::Handshakes(), (Entries{"9/3", "9/2", "9/130", "9/131", "9/130"}));
}

TEST_F(KestTest, FailedFirstHalfOfAPairStillSendsTheSecond) {
    CKEST& k = Started();
    fw::SetFault(CKEST::kPresence, 6, 1);
    EXPECT_EQ(k.Announce(), 0);
    EXPECT_EQ(fw::Handshakes(), Entries{"9/2"});
    EXPECT_NE(Log().find(Logged("ERROR! Requesting Ownership of mutex fail")), std::string::npos);
}

TEST_F(KestTest, MissingLibraryShowsItsBoxAndEndsTheProcess) {
    g_platform.libraryFolder = vqdrive::ProgramFolder() + L"kest-variants\\";  // no library there
    CKEST& k = Started(0);
    EXPECT_EQ(g_platform.messages, std::vector<std::wstring>{L"Cannot find KEST.dll(126)!\r\nValmora will be closed"});
    EXPECT_EQ(g_platform.exits, std::vector<int>{-1});
    EXPECT_FALSE(k.HasLibrary());
    BYTE level = 42;
    EXPECT_EQ(k.GetBrightness(&level), 0);
    EXPECT_EQ(level, 42);
    EXPECT_EQ(Log(), "");
}

TEST_F(KestTest, LibraryWithoutDataBlockExportIsReleasedAndEverythingAfterIsSilent) {
    UseVariant(L"nodata");
    CKEST& k = Started(CKEST::kDataBlockMissing);
    EXPECT_EQ(g_platform.messages,
              std::vector<std::wstring>{L"Can't Find pfGetBiosDataThroughDriver from KEST2.DLL\r\n"});
    EXPECT_TRUE(g_platform.exits.empty());
    EXPECT_FALSE(k.HasLibrary());
    BYTE radios[3] = {7, 7, 7};
    EXPECT_EQ(k.GetRFOnOffStatus(radios), 0);
    EXPECT_EQ(k.SetRFOnOffStatus(radios), 0);
    EXPECT_EQ(k.Announce(), 0);
    EXPECT_EQ(k.ClassifyModel(), 0);
    kest.reset();
    EXPECT_EQ(fw::Calls(), Entries{});
    EXPECT_EQ(Log(), "");
}

TEST_F(KestTest, InitialisationFailureIsReportedAndLaterCallsStillGoToTheLibrary) {
    fw::SetValue(value::kInitError, 2);
    CKEST& k = Started(0);
    EXPECT_NE(Log().find(Logged("ERROR! Kmdfmemio driver load fail")), std::string::npos);
    EXPECT_TRUE(k.HasLibrary());
    EXPECT_EQ(proc::modelFamily, 0);
    ClearLog();
    BYTE level = 42;
    EXPECT_EQ(k.GetBrightness(&level), 0);
    EXPECT_EQ(level, 42);
    EXPECT_NE(Log().find(Logged("ERROR! Kest not initialized yet")), std::string::npos);
}

TEST_F(KestTest, EachErrorCodeIsReportedWithItsTextAndLeavesTheOutput) {
    const std::pair<int, const char*> cases[] = {
        {1, "ERROR! Kest not supported"},
        {2, "ERROR! Kmdfmemio driver load fail"},
        {3, "ERROR! Function not supported"},
        {4, "ERROR! Kmdfmemio driver not installed"},
        {5, "ERROR! \"KEST\" mutex creation fail"},
        {6, "ERROR! Requesting Ownership of mutex fail"},
        {7, "ERROR! MemIO function call fail"},
        {8, "ERROR! Kest not initialized yet"},
        {9, "ERROR! Memory allocation fail\r\n"},
        {12, "KEST error 12"},  // from the library's own texts
        {-3, "KEST error -3"},
    };
    CKEST& k = Started();
    for (const auto& [code, text] : cases) {
        ClearLog();
        fw::SetFault(CKEST::kGetBrightness, code, 1);
        BYTE level = 42;
        EXPECT_EQ(k.GetBrightness(&level), 0) << code;
        EXPECT_EQ(level, 42) << code;
        EXPECT_EQ(Count(Log(), "M: "), 1u) << code;
        EXPECT_NE(Log().find(Logged(text)), std::string::npos) << code << ": " << Log();
    }
}

TEST_F(KestTest, UnknownCodeFromALibraryWithoutErrorTextsIsNotReported) {
    UseVariant(L"noerrortext");
    CKEST& k = Started();
    fw::SetFault(CKEST::kSetBrightness, 12, 1);
    EXPECT_EQ(k.SetBrightness(3), 0);
    EXPECT_EQ(Log(), "");
    fw::SetFault(CKEST::kSetBrightness, 3, 1);  // the known codes keep their texts
    EXPECT_EQ(k.SetBrightness(3), 0);
    EXPECT_NE(Log().find(Logged("ERROR! Function not supported")), std::string::npos);
}

struct RadioCase {
    BYTE invalidByte;
    DWORD invalidAnswers;
    int result;
    size_t reports;
    size_t calls;
};

class RadioStatusTest : public KestTest, public ::testing::WithParamInterface<RadioCase> {};

TEST_P(RadioStatusTest, InvalidFirstByteIsReportedAndAskedAgainUpToSixTimes) {
    const RadioCase& c = GetParam();
    fw::SetValue(value::kRadio1, 1);
    fw::SetValue(value::kRadio3, 1);
    fw::SetInvalidRadioAnswers(c.invalidAnswers, c.invalidByte);
    CKEST& k = Started();
    BYTE radios[3] = {7, 7, 7};
    EXPECT_EQ(k.GetRFOnOffStatus(radios), c.result);
    const std::vector<BYTE> expected = c.result ? std::vector<BYTE>{1, 0, 1} : std::vector<BYTE>{7, 7, 7};
    EXPECT_EQ(std::vector<BYTE>(radios, radios + 3), expected);
    EXPECT_EQ(Count(Log(), Logged("fail: KEST::GetRFOnOffStatus()")), c.reports);
    EXPECT_EQ(CallsOf("0x69"), c.calls);
}

INSTANTIATE_TEST_SUITE_P(Answers, RadioStatusTest,
                         ::testing::Values(RadioCase{0x80, 0, 1, 0, 1}, RadioCase{0x80, 5, 1, 5, 6},
                                           RadioCase{0xFF, 6, 0, 6, 6}, RadioCase{0x80, 9, 0, 6, 6},
                                           RadioCase{3, 1, 1, 1, 2}));

TEST_F(KestTest, RadioStatusWithFirstRadioNotAvailableFails) {
    fw::SetValue(value::kRadio1, 2);
    CKEST& k = Started();
    BYTE radios[3] = {7, 7, 7};
    EXPECT_EQ(k.GetRFOnOffStatus(radios), 0);
    EXPECT_EQ(radios[0], 7);
    EXPECT_EQ(CallsOf("0x69"), 1u);
    EXPECT_EQ(Log(), "");
}

TEST_F(KestTest, FailedRadioCallIsNotTakenForAllRadiosOff) {
    CKEST& k = Started();
    fw::SetFault(CKEST::kGetRadios, 7, 1);
    BYTE radios[3] = {7, 7, 7};
    EXPECT_EQ(k.GetRFOnOffStatus(radios), 0);
    EXPECT_EQ(std::vector<BYTE>(radios, radios + 3), (std::vector<BYTE>{7, 7, 7}));
    EXPECT_EQ(CallsOf("0x69"), 1u);
    EXPECT_EQ(Count(Log(), "M: "), 1u);  // the call's own report only
}

TEST_F(KestTest, SettingTheRadiosIgnoresTheFirmwaresAnswer) {
    CKEST& k = Started();
    const BYTE radios[3] = {1, 1, 0};
    EXPECT_EQ(k.SetRFOnOffStatus(radios), 1);
    EXPECT_EQ(fw::Value(value::kRadio1, 9), 1u);
    EXPECT_EQ(fw::Value(value::kRadio2, 9), 1u);
    EXPECT_EQ(fw::Value(value::kRadio3, 9), 0u);
    fw::SetFault(CKEST::kSetRadios, 7, 1);
    const BYTE off[3] = {0, 0, 0};
    EXPECT_EQ(k.SetRFOnOffStatus(off), 1);
    EXPECT_EQ(fw::Value(value::kRadio1, 9), 1u);
    EXPECT_NE(Log().find(Logged("ERROR! MemIO function call fail")), std::string::npos);
}

TEST_F(KestTest, ByteCommandsReachTheirFirmwareState) {
    using Getter = int (CKEST::*)(BYTE*);
    using Setter = int (CKEST::*)(BYTE);
    const struct {
        Getter get;
        Setter set;
        const wchar_t* state;
        BYTE data;
    } cases[] = {
        {&CKEST::GetBrightness, &CKEST::SetBrightness, value::kBrightness, 7},
        {&CKEST::GetBacklight, &CKEST::SetBacklight, value::kBacklight, 0},
        {&CKEST::GetEtiquetteMode, &CKEST::SetEtiquetteMode, value::kEtiquette, 1},
        {&CKEST::GetWirelessStatus, &CKEST::SetWirelessStatus, value::kWireless, 0},
    };
    CKEST& k = Started();
    for (const auto& c : cases) {
        EXPECT_EQ((k.*c.set)(c.data), 1);
        EXPECT_EQ(fw::Value(c.state, 99), c.data);
        BYTE read = 99;
        EXPECT_EQ((k.*c.get)(&read), 1);
        EXPECT_EQ(read, c.data);
    }
    fw::SetValue(value::kDisplays, 3);
    BYTE displays = 0;
    EXPECT_EQ(k.GetDisplayState(&displays), 1);
    EXPECT_EQ(displays, 3);
    EXPECT_EQ(Log(), "");
}

TEST_F(KestTest, OneByteWirelessQueryFailsWhenTheRadioIsNotAvailable) {
    fw::SetValue(value::kWireless, 2);
    fw::SetValue(value::kWireless2, 1);
    CKEST& k = Started();
    BYTE state = 9;
    EXPECT_EQ(k.GetWirelessStatus(&state), 0);
    EXPECT_EQ(state, 9);
    BYTE both[2] = {9, 9};
    EXPECT_EQ(k.GetWirelessStatus2(both), 1);  // the two-byte form has no such rule
    EXPECT_EQ(both[0], 2);
    EXPECT_EQ(both[1], 1);
}

TEST_F(KestTest, TwoByteWirelessSetWritesBothBytes) {
    fw::SetValue(value::kWirelessForm, 2);
    CKEST& k = Started();
    const BYTE both[2] = {1, 0};
    EXPECT_EQ(k.SetWirelessStatus2(both), 1);
    EXPECT_EQ(fw::Value(value::kWireless, 9), 1u);
    EXPECT_EQ(fw::Value(value::kWireless2, 9), 0u);
}

TEST_F(KestTest, ClassificationWithoutATextAsksTheFirmwareForTheModelName) {
    CKEST& k = Started();
    fw::SetModelName(L"p7-tab");
    EXPECT_EQ(k.ClassifyModel(), 1);
    EXPECT_EQ(proc::modelFamily, 10);
    fw::SetFault(CKEST::kModelName, 3, 1);
    EXPECT_EQ(k.ClassifyModel(), 0);
    EXPECT_EQ(proc::modelFamily, 0);
    EXPECT_EQ(k.ClassifyModel("h86"), 1);
    EXPECT_EQ(proc::modelFamily, 16);
}

TEST_F(KestTest, SecondListMembershipComesFromTheModelName) {
    CKEST& k = Started();
    EXPECT_EQ(k.IsSecondListModel(), 0);
    fw::SetModelName(L"vq-s31l");
    EXPECT_EQ(k.IsSecondListModel(), 1);
}

TEST_F(KestTest, ModelNameIsCutToTenCharactersWhenTheFirmwareSendsNoEnd) {
    fw::SetModelName(L"ABCDEFGHIJKLMNOP");  // fills the whole data area
    CKEST& k = Started();
    char name[CKEST::kModelTextBytes];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(k.GetModelName(name), 1);
    EXPECT_EQ(std::string(name), "ABCDEFGHIJ");
}

TEST_F(KestTest, FailingReleaseAtDestructionIsReported) {
    Started();
    g_platform.throwOnRelease = true;
    kest.reset();
    EXPECT_EQ(fw::Handshakes(), (Entries{"9/131", "9/130"}));
    EXPECT_NE(Log().find(Logged("fail: freelibary(kest)")), std::string::npos);
}

}  // namespace

#include "hardware/kest.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "hardware/kestdatablock.h"
#include "hardware/kestmodels.h"

namespace {
// The library's exports, all __stdcall with undecorated names. The library
// is built for the program's architecture; its values are fixed-width on both.
using InitBiosInterfaceFn = std::int32_t(WINAPI*)();
using GetBiosDataFn = std::int32_t(WINAPI*)(std::uint8_t* block);
using CallBiosInterfaceFn = std::int32_t(WINAPI*)(std::uint16_t command, std::uint8_t* data);
using GetKestErrorMsgFn = std::int32_t(WINAPI*)(std::int32_t code, wchar_t* text, std::int32_t length);
static_assert(sizeof(wchar_t) == 2, "the error text is UTF-16");
static_assert(sizeof(BYTE) == sizeof(std::uint8_t) && sizeof(WORD) == sizeof(std::uint16_t));
static_assert(CKEST::kCallDataBytes == 11 && kest::kDataBlockBytes == 65536, "the library's data areas");

constexpr int kNoCall = -1;  // no library, no export, or the call threw: already handled
constexpr int kRadioAttempts = 6;
constexpr size_t kErrorTextChars = 256;
constexpr size_t kModelTextChars = 10;

const wchar_t* const kErrorTexts[] = {
    L"ERROR! Kest not supported",
    L"ERROR! Kmdfmemio driver load fail",
    L"ERROR! Function not supported",
    L"ERROR! Kmdfmemio driver not installed",
    L"ERROR! \"KEST\" mutex creation fail",
    L"ERROR! Requesting Ownership of mutex fail",
    L"ERROR! MemIO function call fail",
    L"ERROR! Kest not initialized yet",
    L"ERROR! Memory allocation fail\r\n",
};
}  // namespace

CKEST::CKEST(IKestPlatform& platform) : m_platform(platform), m_hKest(platform) { proc::modelFamily = 0; }

CKEST::~CKEST() {
    try {
        Withdraw();
    } catch (...) {
        ReportCaught(L"fail: KEST withdrawal at the end");
    }
    try {
        m_hKest.Release();
    } catch (...) {
        ReportCaught(L"fail: freelibary(kest)");
    }
}

bool CKEST::LoadLibraryForWindows() {
    const wchar_t* name = !proc::IsWindows7OrLater() ? L"KEST2.dll" : L"KEST3.dll";
    DWORD error = 0;
    m_hKest.Reset(m_platform.LoadLibraryNamed(name, &error));
    if (HasLibrary()) return true;
    m_platform.ShowMessage(
        FormatText(L"Cannot find KEST.dll(%d)!\r\nValmora will be closed", static_cast<int>(error)));
    m_platform.EndProcess(-1);
    return false;
}

int CKEST::Init() {
    try {
        if (!LoadLibraryForWindows()) return 0;
        auto initialise = m_hKest.Export<InitBiosInterfaceFn>("InitBIOSInterface");
        if (!initialise) {
            ReportError(L"fail: KEST::InitBIOSInterface()");
            return 0;
        }
        if (const int code = initialise(); code != 0) {
            ReportCallError(code);
            return 0;
        }
        if (!m_hKest.Export<GetBiosDataFn>("GetBiosDataThroughDrvr")) {
            m_hKest.Release();
            m_platform.ShowMessage(L"Can't Find pfGetBiosDataThroughDriver from KEST2.DLL\r\n");
            return kDataBlockMissing;
        }
        bool modelFound = false;
        ReadDataBlock(&modelFound);
        return modelFound ? 1 : 0;
    } catch (...) {
        ReportCaught(L"fail: KEST::Init()");
        return 0;
    }
}

void CKEST::ReadDataBlock(bool* modelFound) {
    std::vector<unsigned char> block(kest::kDataBlockBytes, 0);
    m_hKest.Export<GetBiosDataFn>("GetBiosDataThroughDrvr")(block.data());

    // Without a model record the identifier is empty, and so is the family.
    const std::string model = kest::FindRecordText(block.data(), block.size(), kest::kModelRecord, modelFound);
    ClassifyModel(model.c_str());

    bool signatureFound = false;
    const std::string signature =
        kest::FindRecordText(block.data(), block.size(), kest::kSignatureRecord, &signatureFound);
    // A firmware that names this program takes care of the presence itself.
    if (signature.find("VALMORA") != std::string::npos) m_bAnnounceEnabled = 0;
}

std::wstring CKEST::ErrorText(int code) const {
    if (code >= 1 && code <= static_cast<int>(sizeof kErrorTexts / sizeof kErrorTexts[0])) {
        return kErrorTexts[code - 1];
    }
    auto describe = m_hKest.Export<GetKestErrorMsgFn>("GetKestErrorMsgW");
    if (!describe) return {};
    wchar_t text[kErrorTextChars] = {};
    try {
        describe(code, text, static_cast<int>(kErrorTextChars));
    } catch (...) {
        ReportCaught(L"fail: GetKestErrorMsgW");
        return {};
    }
    text[kErrorTextChars - 1] = 0;  // the library's text may come unterminated
    return text;
}

void CKEST::ReportCallError(int code) const {
    const std::wstring text = ErrorText(code);
    if (!text.empty()) ReportError(text);
}

int CKEST::Call(WORD command, BYTE* data, size_t inputBytes, size_t outputBytes, const wchar_t* operation) {
    if (!HasLibrary()) return kNoCall;
    try {
        auto call = m_hKest.Export<CallBiosInterfaceFn>("CallBIOSInterface");
        if (!call) {
            ReportError(FormatText(L"fail: KEST::%s()", operation));
            return kNoCall;
        }
        BYTE area[kCallDataBytes] = {};
        std::memcpy(area, data, inputBytes);
        const int code = call(command, area);
        if (code != 0) {
            ReportCallError(code);
            return code;
        }
        std::memcpy(data, area, outputBytes);
        return 0;
    } catch (...) {
        ReportCaught(FormatText(L"fail: KEST::%s()", operation).c_str());
        return kNoCall;
    }
}

int CKEST::GetByte(WORD command, BYTE* value, const wchar_t* operation) {
    BYTE answer = 0;
    if (Call(command, &answer, 0, 1, operation) != 0) return 0;
    *value = answer;
    return 1;
}

int CKEST::SetBytes(WORD command, const BYTE* values, size_t count, const wchar_t* operation) {
    BYTE input[kCallDataBytes] = {};
    std::memcpy(input, values, count);
    return Call(command, input, count, 0, operation) == 0 ? 1 : 0;
}

int CKEST::SendHandshake(BYTE data) {
    if (!m_bAnnounceEnabled) return kHandshakeSkipped;
    return SetBytes(kPresence, &data, 1, L"SendHandshake");
}

int CKEST::Announce() {
    if (!m_bAnnounceEnabled) return kHandshakeSkipped;
    const int first = SendHandshake(kAnnounceFirst);
    const int second = SendHandshake(kAnnounceSecond);
    return first == 1 && second == 1 ? 1 : 0;
}

int CKEST::Withdraw() {
    if (!m_bAnnounceEnabled) return kHandshakeSkipped;
    const int first = SendHandshake(kWithdrawFirst);
    const int second = SendHandshake(kWithdrawSecond);
    return first == 1 && second == 1 ? 1 : 0;
}

int CKEST::GetModelName(char* text) {
    BYTE answer[kCallDataBytes] = {};
    if (Call(kModelName, answer, 0, kCallDataBytes, L"GetModelName") != 0) return 0;
    const char* name = reinterpret_cast<const char*>(answer);
    std::memset(text, 0, kModelTextBytes);
    std::memcpy(text, name, strnlen(name, kModelTextChars));
    return 1;
}

int CKEST::ClassifyModel(const char* modelText) {
    char text[kModelTextBytes] = {};
    int result = 1;
    if (modelText) {
        std::strncpy(text, modelText, kModelTextBytes - 1);
    } else {
        result = GetModelName(text);
    }
    proc::modelFamily = kest::ModelFamilyOf(text);
    return result;
}

int CKEST::IsSecondListModel() {
    char text[kModelTextBytes] = {};
    GetModelName(text);
    return kest::IsSecondListModelText(text) ? 1 : 0;
}

int CKEST::GetBrightness(BYTE* level) { return GetByte(kGetBrightness, level, L"GetBrightness"); }
int CKEST::SetBrightness(BYTE level) { return SetBytes(kSetBrightness, &level, 1, L"SetBrightness"); }

int CKEST::GetWirelessStatus(BYTE* state) {
    BYTE answer = 0;
    if (!GetByte(kGetWireless, &answer, L"GetWirelessStatus")) return 0;
    if (answer == 2) return 0;  // the firmware cannot switch this radio
    *state = answer;
    return 1;
}
int CKEST::SetWirelessStatus(BYTE state) { return SetBytes(kSetWireless, &state, 1, L"SetWirelessStatus"); }

int CKEST::GetWirelessStatus2(BYTE state[2]) {
    BYTE answer[2] = {};
    if (Call(kGetWireless, answer, 0, 2, L"GetWirelessStatus2") != 0) return 0;
    std::memcpy(state, answer, 2);
    return 1;
}
int CKEST::SetWirelessStatus2(const BYTE state[2]) { return SetBytes(kSetWireless, state, 2, L"SetWirelessStatus2"); }

int CKEST::GetBacklight(BYTE* on) { return GetByte(kGetBacklight, on, L"GetBacklight"); }
int CKEST::SetBacklight(BYTE on) { return SetBytes(kSetBacklight, &on, 1, L"SetBacklight"); }
int CKEST::GetEtiquetteMode(BYTE* on) { return GetByte(kGetEtiquette, on, L"GetEtiquetteMode"); }
int CKEST::SetEtiquetteMode(BYTE on) { return SetBytes(kSetEtiquette, &on, 1, L"SetEtiquetteMode"); }
int CKEST::GetDisplayState(BYTE* state) { return GetByte(kGetDisplays, state, L"GetDisplayState"); }

int CKEST::GetRFOnOffStatus(BYTE status[3]) {
    for (int attempt = 0; attempt < kRadioAttempts; ++attempt) {
        BYTE answer[3] = {};
        // A failed call is not an answer: its zeros would read as "all off".
        if (Call(kGetRadios, answer, 0, 3, L"GetRFOnOffStatus") != 0) return 0;
        if (answer[0] <= 2) {
            if (answer[0] == 2) return 0;
            std::memcpy(status, answer, 3);
            return 1;
        }
        ReportError(L"fail: KEST::GetRFOnOffStatus()");
    }
    return 0;
}

int CKEST::SetRFOnOffStatus(const BYTE status[3]) {
    if (!HasLibrary()) return 0;
    SetBytes(kSetRadios, status, 3, L"SetRFOnOffStatus");
    return 1;
}

#include "simfirmware.h"

#include <sstream>

namespace vqdrive::firmware {

namespace {
const vqsim::FirmwareStore& Store() {
    static const vqsim::FirmwareStore store;
    return store;
}

std::vector<std::string> Entries(const wchar_t* name) {
    std::vector<std::string> entries;
    std::wistringstream in(Text(name));
    for (std::wstring entry; in >> entry;) entries.emplace_back(entry.begin(), entry.end());
    return entries;
}
}  // namespace

void Reset() { vqsim::FirmwareStore::ResetAll(); }

void SetModelRecord(const std::wstring& identifier, DWORD offset) {
    Store().WriteText(vqsim::value::kModel, identifier);
    Store().WriteDword(vqsim::value::kModelOffset, offset);
}

void SetSignatureRecord(const std::wstring& text, DWORD offset) {
    Store().WriteText(vqsim::value::kSignature, text);
    Store().WriteDword(vqsim::value::kSignatureOffset, offset);
}

void SetModelName(const std::wstring& name) { Store().WriteText(vqsim::value::kModelName, name); }

void SetValue(const wchar_t* name, DWORD data) { Store().WriteDword(name, data); }
DWORD Value(const wchar_t* name, DWORD fallback) { return Store().ReadDword(name, fallback); }
std::wstring Text(const wchar_t* name) { return Store().ReadText(name, L""); }

void SetFault(WORD command, int code, int count) {
    const vqsim::FirmwareStore faults(vqsim::kFaultsKey);
    faults.WriteText(vqsim::FaultName(command).c_str(), std::to_wstring(code) + L" " + std::to_wstring(count));
}

void SetInvalidRadioAnswers(DWORD count, BYTE firstByte) {
    SetValue(vqsim::value::kInvalidRadioAnswers, count);
    SetValue(vqsim::value::kInvalidRadioByte, firstByte);
}

std::vector<std::string> Handshakes() { return Entries(vqsim::value::kHandshakes); }
std::vector<std::string> Calls() { return Entries(vqsim::value::kCalls); }

}  // namespace vqdrive::firmware

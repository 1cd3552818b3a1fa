#include "simintel.h"

#include <sstream>

#include "vqdrive.h"

namespace vqdrive::intel {

namespace graphics = vqsim::graphics;

namespace {
const graphics::GraphicsStore& Store() {
    static const graphics::GraphicsStore store;
    return store;
}

std::wstring OutputName(const wchar_t* output, const wchar_t* suffix) { return std::wstring(output) + suffix; }

bool CallRegistration(const char* entry) {
    const std::wstring path = ProgramFolder() + L"igfxsim.dll";
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) return false;
    using Registration = HRESULT(WINAPI*)();
    auto call = reinterpret_cast<Registration>(reinterpret_cast<void*>(GetProcAddress(module, entry)));
    const bool done = call && SUCCEEDED(call());
    FreeLibrary(module);
    return done;
}
}  // namespace

void Reset() { graphics::GraphicsStore::ResetAll(); }

bool Register() { return CallRegistration("DllRegisterServer"); }
bool Unregister() { return CallRegistration("DllUnregisterServer"); }

void SetConnected(const wchar_t* output, bool connected) {
    Store().WriteDword(OutputName(output, graphics::value::kConnectedSuffix), connected ? 1 : 0);
}
void SetDeviceId(const wchar_t* output, DWORD id) {
    Store().WriteDword(OutputName(output, graphics::value::kIdSuffix), id);
}
DWORD DeviceId(const wchar_t* output) {
    for (const graphics::Output& known : graphics::kOutputs) {
        if (std::wstring(known.name) == output) {
            return Store().ReadDword(graphics::OutputValue(known, graphics::value::kIdSuffix), known.stockId);
        }
    }
    return 0;
}
void SetRotation(const wchar_t* output, DWORD index) {
    Store().WriteDword(OutputName(output, graphics::value::kRotationSuffix), index);
}
DWORD Rotation(const wchar_t* output) {
    return Store().ReadDword(OutputName(output, graphics::value::kRotationSuffix), 0);
}
void SetShown(DWORD display1, DWORD display2) {
    Store().WriteDword(graphics::value::kDisplay1, display1);
    Store().WriteDword(graphics::value::kDisplay2, display2);
}

void SetValue(const wchar_t* name, DWORD data) { Store().WriteDword(name, data); }
DWORD Value(const wchar_t* name, DWORD fallback) { return Store().ReadDword(name, fallback); }
std::wstring Text(const wchar_t* name) { return Store().ReadText(name); }

void SetFault(const wchar_t* request, DWORD count) {
    const graphics::GraphicsStore faults(graphics::kFaultsKey);
    faults.WriteDword(request, count);
}

std::vector<std::string> Journal() {
    std::vector<std::string> lines;
    std::wistringstream in(Store().ReadText(graphics::value::kJournal));
    for (std::wstring line; std::getline(in, line);) {
        if (!line.empty()) lines.emplace_back(line.begin(), line.end());
    }
    return lines;
}

std::vector<std::string> JournalOf(const std::string& request) {
    std::vector<std::string> lines;
    const std::string prefix = request + " ";
    for (const std::string& line : Journal()) {
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line.substr(prefix.size()));
    }
    return lines;
}

void ClearJournal() { Store().WriteText(graphics::value::kJournal, L""); }

}  // namespace vqdrive::intel

#include "hardware/systeminfo.h"

#include <cwchar>
#include <string>

#include "common/settingsindex.h"
#include "audio/audiomixer.h"
#include "audio/audiovista.h"
#include "common/commondefine.h"
#include "common/processstate.h"
#include "hardware/srsdevice.h"

namespace {

constexpr DWORD kAccelerationOff = 0;
constexpr DWORD kAccelerationFull = 15;

// Owns an open registry key.
class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey() {
        if (m_hKey) RegCloseKey(m_hKey);
    }
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    bool Open(HKEY parent, const std::wstring& path, REGSAM access) {
        // Without a parent the failure is the parent's: no error number of its own.
        m_error = parent ? RegOpenKeyExW(parent, path.c_str(), 0, access, &m_hKey) : ERROR_SUCCESS;
        return parent && m_error == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_hKey; }
    unsigned long Error() const { return static_cast<unsigned long>(m_error); }

private:
    HKEY m_hKey = nullptr;
    LSTATUS m_error = ERROR_SUCCESS;
};

// The name of the key's first subkey; empty when there is none or no key.
bool FirstSubkey(HKEY key, std::wstring* name) {
    wchar_t buffer[256] = {};
    if (!key || RegEnumKeyW(key, 0, buffer, 256) != ERROR_SUCCESS) return false;
    *name = buffer;
    return true;
}

// DirectSound hardware acceleration of the HD audio device: off while the SRS
// effects are off, full otherwise. Each failing step is reported and the
// walk goes on, so that the report names every key that was missing.
void SetDirectSoundAcceleration(BYTE srsValue) {
    const std::wstring base = settings::kSoundAcceleration.path;
    CRegistryKey hdaudio;
    if (!hdaudio.Open(HKEY_LOCAL_MACHINE, base, KEY_READ)) {
        ReportError(FormatText(L"Fail: RegOpenKey() \r\n%s", base.c_str()), hdaudio.Error());
    }
    std::wstring device;
    if (!FirstSubkey(hdaudio.Get(), &device)) ReportError(FormatText(L"Fail: RegEnumKey() \r\n%s", base.c_str()));

    const std::wstring devicePath = base + L"\\" + device;
    CRegistryKey deviceKey;
    if (!deviceKey.Open(hdaudio.Get(), device, KEY_READ)) {
        ReportError(FormatText(L"Fail: RegOpenKey() \r\n%s", devicePath.c_str()), deviceKey.Error());
    }
    std::wstring instance;
    if (!FirstSubkey(deviceKey.Get(), &instance)) {
        ReportError(FormatText(L"Fail: RegEnumKey() \r\n%s", devicePath.c_str()));
    }

    const std::wstring mixer = FormatText(L"%s\\%s\\%s", device.c_str(), instance.c_str(),
                                          settings::kSoundAccelerationSubkey);
    CRegistryKey mixerKey;
    if (!mixerKey.Open(hdaudio.Get(), mixer, KEY_READ | KEY_SET_VALUE)) {
        ReportError(FormatText(L"Fail: RegOpenKey() \r\n%s", (base + L"\\" + mixer).c_str()), mixerKey.Error());
    }
    const DWORD acceleration = srsValue == srs::kNoDevice ? kAccelerationOff : kAccelerationFull;
    if (!mixerKey.Get() ||
        RegSetValueExW(mixerKey.Get(), settings::kSoundAcceleration.name, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&acceleration), sizeof acceleration) != ERROR_SUCCESS) {
        ReportError(L"RegSetValueEx(Acceleration)");
    }
}

}  // namespace

CSystemInfo::CSystemInfo(IKestPlatform& firmware, ISysInfoPlatform& platform, IMixerPlatform& mixer,
                         IEndpointPlatform& endpoints)
    : CKEST(firmware), m_sysInfoPlatform(platform), m_mixerPlatform(mixer), m_endpointPlatform(endpoints) {}

// The audio object goes first; the firmware interface then withdraws the
// program and releases its library.
CSystemInfo::~CSystemInfo() { m_pAudio.reset(); }

int CSystemInfo::Init(HWND ownerWindow) {
    CKEST::Init();
    if (Announce() == 0) return 0;
    m_hOwnerWindow = ownerWindow;
    CreateAudio();
    return 1;
}

int CSystemInfo::CreateAudio() {
    m_pAudio.reset();
    if (!proc::IsVistaOrLater()) {
        m_pAudio = std::make_unique<CAudioMixer>(m_mixerPlatform);
    } else {
        m_pAudio = std::make_unique<CAudioVista>(m_endpointPlatform);
    }
    return m_pAudio->Initialize(m_hOwnerWindow);
}

int CSystemInfo::QueryAudio(int (CAudio::*query)(int*), int* value, const wchar_t* trace, const wchar_t* report) {
    if (!m_pAudio) return 1;
    if ((m_pAudio.get()->*query)(value)) {
        Trace(FormatText(trace, *value));
        return 1;
    }
    // The device may have gone or changed: the next call gets a fresh object.
    CreateAudio();
    ReportError(report);
    return 0;
}

int CSystemInfo::GetSoundOnOff(int* mute) {
    return QueryAudio(&CAudio::GetMasterVolumeMute, mute, L"audio mute get %d", L"fail: GetSoundOnOff()");
}

int CSystemInfo::SetSoundOnOff(int mute) {
    // The audio object has reported its own failure; the caller must not
    // show a mute state that was not set.
    if (!m_pAudio) return 1;
    const int result = m_pAudio->SetMasterVolumeMute(mute);
    Trace(FormatText(L"audio mute set %d -> %d", mute, result));
    return result;
}

int CSystemInfo::GetVolumeLevel(int* level) {
    return QueryAudio(&CAudio::GetMasterVolumeLevel, level, L"audio level get %d", L"fail: GetVolumeLevel()");
}

int CSystemInfo::SetVolumeLevel(int level) {
    const int result = m_pAudio ? m_pAudio->SetMasterVolumeLevel(level) : 0;
    Trace(FormatText(L"audio level set %d -> %d", level, result));
    if (result) return 1;
    ReportError(L"fail: SetVolumeLevel()");
    return 0;
}

int CSystemInfo::IsAudioDeviceChanged(int* changed) {
    auto* mixer = dynamic_cast<CAudioMixer*>(m_pAudio.get());
    return mixer ? mixer->IsDeviceChanged(changed) : 0;
}

int CSystemInfo::GetBatteryCapacityStatus(int* percent) {
    SYSTEM_POWER_STATUS status{};
    if (!m_sysInfoPlatform.GetPowerStatus(&status)) {
        const DWORD error = GetLastError();
        *percent = 0;
        ReportError(FormatText(L"fail: GetBatteryCapacityStatus(), GetLastError()=%d", static_cast<int>(error)), error);
        return 0;
    }
    *percent = status.BatteryLifePercent;
    return 1;
}

int CSystemInfo::GetSRSEffect(BYTE* state) {
    CSRSDevice device(m_sysInfoPlatform);
    if (!device.Open()) {
        *state = srs::kNoDevice;
        return 0;
    }
    ULONG selection = 0;
    ULONG on = 0;
    if (!device.Get(srs::kSelectionSet, srs::kSelectionId, &selection)) {
        *state = srs::kUnknownSelection;
    } else if (selection == 0) {
        device.Get(srs::kEffectASet, srs::kSwitchId, &on);
        *state = on ? srs::kEffectAOn : srs::kEffectAOff;
    } else if (selection == 1) {
        device.Get(srs::kEffectBSet, srs::kSwitchId, &on);
        *state = on ? srs::kEffectBOn : srs::kEffectBOff;
    } else {
        *state = srs::kUnknownSelection;
    }
    return 1;
}

int CSystemInfo::SetSRSEffect(BYTE value) {
    BYTE current = srs::kNoDevice;
    GetSRSEffect(&current);
    if (current == srs::kUnknownSelection || current == srs::kNoDevice) return 0;
    CSRSDevice device(m_sysInfoPlatform);
    if (!device.Open()) return 0;
    if (value == srs::kNoDevice) {
        device.Set(srs::kEffectBSet, srs::kSwitchId, 0);
        device.Set(srs::kEffectASet, srs::kSwitchId, 0);
    } else if (value == srs::kEffectAOn) {
        device.Set(srs::kSelectionSet, srs::kSelectionId, 0);
        device.Set(srs::kEffectASet, srs::kSwitchId, 1);
        device.Set(srs::kEffectBSet, srs::kSwitchId, 0);
    } else {
        device.Set(srs::kSelectionSet, srs::kSelectionId, 1);
        device.Set(srs::kEffectBSet, srs::kSwitchId, 1);
        device.Set(srs::kEffectASet, srs::kSwitchId, 0);
    }
    return 1;
}

int CSystemInfo::ApplySRSSelection(BYTE value) {
    SetDirectSoundAcceleration(value);
    return SetSRSEffect(value);
}

// The audio driver's SRS sound effects, reached as kernel-streaming
// properties of the first audio device interface that answers them. Opened
// for one get or set and closed again.
#pragma once

#include <windows.h>

#include "hardware/sysinfoplatform.h"

namespace srs {

// A kernel-streaming property request: set, property and get/set flag.
struct PropertyRequest {
    GUID set;
    ULONG id;
    ULONG flags;
};
static_assert(sizeof(PropertyRequest) == 24);

constexpr DWORD kPropertyIoctl = 0x2F0003;  // IOCTL_KS_PROPERTY
constexpr ULONG kGetFlag = 1;
constexpr ULONG kSetFlag = 2;

// KSCATEGORY_AUDIO {6994AD04-93EF-11D0-A3CC-00A0C9223196}
constexpr GUID kAudioInterfaceClass = {0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
// Which effect is selected: 0 effect A, 1 effect B.
constexpr GUID kSelectionSet = {0x03CEE026, 0xE4B7, 0x4BDF, {0x8F, 0x62, 0x93, 0xA0, 0xE6, 0xE3, 0x2E, 0x40}};
constexpr ULONG kSelectionId = 3;
// On (non-zero) or off of each effect.
constexpr GUID kEffectASet = {0x06DD9F47, 0xF064, 0x4016, {0xB4, 0x17, 0x44, 0xB5, 0x79, 0xF6, 0xAF, 0x27}};
constexpr GUID kEffectBSet = {0x044AEFB5, 0x4590, 0x420E, {0x9F, 0x05, 0x73, 0xFA, 0xC1, 0x9F, 0x0B, 0x27}};
constexpr ULONG kSwitchId = 0;

// The SRS effect state byte.
enum State : BYTE {
    kEffectAOn = 16,
    kEffectAOff = 17,
    kEffectBOn = 32,
    kEffectBOff = 33,
    kUnknownSelection = 153,
    kNoDevice = 255,
};

}  // namespace srs

class CSRSDevice {
public:
    explicit CSRSDevice(ISysInfoPlatform& platform) : m_platform(platform) {}
    ~CSRSDevice() { Close(); }
    CSRSDevice(const CSRSDevice&) = delete;
    CSRSDevice& operator=(const CSRSDevice&) = delete;

    // Opens the first present audio device interface that answers a get of
    // effect A's switch; every other one opened on the way is closed again.
    bool Open();
    void Close();
    bool IsOpen() const { return m_hDevice != INVALID_HANDLE_VALUE; }

    bool Get(const GUID& set, ULONG id, ULONG* value) const;
    bool Set(const GUID& set, ULONG id, ULONG value) const;

private:
    bool Request(HANDLE device, const GUID& set, ULONG id, ULONG flags, ULONG* value) const;

    ISysInfoPlatform& m_platform;
    HANDLE m_hDevice = INVALID_HANDLE_VALUE;
};

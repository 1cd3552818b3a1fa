// The Intel graphics driver's COM component "IgfxExt.CUIExternal" as this
// program calls it: the two interfaces with their request slots, the
// request ids and the records exchanged (32-bit fields at fixed offsets, the
// same on 32-bit and 64-bit builds).
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstddef>
#include <cstdint>

namespace intelgfx {

inline constexpr wchar_t kProgId[] = L"IgfxExt.CUIExternal";
// In-process, local and remote server.
inline constexpr DWORD kCreationContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
static_assert(kCreationContext == 0x15);

// {70F8C65F-06AA-443B-9E6B-7C73808F07E5}
inline constexpr IID kMainInterfaceId = {0x70F8C65F, 0x06AA, 0x443B, {0x9E, 0x6B, 0x7C, 0x73, 0x80, 0x8F, 0x07, 0xE5}};
// {86709F66-89C5-4B19-A83F-E4995E21599A}
inline constexpr IID kDownScaleInterfaceId = {
    0x86709F66, 0x89C5, 0x4B19, {0xA8, 0x3F, 0xE4, 0x99, 0x5E, 0x21, 0x59, 0x9A}};
// {4EA14ECF-9769-44CC-BBA2-DC5DA9FD50B6}: one device's configuration record
inline constexpr GUID kConfigurationRequest = {
    0x4EA14ECF, 0x9769, 0x44CC, {0xBB, 0xA2, 0xDC, 0x5D, 0xA9, 0xFD, 0x50, 0xB6}};
// {381ECED3-EFF1-4DF2-B560-6648E352B18E}: the active devices
inline constexpr GUID kActiveDevicesRequest = {
    0x381ECED3, 0xEFF1, 0x4DF2, {0xB5, 0x60, 0x66, 0x48, 0xE3, 0x52, 0xB1, 0x8E}};

// The component's device types.
namespace devicetype {
inline constexpr int kCrt = 1;
inline constexpr int kPanel = 2;
inline constexpr int kHdmi = 3;
inline constexpr int kTv = 4;
}  // namespace devicetype

// Device states of the enumeration; the one place they turn into the
// engine's status values (see ToDeviceStatus in intel.cpp).
namespace devicestate {
inline constexpr std::uint32_t kFirstConnected = 2;  // below: not connected
inline constexpr std::uint32_t kFirstActive = 3;     // and above: showing the desktop
}  // namespace devicestate

// Configuration record of one device (get and set).
struct ConfigurationRecord {
    std::uint32_t size;           // 68 for a get; the rotation calls leave it 0
    std::uint32_t deviceId;
    std::uint32_t flags;
    std::uint32_t unnamed12[6];
    std::uint32_t optimalWidth;
    std::uint32_t optimalHeight;
    std::uint32_t unnamed44[5];
    std::uint32_t rotation;       // 0..3: 0, 90, 180, 270 degrees in the Windows direction
};
static_assert(sizeof(ConfigurationRecord) == 68);
static_assert(offsetof(ConfigurationRecord, deviceId) == 4 && offsetof(ConfigurationRecord, flags) == 8);
static_assert(offsetof(ConfigurationRecord, optimalWidth) == 36 && offsetof(ConfigurationRecord, optimalHeight) == 40);
static_assert(offsetof(ConfigurationRecord, rotation) == 64);
inline constexpr std::uint32_t kOptimalSizeValid = 0x10 | 0x20;  // both bits after a get
inline constexpr std::uint32_t kSetRotation = 0x100;

// One display's record of a change of active devices.
inline constexpr size_t kDisplayNameChars = 40;
struct DeviceRecord {
    std::uint32_t size;                          // 120
    wchar_t displayName[kDisplayNameChars];      // "\\.\Display1", "\\.\Display2"
    std::uint32_t mode;                          // 1 single, 3 clone
    std::uint32_t primaryDeviceId;
    std::uint32_t deviceCount;                   // 1 single, 2 clone
    std::uint32_t firstDeviceId;
    std::uint32_t secondDeviceId;                // clone: the external device
    std::uint32_t unnamed104[4];
};
static_assert(sizeof(wchar_t) == 2);
static_assert(sizeof(DeviceRecord) == 120);
static_assert(offsetof(DeviceRecord, displayName) == 4 && offsetof(DeviceRecord, mode) == 84);
static_assert(offsetof(DeviceRecord, primaryDeviceId) == 88 && offsetof(DeviceRecord, deviceCount) == 92);
static_assert(offsetof(DeviceRecord, firstDeviceId) == 96 && offsetof(DeviceRecord, secondDeviceId) == 100);
inline constexpr std::uint32_t kModeSingle = 1;
inline constexpr std::uint32_t kModeClone = 3;

// Down-scaling record.
struct DownScaleRecord {
    std::uint32_t answer;  // IsDownScalingSupported: 1 supported
    std::uint32_t unnamed4[4];
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t refresh;  // 60 where a size is sent
    std::uint32_t depth;    // 32 where a size is sent
    std::uint32_t unnamed36[4];
};
static_assert(sizeof(DownScaleRecord) == 52);
static_assert(offsetof(DownScaleRecord, width) == 20 && offsetof(DownScaleRecord, height) == 24);
static_assert(offsetof(DownScaleRecord, refresh) == 28 && offsetof(DownScaleRecord, depth) == 32);

// The main interface. The slots between the requests belong to requests
// this program does not make; they keep the slot numbers.
struct ICUIExternal : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Slot3() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetConfiguration(GUID request, ULONG size, BYTE* record, ULONG* error) = 0;  // 4
    virtual HRESULT STDMETHODCALLTYPE Slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetConfiguration(GUID request, ULONG size, BYTE* record, ULONG* error) = 0;  // 10
    virtual HRESULT STDMETHODCALLTYPE ChangeActiveDevices(GUID request, ULONG size, BYTE* records,
                                                          ULONG* error) = 0;  // 11
    virtual HRESULT STDMETHODCALLTYPE EnumAttachableDevices(BSTR display, ULONG index, ULONG* id, ULONG* type,
                                                            ULONG* state) = 0;  // 12
};

// The down-scaling interface: its requests sit at slots 39 to 42.
#define VQ_INTEL_SLOT(n) virtual HRESULT STDMETHODCALLTYPE Slot##n() = 0;
struct ICUIDownScale : IUnknown {
    VQ_INTEL_SLOT(3) VQ_INTEL_SLOT(4) VQ_INTEL_SLOT(5) VQ_INTEL_SLOT(6) VQ_INTEL_SLOT(7) VQ_INTEL_SLOT(8)
    VQ_INTEL_SLOT(9) VQ_INTEL_SLOT(10) VQ_INTEL_SLOT(11) VQ_INTEL_SLOT(12) VQ_INTEL_SLOT(13) VQ_INTEL_SLOT(14)
    VQ_INTEL_SLOT(15) VQ_INTEL_SLOT(16) VQ_INTEL_SLOT(17) VQ_INTEL_SLOT(18) VQ_INTEL_SLOT(19) VQ_INTEL_SLOT(20)
    VQ_INTEL_SLOT(21) VQ_INTEL_SLOT(22) VQ_INTEL_SLOT(23) VQ_INTEL_SLOT(24) VQ_INTEL_SLOT(25) VQ_INTEL_SLOT(26)
    VQ_INTEL_SLOT(27) VQ_INTEL_SLOT(28) VQ_INTEL_SLOT(29) VQ_INTEL_SLOT(30) VQ_INTEL_SLOT(31) VQ_INTEL_SLOT(32)
    VQ_INTEL_SLOT(33) VQ_INTEL_SLOT(34) VQ_INTEL_SLOT(35) VQ_INTEL_SLOT(36) VQ_INTEL_SLOT(37) VQ_INTEL_SLOT(38)
    virtual HRESULT STDMETHODCALLTYPE IsDownScalingSupported(ULONG size, BYTE* record, ULONG* error) = 0;  // 39
    virtual HRESULT STDMETHODCALLTYPE IsDownScalingEnabled(ULONG* enabled, ULONG* error) = 0;              // 40
    virtual HRESULT STDMETHODCALLTYPE EnableDownScaling(ULONG size, BYTE* record, ULONG* error) = 0;       // 41
    virtual HRESULT STDMETHODCALLTYPE DisableDownScaling(ULONG size, BYTE* record, ULONG* error) = 0;      // 42
};
#undef VQ_INTEL_SLOT

}  // namespace intelgfx

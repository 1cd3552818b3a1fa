// The graphics driver for Intel graphics: switching, detection and rotation
// through the Intel graphics driver's COM component "IgfxExt.CUIExternal",
// and the panel down-scaling that the same component offers.
#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>

#include "display/drivers/intelcomponent.h"
#include "display/vga.h"

class CIntel : public CVGA, public IDownScaling, public IOptimalOutputSizes {
public:
    // `mainWindow` receives the sibling message after a switch on the models
    // that want it; null: none.
    explicit CIntel(HWND mainWindow = nullptr, IDisplaySettings& display = RealDisplaySettings());
    ~CIntel() override;

    int Initialize() override;
    int GetVendor() override;
    int ChangeDisplayCombination(int combinationCode) override;
    int RestoreDefaultDisplay(int flags) override;
    int IsDualView() override;
    int GetDisplayRotation(int display, int* angle) override;
    int SetDisplayRotation(int display, int angle, int secondDevice, int windowsDirection) override;
    int GetConnectedDisplays() override;

    // The optimal size of a device (800 x 600 when the driver does not report
    // one) and a refresh of 60.
    int GetConfiguration(int deviceId, int* width, int* height, int* refresh);
    // The id of the device of an Intel device type (intelgfx::devicetype).
    int GetDeviceId(int deviceType, int* id);
    int IsDownScalingSupported(int* supported) override;
    int IsDownScalingEnabled(int* enabled) override;
    int SetDownScaling(int enable, const Resolution* size) override;
    int ApplyDownScalingToCurrentMode() override;
    // The optimal size of the panel, CRT, TV or HDMI output (index in bit order).
    int GetOptimalSize(int outputIndex, int* width, int* height) override;

    // The report of a component that could not be created.
    static constexpr wchar_t kInitFailedReport[] =
        L"It fails to initialize Intel graphics component. Please check the graphics driver";
    // Sibling message code sent to the main window after a switch (model families 1 and 4).
    static constexpr WPARAM kSwitchedNotice = 24;
    static constexpr DWORD kSingleRetryDelayMs = 200;

private:
    struct Device {
        std::uint32_t id = 0;
        std::uint32_t type = 0;
        std::uint32_t state = 0;
    };
    static constexpr ULONG kEnumeratedPerDisplay = 6;

    bool InitFailed();
    void FetchDeviceIds();
    bool EnumerateDevice(const wchar_t* display, ULONG index, Device* device);
    bool FindDeviceOfType(const wchar_t* display, int type, std::uint32_t* id);
    std::uint32_t DeviceIdOfBit(int deviceBit) const;
    int SetDualView(int primaryBit, int secondaryBit);
    bool ChangeActiveDevices(intelgfx::DeviceRecord* records, ULONG count);
    bool GetDeviceConfiguration(std::uint32_t deviceId, intelgfx::ConfigurationRecord* record);
    int ChangeCombination(int combinationCode);
    intelgfx::ICUIDownScale* DownScale();

    HWND m_hMainWindow;
    CLSID m_clsid{};
    Microsoft::WRL::ComPtr<intelgfx::ICUIExternal> m_pCUIExternal;
    Microsoft::WRL::ComPtr<intelgfx::ICUIDownScale> m_pCUIDownScale;
    std::uint32_t m_nPanelId = 0;
    std::uint32_t m_nCrtId = 0;
    std::uint32_t m_nHdmiId = 0;
    std::uint32_t m_nTvId = 0;
    int m_bInitFailed = 0;
    int m_bDownScalingSupported = 0;
    int m_bDownScalingEnabled = 0;
};

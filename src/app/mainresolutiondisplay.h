// The resolution selector's display side as the main window serves it: the
// display changer's graphics driver (down-scaling is the Intel driver's
// own), its mode setting and the primary screen's size.
#pragma once

#include "osd/resolutionselector.h"

class CDisplayChanger;
class IDownScaling;

class CMainResolutionDisplay : public osd::IResolutionDisplay {
public:
    void SetChanger(CDisplayChanger* changer) { m_pChanger = changer; }

    bool HasGraphicsDriver() override;
    int GraphicsVendor() override;
    SIZE PrimaryScreenSize() override;
    void RefreshOutputs(bool* panelActive, bool* crtActive) override;
    bool IsDualView() override;
    int IsDownScalingEnabled(int* enabled) override;
    int SetDownScaling(int enable, SIZE size) override;
    int ChangePrimaryDisplaySettings(int width, int height, int bitsPerPixel, int frequency) override;

private:
    IDownScaling* DownScaling() const;

    CDisplayChanger* m_pChanger = nullptr;
};

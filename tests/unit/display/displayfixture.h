// A notebook in memory: the panel "\\.\DISPLAY1" (primary, 1366 x 768) and an
// external display "\\.\DISPLAY2" (1920 x 1080 right of it), a fresh log,
// and a graphics driver whose construction forgets the display names.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "display/vga.h"
#include "fakedisplaysettings.h"
#include "reportlog.h"

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        FakeDisplayDevice& panel = display_.Add(L"\\\\.\\DISPLAY1");
        panel.stateFlags |= DISPLAY_DEVICE_PRIMARY_DEVICE;
        panel.current = Mode(1366, 768);
        FakeDisplayDevice& external = display_.Add(L"\\\\.\\DISPLAY2");
        external.current = Mode(1920, 1080, 32, 60, 1366, 0);
        vga_ = std::make_unique<CVGA>(display_);
    }

    FakeDisplayDevice& Panel() { return display_.devices[0]; }
    FakeDisplayDevice& External() { return display_.devices[1]; }
    CModeSetting& Modes() { return vga_->ModeSetting(); }

    FakeDisplaySettings display_;
    std::unique_ptr<CVGA> vga_;
};

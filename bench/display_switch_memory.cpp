// Resident memory of the display-switch OSD over 200 open/confirm cycles:
// each cycle makes a new OSD window as the main window does, opens a list,
// steps through it, and confirms (every other cycle through the confirmation
// animation, the others by a double-click), after which the window destroys
// itself. Resident memory after the 200 cycles must stay within 1 MB of its
// value after the first 10 (nothing accumulates per opening).
// Prints the measurements; exit code 0 when within the target, 1 otherwise.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>
#include <psapi.h>

#include <cstdio>
#include <memory>

#include "common/gdiobjects.h"
#include "osd/displaychoices.h"
#include "osd/hkiconwindowdlg.h"
#include "osdbench.h"

namespace {
using osdbench::ResidentBytes;
using osdbench::Pump;
class CountingChanger : public osd::IDisplaySwitchOwner {
public:
    int GraphicsVendor() override { return 3; }
    void ApplyDisplayCombination(int) override { ++applied; }
    void SetPendingSide(int) override {}
    int applied = 0;
};

class ChangerOnly : public osd::IOsdPartners {
public:
    bool Exists(osd::SelectionOwner owner) override { return owner == osd::SelectionOwner::DisplayChanger; }
    bool Pending(osd::SelectionOwner) override { return false; }
    void ClearPending(osd::SelectionOwner) override {}
    void ApplySelection(osd::SelectionOwner) override {}
    void HideMessageWindow() override {}
    void ClearDispatcherMuteNote() override {}
    CountingChanger changer;
};

// Silent: the measurement is about the pictures, not the sound device.
class NoClick : public osd::IClickSound {
public:
    void PlayClick(bool) override {}
    bool FirstMixerProductName(std::wstring*) override { return false; }
};

// Lists of 2, 4, 7, 10 and 13 choices, and one single output.
const int kConnectedCodes[] = {6, 3, 7, 15, 24, 1};

bool Cycle(ChangerOnly& partners, NoClick& sound, int n) {
    CHKIconWindowDlg osd(partners, sound);
    if (!osd.CreateOsdWindow()) return false;
    osd.Init(nullptr, nullptr);
    const int code = kConnectedCodes[n % (sizeof kConnectedCodes / sizeof kConnectedCodes[0])];
    if (!osd.InitDisplaySwitching(code, osd::kPanelOnlyCode, n % 4 == 0, partners.changer)) return false;
    osd.ShowNoActivate();
    osd.SetNextDisplayDevice(0);
    osd.SetNextDisplayDevice(1);
    osd.SetNextDisplayDevice(1);
    if (n % 2 == 0) {
        SendMessageW(osd.Handle(), WM_TIMER, TE_OSD_HIDE, 0);  // the selection timer's expiry
    } else {
        const POINT at = osd::SlotLayoutFor(osd.DisplaySwitch().ChoiceCount()).slots[0];
        SendMessageW(osd.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x + 40, 50));
    }
    const DWORD start = GetTickCount();
    while (!osd.IsDestroyed() && GetTickCount() - start < 3000) {
        Pump();
        Sleep(1);
    }
    return osd.IsDestroyed();
}
}  // namespace

int wmain() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int result = 0;
    {
        ChangerOnly partners;
        NoClick sound;
        int n = 0;
        for (; n < 10; ++n) {
            if (!Cycle(partners, sound, n)) {
                std::printf("cycle %d failed: run from the program folder (vqiDS.dll, BgBlnk.bg*)\n", n);
                return 2;
            }
        }
        const SIZE_T base = ResidentBytes();
        const DWORD start = GetTickCount();
        int failed = 0;
        for (; n < 210; ++n) failed += !Cycle(partners, sound, n);
        const DWORD elapsed = GetTickCount() - start;
        const SIZE_T after = ResidentBytes();
        const long long growth = static_cast<long long>(after) - static_cast<long long>(base);
        std::printf("resident after 10 open/confirm cycles: %lu KB\n", static_cast<unsigned long>(base / 1024));
        std::printf("resident after 200 more: %lu KB (%+lld KB)\n", static_cast<unsigned long>(after / 1024),
                    growth / 1024);
        std::printf("cycles that did not end hidden: %d; choices applied: %d\n", failed, partners.changer.applied);
        std::printf("time per cycle: %.1f ms\n", elapsed / 200.0);
        std::printf("GDI objects / windows still held: %d / %d\n", gdi::LiveObjects(), gdi::LiveWindows());
        result = growth <= 1024 * 1024 && failed == 0 && gdi::LiveObjects() == 0 && gdi::LiveWindows() == 0 ? 0 : 1;
        std::printf("%s\n", result == 0 ? "within 1 MB, nothing held" : "TARGET MISSED");
    }
    Gdiplus::GdiplusShutdown(token);
    return result;
}

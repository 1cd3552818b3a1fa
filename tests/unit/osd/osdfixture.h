// What the OSD tests share: GDI+ for the whole run, the two image strips the
// build draws into the program folder, recording partners, a fixture that
// makes an OSD window on the real (virtual) display, and pixel helpers.
#pragma once

#include "screenpixels.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "osd/framestrip.h"
#include "osd/hkiconwindowdlg.h"
#include "osd/osdpartners.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

// The display changer's side: a vendor a case sets, and the calls as lines
// ("ApplyDisplayCombination 0x103") in the partners' log.
class FakeDisplaySwitchOwner : public osd::IDisplaySwitchOwner {
public:
    explicit FakeDisplaySwitchOwner(std::vector<std::string>& calls) : m_calls(calls) {}
    int vendor = 0;
    int GraphicsVendor() override { return vendor; }
    void ApplyDisplayCombination(int outputCode) override;
    void SetPendingSide(int side) override { m_calls.push_back("SetPendingSide " + std::to_string(side)); }

private:
    std::vector<std::string>& m_calls;
};

// Partners whose presence and pending flags a case sets, and which keep
// every call as one line ("ApplySelection 2").
class FakePartners : public osd::IOsdPartners {
public:
    std::map<osd::SelectionOwner, bool> exists;
    std::map<osd::SelectionOwner, bool> pending;
    std::vector<std::string> calls;
    // The display changer that opens the display switcher.
    FakeDisplaySwitchOwner changer{calls};

    bool Exists(osd::SelectionOwner owner) override { return exists[owner]; }
    bool Pending(osd::SelectionOwner owner) override { return pending[owner]; }
    void ClearPending(osd::SelectionOwner owner) override;
    void ApplySelection(osd::SelectionOwner owner) override;
    void HideMessageWindow() override { calls.push_back("HideMessageWindow"); }
    void ClearDispatcherMuteNote() override { calls.push_back("ClearDispatcherMuteNote"); }

    bool Called(const std::string& line) const;
    int Count(const std::string& line) const;
    // The display changer and every selector exist.
    void AllExist();
};

// The click sound: each play is kept ("async" or "sync"); the mixer's name a case sets.
class FakeClickSound : public osd::IClickSound {
public:
    std::vector<std::string> plays;
    bool mixerReadable = true;
    std::wstring mixerName = L"Generic audio";

    void PlayClick(bool async) override { plays.push_back(async ? "async" : "sync"); }
    bool FirstMixerProductName(std::wstring* name) override {
        if (mixerReadable) *name = mixerName;
        return mixerReadable;
    }
};

// The strips as the program folder holds them (loaded once per run),
// decoded by GDI+: what the pictures on the screen are compared with.
Gdiplus::Bitmap* IconStrip();
Gdiplus::Bitmap* LevelStrip();
// The same files as the program reads them, handed to the OSD windows.
osd::CFrameStrip* OsdIconStrip();
osd::CFrameStrip* OsdLevelStrip();

// The log as written since the case began.
std::string NewLogText(size_t since);
size_t LogSize();

class OsdTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new OSD window with the shared strips handed over.
    void MakeOsd(bool handStrips = true);
    // InitHotKeyIcon with a level, then the caller's show.
    int ShowPicture(int code, int level = -1);
    RECT WindowRect() const;
    // Lets the window's messages and timers run for `ms`.
    static void Run(DWORD ms);
    // Lets them run until `done` holds, for at most `maxMs`; whether it held.
    template <typename Done>
    static bool RunUntil(Done done, DWORD maxMs) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > maxMs) return false;
            Run(20);
        }
        return true;
    }
    bool Gone() const { return !osd_ || osd_->IsDestroyed(); }
    std::string NewLog() const { return NewLogText(logStart_); }

    FakePartners partners_;
    FakeClickSound clickSound_;
    std::unique_ptr<CHKIconWindowDlg> osd_;
    size_t logStart_ = 0;
    int savedFamily_ = 0;
    int savedVersion_ = 0;
};

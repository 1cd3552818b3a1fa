// Resident memory of the OSD over a long run: after 2,000 redraws and 50
// show/hide cycles it must stay within 1 MB of its value after the first 100
// redraws (nothing accumulates per picture or per window).
// Prints the measurements; exit code 0 when within the target, 1 otherwise.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>
#include <psapi.h>

#include <cstdio>
#include <memory>

#include "common/gdiobjects.h"
#include "osd/framestrip.h"
#include "osd/hkiconwindowdlg.h"
#include "osdbench.h"
#include "osd/imagestrip.h"

namespace {
using osdbench::NoPartners;
using osdbench::ResidentBytes;
using osdbench::Pump;
// Pictures of every kind: battery, level bars, on/off pictures.
const int kPictures[][2] = {{20, 100}, {20, 9}, {111, 3}, {121, 7}, {81, -1}, {80, -1}, {60, -1}, {129, -1}};

class Run {
public:
    Run(osd::CFrameStrip* icon, osd::CFrameStrip* level) : m_icon(icon), m_level(level) { NewWindow(); }

    void Redraw() {
        const auto& picture = kPictures[m_nNext++ % (sizeof kPictures / sizeof kPictures[0])];
        if (picture[1] != -1) m_osd->SetLevel(picture[1]);
        if (m_osd->InitHotKeyIcon(picture[0])) m_osd->ShowNoActivate();
        Pump();
    }
    // The hide sequence, and a new window as the main window would make it.
    void HideAndRecreate() {
        SendMessageW(m_osd->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
        Pump();
        NewWindow();
    }

private:
    void NewWindow() {
        m_osd = std::make_unique<CHKIconWindowDlg>(m_partners);
        m_osd->CreateOsdWindow();
        m_osd->Init(m_icon, m_level);
    }
    NoPartners m_partners;
    osd::CFrameStrip* m_icon;
    osd::CFrameStrip* m_level;
    std::unique_ptr<CHKIconWindowDlg> m_osd;
    int m_nNext = 0;
};
}  // namespace

int wmain() {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int result = 0;
    {
        auto icon = osd::CFrameStrip::Load(osd::kIconStripFile);
        auto level = osd::CFrameStrip::Load(osd::kLevelStripFile);
        if (!icon || !level) {
            std::printf("the image strips are missing: run from the program folder\n");
            return 2;
        }
        Run run(icon.get(), level.get());
        for (int i = 0; i < 100; ++i) run.Redraw();
        const SIZE_T base = ResidentBytes();
        const DWORD start = GetTickCount();
        for (int cycle = 0; cycle < 50; ++cycle) {
            for (int i = 0; i < 40; ++i) run.Redraw();  // 50 x 40 = 2,000 redraws
            run.HideAndRecreate();
        }
        const DWORD elapsed = GetTickCount() - start;
        const SIZE_T after = ResidentBytes();
        const long long growth = static_cast<long long>(after) - static_cast<long long>(base);
        std::printf("resident after 100 redraws: %lu KB\n", static_cast<unsigned long>(base / 1024));
        std::printf("resident after 2,000 redraws and 50 show/hide cycles: %lu KB (%+lld KB)\n",
                    static_cast<unsigned long>(after / 1024), growth / 1024);
        std::printf("time per redraw: %.2f ms\n", elapsed / 2000.0);
        std::printf("GDI objects / windows held by the last OSD: %d / %d\n", gdi::LiveObjects(), gdi::LiveWindows());
        result = growth <= 1024 * 1024 ? 0 : 1;
        std::printf("%s\n", result == 0 ? "within 1 MB" : "MORE THAN 1 MB");
    }
    Gdiplus::GdiplusShutdown(token);
    return result;
}

// osdshow.exe: shows OSD pictures one after the other, as the hotkey
// dispatcher would, and saves a screenshot of each.
//   osdshow.exe out=FOLDER NAME=CODE[,LEVEL[,STEPSCALE]] ...
// Each picture is saved as FOLDER\NAME.png (the OSD's rectangle); the first
// one also as FOLDER\screen.png (the whole display). Run from the program folder.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "app/mainosdpartners.h"
#include "osd/framestrip.h"
#include "osd/hkiconwindowdlg.h"
#include "osd/imagestrip.h"
#include "vqdrive.h"

namespace {
struct Request {
    std::wstring name;
    int code = 0;
    int level = -1;
    int stepScale = 1;
};

bool Parse(const std::wstring& argument, Request* request) {
    const size_t equals = argument.find(L'=');
    if (equals == std::wstring::npos) return false;
    request->name = argument.substr(0, equals);
    return swscanf(argument.c_str() + equals + 1, L"%d,%d,%d", &request->code, &request->level,
                   &request->stepScale) >= 1;
}

int ShowAndCapture(const Request& request, osd::CFrameStrip* icon, osd::CFrameStrip* level, const std::wstring& out,
                   bool wholeScreen) {
    CMainOsdPartners partners;
    CHKIconWindowDlg osd(partners);
    if (!osd.CreateOsdWindow()) return 1;
    osd.Init(icon, level);
    osd.SetVolumeStepScale(request.stepScale);
    if (request.level != -1) osd.SetLevel(request.level);
    if (!osd.InitHotKeyIcon(request.code)) return 1;
    osd.ShowNoActivate();
    vqdrive::Pause(200);
    RECT rect{};
    GetWindowRect(osd.Handle(), &rect);
    int failures = 0;
    if (!vqdrive::CaptureScreen(out + L"\\" + request.name + L".png", &rect)) ++failures;
    if (wholeScreen && !vqdrive::CaptureScreen(out + L"\\screen.png")) ++failures;
    std::printf("%ls: code %d level %d at %ld,%ld size %ldx%ld%s\n", request.name.c_str(), request.code,
                request.level, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                failures ? " (screenshot failed)" : "");
    SendMessageW(osd.Handle(), WM_TIMER, TE_OSD_HIDE, 0);  // hides and destroys the window
    return failures;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int failures = 0;
    {
        std::wstring out = L".";
        auto icon = osd::CFrameStrip::Load(osd::kIconStripFile);
        auto level = osd::CFrameStrip::Load(osd::kLevelStripFile);
        bool first = true;
        for (int i = 1; i < argc; ++i) {
            const std::wstring argument = argv[i];
            if (argument.rfind(L"out=", 0) == 0) {
                out = argument.substr(4);
                continue;
            }
            Request request;
            if (!Parse(argument, &request)) {
                std::printf("error: %ls is not NAME=CODE[,LEVEL[,STEPSCALE]]\n", argument.c_str());
                ++failures;
                continue;
            }
            failures += ShowAndCapture(request, icon.get(), level.get(), out, first);
            first = false;
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return failures == 0 ? 0 : 1;
}

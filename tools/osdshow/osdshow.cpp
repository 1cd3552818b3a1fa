// osdshow.exe: shows OSD pictures one after the other, as the hotkey
// dispatcher and the toggle selectors would, and saves a screenshot of each.
//   osdshow.exe out=FOLDER NAME=CODE[,LEVEL[,STEPSCALE]] ...
//   NAME=srs,STATE,STEPS             the SRS toggle opened on STATE, stepped STEPS times
//   NAME=wireless,STATE,TWO,STEPS    the wireless toggle (TWO = 1: two-choice layout)
//   NAME=rf,D0,D1,D2                 the RF switch of three radio bytes
// Each picture is saved as FOLDER\NAME.png (the OSD's rectangle); the first
// one also as FOLDER\screen.png (the whole display). Run from the program folder.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "osd/framestrip.h"
#include "osd/hkiconwindowdlg.h"
#include "osd/imagestrip.h"
#include "vqdrive.h"

namespace {
// The pictures are shown alone: no selector or display changer is around.
class NoPartners : public osd::IOsdPartners {
public:
    bool Exists(osd::SelectionOwner) override { return false; }
    bool Pending(osd::SelectionOwner) override { return false; }
    void ClearPending(osd::SelectionOwner) override {}
    void ApplySelection(osd::SelectionOwner) override {}
    void HideMessageWindow() override {}
    void ClearDispatcherMuteNote() override {}
};

enum class Kind { Hotkey, Srs, Wireless, Rf };

struct Request {
    std::wstring name;
    Kind kind = Kind::Hotkey;
    int code = 0;
    int level = -1;
    int stepScale = 1;
    int values[4] = {};
};

bool Parse(const std::wstring& argument, Request* request) {
    const size_t equals = argument.find(L'=');
    if (equals == std::wstring::npos) return false;
    request->name = argument.substr(0, equals);
    const wchar_t* value = argument.c_str() + equals + 1;
    int* v = request->values;
    if (std::wcsncmp(value, L"srs,", 4) == 0) {
        request->kind = Kind::Srs;
        return swscanf(value + 4, L"%d,%d", &v[0], &v[1]) == 2;
    }
    if (std::wcsncmp(value, L"wireless,", 9) == 0) {
        request->kind = Kind::Wireless;
        return swscanf(value + 9, L"%d,%d,%d", &v[0], &v[1], &v[2]) == 3;
    }
    if (std::wcsncmp(value, L"rf,", 3) == 0) {
        request->kind = Kind::Rf;
        return swscanf(value + 3, L"%d,%d,%d", &v[0], &v[1], &v[2]) == 3;
    }
    return swscanf(value, L"%d,%d,%d", &request->code, &request->level, &request->stepScale) >= 1;
}

// Opens the picture of a request; 0 when the window refused it.
int Open(CHKIconWindowDlg& osd, const Request& request) {
    const int* v = request.values;
    switch (request.kind) {
    case Kind::Srs: return osd.InitSRSToggle(static_cast<BYTE>(v[0]));
    case Kind::Wireless: {
        osd.SetWirelessTwoChoice(v[1] != 0);
        return osd.InitWirelessDeviceToggle(v[0]);
    }
    case Kind::Rf: {
        const BYTE status[3] = {static_cast<BYTE>(v[0]), static_cast<BYTE>(v[1]), static_cast<BYTE>(v[2])};
        return osd.InitRFSwitchWnd(status);
    }
    default:
        return osd.InitHotKeyIcon(request.code);
    }
}

// The key presses that follow the opening, on the shown window.
void Step(CHKIconWindowDlg& osd, const Request& request) {
    const int* v = request.values;
    if (request.kind == Kind::Srs) {
        for (int i = 0; i < v[1]; ++i) osd.SetNextSRSmode();
    } else if (request.kind == Kind::Wireless) {
        for (int i = 0; i < v[2]; ++i) osd.SetNextWirelessDeviceStatus();
    }
}

int ShowAndCapture(const Request& request, osd::CFrameStrip* icon, osd::CFrameStrip* level, const std::wstring& out,
                   bool wholeScreen) {
    NoPartners partners;
    CHKIconWindowDlg osd(partners);
    if (!osd.CreateOsdWindow()) return 1;
    osd.Init(icon, level);
    osd.SetVolumeStepScale(request.stepScale);
    if (request.level != -1) osd.SetLevel(request.level);
    if (!Open(osd, request)) {
        std::printf("%ls: the OSD refused it\n", request.name.c_str());
        return 1;
    }
    osd.ShowNoActivate();
    Step(osd, request);
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
                std::printf("error: %ls is not NAME=CODE[,LEVEL[,STEPSCALE]], NAME=srs,..., NAME=wireless,... or NAME=rf,...\n",
                            argument.c_str());
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

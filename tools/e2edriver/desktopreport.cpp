// vqdesktop.exe FILE [stock [WIDTH HEIGHT]]: writes the display devices this fresh process
// sees, one a line (vqdrive::desktop::Serialize). The end-to-end driver runs
// it for every look at the desktop. With "stock" it first stores the panel's
// stock mode (1366 x 768, or the size given) as the system's saved settings of the first display, so that a
// later apply of the saved settings does not bring back an earlier test's mode.
#include <cstdio>
#include <cwchar>

#include "simdesktop.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    int code = 0;
    if (argc > 2 && wcscmp(argv[2], L"stock") == 0) {
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
        mode.dmPelsWidth = vqdrive::desktop::kPanelWidth;
        mode.dmPelsHeight = vqdrive::desktop::kPanelHeight;
        if (argc > 4) {
            mode.dmPelsWidth = static_cast<DWORD>(_wtoi(argv[3]));
            mode.dmPelsHeight = static_cast<DWORD>(_wtoi(argv[4]));
        }
        if (ChangeDisplaySettingsExW(L"\\\\.\\DISPLAY1", &mode, nullptr, CDS_UPDATEREGISTRY, nullptr) !=
            DISP_CHANGE_SUCCESSFUL) {
            code = 5;
        }
    }
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out) return 3;
    std::fputs(vqdrive::desktop::Serialize(vqdrive::desktop::DisplaysSeenHere()).c_str(), out);
    std::fclose(out);
    return code;
}

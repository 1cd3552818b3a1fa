// vgarun.exe FILE OPERATION [NUMBERS...]: one operation of the generic mode
// setting, run by a base graphics driver in this fresh process, with its
// result written to FILE ("result: N", and "list: WxH ..." for lists).
//   primary|first|second W H BPP FREQ   change a display's resolution
//   attach W H BPP FREQ | detach        the second display
//   move SIDE                           place the second display
//   list SECOND | max SECOND            the resolution list, the largest entry
//   attached                            whether a secondary display is attached
//   rotate ANGLE SECOND WINDOWSDIRECTION  rotation by a mode change
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

#include "display/vga.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out) return 3;
    const std::wstring operation = argv[2];
    int n[4] = {};
    for (int i = 0; i < 4 && 3 + i < argc; ++i) n[i] = static_cast<int>(wcstol(argv[3 + i], nullptr, 0));

    CVGA vga;
    CModeSetting& modes = vga.ModeSetting();
    long result = -1000;
    if (operation == L"primary") {
        result = modes.ChangePrimaryDisplaySettings(n[0], n[1], n[2], n[3]);
    } else if (operation == L"first") {
        result = modes.ChangeFirstDisplaySettings(n[0], n[1], n[2], n[3], nullptr);
    } else if (operation == L"second") {
        result = modes.ChangeSecondDisplaySettings(n[0], n[1], n[2], n[3], nullptr);
    } else if (operation == L"attach") {
        result = modes.AttachSecondDisplay(n[0], n[1], n[2], n[3]);
    } else if (operation == L"detach") {
        result = modes.DetachSecondDisplay();
    } else if (operation == L"move") {
        result = modes.MoveDisplay(n[0]);
    } else if (operation == L"attached") {
        int attached = -1;
        modes.IsSecondDisplayAttached(&attached);
        result = attached;
    } else if (operation == L"rotate") {
        result = modes.SetRotationByModeChange(n[0], n[1], n[2]);
    } else if (operation == L"list") {
        Resolution* list = nullptr;
        int count = 0;
        result = modes.EnumResolutionList(n[0], &list, &count);
        const std::unique_ptr<Resolution[]> owned(list);
        std::fputs("list:", out);
        for (int i = 0; i < count; ++i) std::fprintf(out, " %dx%d", list[i].width, list[i].height);
        std::fputs("\n", out);
    } else if (operation == L"max") {
        int width = 0, height = 0;
        result = modes.GetMaxResolution(n[0], &width, &height);
        std::fprintf(out, "max: %dx%d\n", width, height);
    }
    std::fprintf(out, "result: %ld\n", result);
    std::fclose(out);
    return result == -1000 ? 4 : 0;
}

// The mini UI's icon images as the program folder holds them: images the
// imaging library reads despite their ".ini", each drawn and each its own.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "screenpixels.h"

namespace {

TEST(MiniUiArt, EveryIconFileIsAnImageWithAPictureOfItsOwn) {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    std::set<DWORD> centres;
    for (const wchar_t* name : {L"DispSwitching.ini", L"DispResolution.ini", L"Presentation.ini", L"Option.ini",
                                L"DispClose.ini"}) {
        const Picture picture = LoadPicture(std::wstring(L"images\\comm\\") + name);
        ASSERT_EQ(picture.width, 32) << name;
        ASSERT_EQ(picture.height, 32) << name;
        int opaque = 0;
        for (DWORD pixel : picture.pixels) opaque += (pixel >> 24) == 0xFF;
        EXPECT_GT(opaque, 32 * 32 / 2) << name << " is mostly blank";
        centres.insert(picture.At(3, 16));  // the plate's own hue at its left edge
    }
    EXPECT_EQ(centres.size(), 5u) << "two icons share a plate";
    Gdiplus::GdiplusShutdown(token);
}

}  // namespace

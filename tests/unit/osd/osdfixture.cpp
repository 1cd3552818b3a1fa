#include "osdfixture.h"

#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>

#include "common/commondefine.h"
#include "common/gdiobjects.h"
#include "common/processstate.h"
#include "osd/imagestrip.h"
#include "vqdrive.h"

namespace {
const char* OwnerName(osd::SelectionOwner owner) {
    switch (owner) {
    case osd::SelectionOwner::DisplayChanger: return "DisplayChanger";
    case osd::SelectionOwner::SrsSelector: return "SrsSelector";
    case osd::SelectionOwner::ResolutionSelector: return "ResolutionSelector";
    case osd::SelectionOwner::WirelessSelector: return "WirelessSelector";
    case osd::SelectionOwner::RfSelector: return "RfSelector";
    }
    return "?";
}

// GDI+ for the whole run, started before and stopped after every case, as the program does.
class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    void TearDown() override {
        s_iconStrip.reset();
        s_levelStrip.reset();
        Gdiplus::GdiplusShutdown(m_token);
    }
    static std::unique_ptr<Gdiplus::Bitmap> s_iconStrip;
    static std::unique_ptr<Gdiplus::Bitmap> s_levelStrip;

private:
    ULONG_PTR m_token = 0;
};
std::unique_ptr<Gdiplus::Bitmap> GdiplusEnvironment::s_iconStrip;
std::unique_ptr<Gdiplus::Bitmap> GdiplusEnvironment::s_levelStrip;
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
}  // namespace

void FakePartners::ClearPending(osd::SelectionOwner owner) {
    pending[owner] = false;
    calls.push_back(std::string("ClearPending ") + OwnerName(owner));
}
void FakePartners::ApplySelection(osd::SelectionOwner owner) {
    calls.push_back(std::string("ApplySelection ") + OwnerName(owner));
}
void FakePartners::SetDisplaySwitchModifier(int modifier) {
    calls.push_back("SetDisplaySwitchModifier " + std::to_string(modifier));
}
bool FakePartners::Called(const std::string& line) const {
    return std::find(calls.begin(), calls.end(), line) != calls.end();
}

Gdiplus::Bitmap* IconStrip() {
    if (!GdiplusEnvironment::s_iconStrip) GdiplusEnvironment::s_iconStrip = osd::LoadImageStrip(osd::kIconStripFile);
    return GdiplusEnvironment::s_iconStrip.get();
}
Gdiplus::Bitmap* LevelStrip() {
    if (!GdiplusEnvironment::s_levelStrip) GdiplusEnvironment::s_levelStrip = osd::LoadImageStrip(osd::kLevelStripFile);
    return GdiplusEnvironment::s_levelStrip.get();
}

namespace {
// The active page of an image as premultiplied pixels.
Picture PixelsOf(Gdiplus::Bitmap* image) {
    Picture picture;
    picture.width = static_cast<int>(image->GetWidth());
    picture.height = static_cast<int>(image->GetHeight());
    Gdiplus::Rect all(0, 0, picture.width, picture.height);
    Gdiplus::BitmapData data{};
    if (image->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return {};
    for (int y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        picture.pixels.insert(picture.pixels.end(), row, row + picture.width);
    }
    image->UnlockBits(&data);
    return picture;
}
}  // namespace

Picture FramePicture(Gdiplus::Bitmap* strip, int frame) {
    SIZE size{};
    if (!osd::SelectFrame(strip, frame, &size)) return {};
    return PixelsOf(strip);
}

Picture LoadPicture(const std::wstring& path) {
    std::unique_ptr<Gdiplus::Bitmap> file(Gdiplus::Bitmap::FromFile(path.c_str(), FALSE));
    if (!file || file->GetLastStatus() != Gdiplus::Ok) return {};
    return PixelsOf(file.get());
}

void DrawOver(Picture& bottom, const Picture& top, int x, int y, int clipRight) {
    for (int ty = 0; ty < top.height; ++ty) {
        for (int tx = 0; tx < top.width; ++tx) {
            const int bx = x + tx, by = y + ty;
            if (bx < 0 || by < 0 || bx >= bottom.width || by >= bottom.height || bx >= clipRight) continue;
            const DWORD s = top.At(tx, ty);
            DWORD& d = bottom.pixels[static_cast<size_t>(by) * bottom.width + bx];
            const unsigned keep = 255 - (s >> 24);
            DWORD out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const unsigned value = ((s >> shift) & 0xFF) + (((d >> shift) & 0xFF) * keep + 127) / 255;
                out |= std::min(value, 255u) << shift;
            }
            d = out;
        }
    }
}

Picture CaptureScreen(const RECT& area) {
    Picture picture;
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    picture.pixels.assign(first, first + static_cast<size_t>(picture.width) * picture.height);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return picture;
}

int CountMismatches(const Picture& screen, const Picture& expected) {
    if (screen.width != expected.width || screen.height != expected.height) return -1;
    int mismatches = 0;
    for (size_t i = 0; i < expected.pixels.size(); ++i) {
        const DWORD e = expected.pixels[i];
        if ((e >> 24) == 0) continue;  // a hole: shows whatever is below
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(static_cast<int>((screen.pixels[i] >> shift) & 0xFF) - static_cast<int>((e >> shift) & 0xFF)) > 2) {
                ++mismatches;
                break;
            }
        }
    }
    return mismatches;
}

size_t LogSize() { return vqdrive::ReadFileBytes(logfile::LogFilePath()).size(); }
std::string NewLogText(size_t since) {
    const std::string all = vqdrive::ReadFileBytes(logfile::LogFilePath());
    return all.size() > since ? all.substr(since) : std::string();
}

void OsdTest::SetUp() {
    savedFamily_ = proc::modelFamily;
    savedVersion_ = proc::windowsVersion;
    proc::modelFamily = 0;
    proc::windowsVersion = 8;
    ASSERT_NE(IconStrip(), nullptr) << "vqiHK.dll is missing from the program folder";
    ASSERT_NE(LevelStrip(), nullptr) << "vqiHKLevel.dll is missing from the program folder";
    logStart_ = LogSize();
    MakeOsd();
}

void OsdTest::TearDown() {
    osd_.reset();
    proc::modelFamily = savedFamily_;
    proc::windowsVersion = savedVersion_;
}

void OsdTest::MakeOsd(bool handStrips) {
    osd_.reset();
    osd_ = std::make_unique<CHKIconWindowDlg>(partners_);
    ASSERT_TRUE(osd_->CreateOsdWindow());
    if (handStrips) osd_->Init(IconStrip(), LevelStrip());
    else osd_->Init(nullptr, nullptr);
}

int OsdTest::ShowPicture(int code, int level) {
    if (level != -1) osd_->SetLevel(level);
    const int result = osd_->InitHotKeyIcon(code);
    if (result) osd_->ShowNoActivate();
    Run(30);
    return result;
}

RECT OsdTest::WindowRect() const {
    RECT rect{};
    GetWindowRect(osd_->Handle(), &rect);
    return rect;
}

void OsdTest::Run(DWORD ms) { vqdrive::Pause(ms); }

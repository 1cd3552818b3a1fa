#include "osdfixture.h"

#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
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
        s_osdIconStrip.reset();
        s_osdLevelStrip.reset();
        Gdiplus::GdiplusShutdown(m_token);
    }
    static std::unique_ptr<Gdiplus::Bitmap> s_iconStrip;
    static std::unique_ptr<Gdiplus::Bitmap> s_levelStrip;
    static std::unique_ptr<osd::CFrameStrip> s_osdIconStrip;
    static std::unique_ptr<osd::CFrameStrip> s_osdLevelStrip;

private:
    ULONG_PTR m_token = 0;
};
std::unique_ptr<Gdiplus::Bitmap> GdiplusEnvironment::s_iconStrip;
std::unique_ptr<Gdiplus::Bitmap> GdiplusEnvironment::s_levelStrip;
std::unique_ptr<osd::CFrameStrip> GdiplusEnvironment::s_osdIconStrip;
std::unique_ptr<osd::CFrameStrip> GdiplusEnvironment::s_osdLevelStrip;
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
}  // namespace

void FakePartners::ClearPending(osd::SelectionOwner owner) {
    pending[owner] = false;
    calls.push_back(std::string("ClearPending ") + OwnerName(owner));
}
void FakePartners::ApplySelection(osd::SelectionOwner owner) {
    calls.push_back(std::string("ApplySelection ") + OwnerName(owner));
}
void FakeDisplaySwitchOwner::ApplyDisplayCombination(int outputCode) {
    char line[48];
    std::snprintf(line, sizeof line, "ApplyDisplayCombination 0x%03x", outputCode);
    m_calls.push_back(line);
}
bool FakePartners::Called(const std::string& line) const {
    return std::find(calls.begin(), calls.end(), line) != calls.end();
}
int FakePartners::Count(const std::string& line) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), line));
}
void FakePartners::AllExist() {
    for (osd::SelectionOwner owner : {osd::SelectionOwner::DisplayChanger, osd::SelectionOwner::SrsSelector,
                                      osd::SelectionOwner::ResolutionSelector, osd::SelectionOwner::WirelessSelector,
                                      osd::SelectionOwner::RfSelector}) {
        exists[owner] = true;
    }
}

Gdiplus::Bitmap* IconStrip() {
    if (!GdiplusEnvironment::s_iconStrip) GdiplusEnvironment::s_iconStrip = osd::LoadImageStrip(osd::kIconStripFile);
    return GdiplusEnvironment::s_iconStrip.get();
}
Gdiplus::Bitmap* LevelStrip() {
    if (!GdiplusEnvironment::s_levelStrip) GdiplusEnvironment::s_levelStrip = osd::LoadImageStrip(osd::kLevelStripFile);
    return GdiplusEnvironment::s_levelStrip.get();
}

osd::CFrameStrip* OsdIconStrip() {
    if (!GdiplusEnvironment::s_osdIconStrip) {
        GdiplusEnvironment::s_osdIconStrip = osd::CFrameStrip::Load(osd::kIconStripFile);
    }
    return GdiplusEnvironment::s_osdIconStrip.get();
}
osd::CFrameStrip* OsdLevelStrip() {
    if (!GdiplusEnvironment::s_osdLevelStrip) {
        GdiplusEnvironment::s_osdLevelStrip = osd::CFrameStrip::Load(osd::kLevelStripFile);
    }
    return GdiplusEnvironment::s_osdLevelStrip.get();
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
    ASSERT_NE(OsdIconStrip(), nullptr);
    ASSERT_NE(OsdLevelStrip(), nullptr);
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
    osd_ = std::make_unique<CHKIconWindowDlg>(partners_, clickSound_);
    ASSERT_TRUE(osd_->CreateOsdWindow());
    if (handStrips) osd_->Init(OsdIconStrip(), OsdLevelStrip());
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

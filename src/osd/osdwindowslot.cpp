#include "osd/osdwindowslot.h"

#include "common/commondefine.h"
#include "osd/imagestrip.h"

namespace osd {

COsdWindowSlot::~COsdWindowSlot() { Release(); }

void COsdWindowSlot::LoadStrips() {
    m_pIconStrip = CFrameStrip::Load(kIconStripFile);
    m_pLevelStrip = CFrameStrip::Load(kLevelStripFile);
}

void COsdWindowSlot::ReleaseStrips() {
    m_pIconStrip.reset();
    m_pLevelStrip.reset();
}

std::unique_ptr<CHKIconWindowDlg> COsdWindowSlot::MakeWindow() {
    auto window = std::make_unique<CHKIconWindowDlg>(m_partners, SystemClickSound(), static_cast<IOsdWindowGone*>(this));
    if (!window->CreateOsdWindow()) {
        ReportError(L"fail: InitHkWindow() CreateOsdWindow");
        return nullptr;
    }
    return window;
}

void COsdWindowSlot::PrepareNext() {
    // One OSD window at a time: the next is made only once the last is gone.
    if (m_bReleased || m_pNext || (m_pCurrent && !m_pCurrent->IsDestroyed())) return;
    m_pNext = MakeWindow();
}

CHKIconWindowDlg* COsdWindowSlot::ShowableWindow() {
    if (m_pCurrent && m_pCurrent->IsShown() && !m_pCurrent->IsDestroyed()) return m_pCurrent.get();
    return NewWindow();
}

CHKIconWindowDlg* COsdWindowSlot::NewWindow() {
    if (m_pCurrent && !m_pCurrent->IsDestroyed()) m_pCurrent->DestroyWindow();
    m_pCurrent.reset();
    // The window made ahead is new and has never been shown: it is this cycle's.
    std::unique_ptr<CHKIconWindowDlg> window = std::move(m_pNext);
    if (!window || window->IsDestroyed() || !window->IsWindowAlive()) window = MakeWindow();
    if (!window) return nullptr;
    window->Init(m_pIconStrip.get(), m_pLevelStrip.get());
    m_pCurrent = std::move(window);
    return m_pCurrent.get();
}

void COsdWindowSlot::Release() {
    m_bReleased = true;
    m_pCurrent.reset();
    m_pNext.reset();
}

void COsdWindowSlot::OsdWindowGone() {
    if (!m_bReleased) m_scheduler.ScheduleMakeAhead();
}

bool COsdWindowSlot::OsdAlive() { return m_pCurrent && !m_pCurrent->IsDestroyed() && m_pCurrent->IsWindowAlive(); }
void COsdWindowSlot::HideOsd() {
    if (OsdAlive()) ShowWindow(m_pCurrent->Handle(), SW_HIDE);
}
osd::OsdMode COsdWindowSlot::OsdMode() { return m_pCurrent ? m_pCurrent->Mode() : osd::OsdMode::None; }
void COsdWindowSlot::SetOsdMode(osd::OsdMode mode) {
    if (m_pCurrent) m_pCurrent->SetMode(mode);
}
void COsdWindowSlot::ClearOsdSelection() {
    if (m_pCurrent) m_pCurrent->ClearSelection();
}
void COsdWindowSlot::SendOsdSelectionTimer() {
    if (OsdAlive()) SendMessageW(m_pCurrent->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
}

}  // namespace osd

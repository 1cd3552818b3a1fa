#include "osd/displayswitchosd.h"

#include <objbase.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "common/commondefine.h"
#include "common/gdiobjects.h"
#include "common/processstate.h"
#include "osd/imagestrip.h"
#include "osd/selectionpictures.h"

namespace osd {

namespace {

// The confirmation pictures behind the collapsing arc, by layout.
constexpr wchar_t kBlankForFiveOrMore[] = L"BgBlnk.bg5";
constexpr wchar_t kBlankForThree[] = L"BgBlnk.bg3";
constexpr wchar_t kBlankOtherwise[] = L"BgBlnk.bg4";
constexpr int kLabelTravel = -19;
constexpr DWORD kPauseBetweenFramesMs = 5;

}  // namespace

CDisplaySwitchOsd::CDisplaySwitchOsd(IOsdSurface& surface, IClickSound& sound) : m_surface(surface), m_sound(sound) {}

CDisplaySwitchOsd::~CDisplaySwitchOsd() { CancelAnimation(); }

bool CDisplaySwitchOsd::ReloadStrip() {
    m_pStrip.reset();
    m_pStrip = LoadImageStrip(kDisplaySwitchStripFile);
    return m_pStrip != nullptr;
}

bool CDisplaySwitchOsd::Prepare(int connectedCode, bool savedProfile) {
    m_nConnectedCode = connectedCode;
    m_list = BuildChoiceList(connectedCode, proc::modelFamily, proc::starterEdition, savedProfile);
    FreeImages();
    if (!m_pStrip) ReloadStrip();
    // A new list starts at its first choice, whatever an earlier one had selected.
    m_nSelected = 0;
    m_nPrevious = -1;
    m_nFirstVisible = 0;
    m_bMouseMode = false;
    m_bButtonSeen = false;

    for (int i = 0; i < m_list.count; ++i) {
        const ChoiceFrames& frames = m_list.choices[i].frames;
        m_pUnselected[i] = CopyFrame(m_pStrip.get(), frames.unselected);
        m_pSelected[i] = CopyFrame(m_pStrip.get(), frames.selected);
        m_pLabels[i] = CopyFrame(m_pStrip.get(), frames.label);
    }
    m_layout = SlotLayoutFor(m_list.count);
    if (m_list.count == 1) {
        m_pictureSize = SizeOf(m_pUnselected[0].get());
    } else {
        if (m_list.count > kVisibleSlots) {
            m_pLeftArrow = CopyFrame(m_pStrip.get(), kLeftArrowFrame);
            m_pRightArrow = CopyFrame(m_pStrip.get(), kRightArrowFrame);
        }
        m_pBackground = CopyFrame(m_pStrip.get(), m_layout.backgroundFrame);
        m_pictureSize = SizeOf(m_pBackground.get());
    }
    m_surface.SetPictureSize(m_pictureSize);
    return m_pictureSize.cx > 0;
}

SIZE CDisplaySwitchOsd::BackgroundSize() const {
    return m_pBackground ? SizeOf(m_pBackground.get()) : m_pictureSize;
}

int CDisplaySwitchOsd::Draw() {
    if (!m_pUnselected[0]) return 0;
    m_surface.FitToPicture();
    if (m_list.count == 1) {
        CSelectionCanvas canvas(m_pictureSize);
        DrawAt(canvas.Graphics(), m_pUnselected[0].get(), 0, 0);
        canvas.ShowOn(m_surface);
        m_lastPlan = FramePlan{0, {{0, 0, IconImage::Unselected, false, 1.0, true, true}}, false, false};
        return 1;
    }
    const SelectionState state{m_list.count, m_nSelected, m_nPrevious, m_nFirstVisible, m_bMouseMode};
    for (size_t k = 0; k < kStepScales.size(); ++k) {
        const bool last = k + 1 == kStepScales.size();
        const FramePlan plan = PlanFrame(state, kStepScales[k].previous, kStepScales[k].next, last);
        m_nFirstVisible = plan.firstVisible;
        CSelectionCanvas canvas(m_pictureSize);
        DrawAt(canvas.Graphics(), m_pBackground.get(), 0, 0);
        DrawPlan(canvas.Graphics(), plan);
        canvas.ShowOn(m_surface);
        m_lastPlan = plan;
        Sleep(kPauseBetweenFramesMs);
    }
    return 1;
}

void CDisplaySwitchOsd::DrawPlan(Gdiplus::Graphics& graphics, const FramePlan& plan) {
    const SIZE background = BackgroundSize();
    for (const IconDraw& icon : plan.icons) {
        if (icon.choice < 0 || icon.choice >= m_list.count) continue;
        Gdiplus::Bitmap* image =
            (icon.image == IconImage::Selected ? m_pSelected[icon.choice] : m_pUnselected[icon.choice]).get();
        if (!image) continue;
        DrawInto(graphics, image,
                 IconRect(m_layout.slots[icon.slot], SizeOf(image), icon.scale, icon.settled, icon.highlighted));
        if (icon.label && m_pLabels[icon.choice]) {
            Gdiplus::Bitmap* label = m_pLabels[icon.choice].get();
            const POINT anchor = LabelAnchor(background);
            DrawAt(graphics, label, anchor.x - SizeOf(label).cx / 2, anchor.y);
        }
    }
    if (plan.leftArrow) DrawAt(graphics, m_pLeftArrow.get(), kLeftArrowAt.x, kLeftArrowAt.y);
    if (plan.rightArrow) {
        const POINT at = RightArrowAt(background);
        DrawAt(graphics, m_pRightArrow.get(), at.x, at.y);
    }
}

int CDisplaySwitchOsd::Step(bool backward, IDisplaySwitchOwner* owner) {
    m_bMouseMode = false;
    m_nPrevious = m_nSelected;
    m_nSelected = StepSelection(m_nSelected, m_list.count, backward);
    const int drawn = Draw();
    if (m_nHdmiAudioCheck == -1) DetermineHdmiAudioCheck(owner);
    if (!proc::IsVistaOrLater()) m_sound.PlayClick(false);
    else if (m_nHdmiAudioCheck == 0) m_sound.PlayClick(true);
    if (drawn) m_surface.StartHideTimer(kDisplaySwitchConfirmAfterMs);
    return drawn;
}

void CDisplaySwitchOsd::DetermineHdmiAudioCheck(IDisplaySwitchOwner* owner) {
    if (!owner) return;  // without the changer it stays undetermined
    std::wstring name;
    const bool readable = m_sound.FirstMixerProductName(&name);
    m_nHdmiAudioCheck = ClickGoesToHdmiAudio(proc::windowsVersion, m_nConnectedCode, owner->GraphicsVendor(),
                                             readable ? name.c_str() : nullptr)
                            ? 1
                            : 0;
}

void CDisplaySwitchOsd::OnMouse(UINT message, POINT at) {
    // The arc is collapsing: the choice is made.
    if (m_steps.Running() || m_list.count == 0) return;
    if (message == WM_MOUSEMOVE && !m_bButtonSeen) return;
    m_nPrevious = m_nSelected;
    m_bMouseMode = true;
    m_bButtonSeen = true;

    std::vector<SIZE> sizes;
    for (int slot = 0; slot < VisibleSlots(m_list.count); ++slot) {
        sizes.push_back(SizeOf(m_pUnselected[m_nFirstVisible + slot].get()));
    }
    const int slot = HitSlot(m_layout, sizes, at);
    if (slot < 0) return;

    m_surface.StopHideTimer();
    const int choice = m_nFirstVisible + slot;
    const bool changed = choice != m_nSelected;
    m_nSelected = choice;
    if (changed) Draw();
    if (message == WM_LBUTTONDBLCLK) m_surface.HideNow();
    else m_surface.StartHideTimer(kDisplaySwitchConfirmAfterMs);
}

void CDisplaySwitchOsd::StartConfirmation() {
    const wchar_t* file = m_list.count > kVisibleSlots ? kBlankForFiveOrMore
                          : m_list.count == 3          ? kBlankForThree
                                                       : kBlankOtherwise;
    if (!m_pBlankPicture) m_pBlankPicture = LoadImageStrip(file);  // missing: an empty canvas
    // Without its timer the animation ends here, and the choice is still applied.
    if (!m_steps.Start(m_surface.Window())) m_surface.StartHideTimer(1);
}

void CDisplaySwitchOsd::OnAnimationStep(UINT_PTR timerId) {
    double t = 0;
    switch (m_steps.OnStep(timerId, m_surface.IsShown(), &t)) {
    case CConfirmationSteps::Next::Ignore: return;
    case CConfirmationSteps::Next::Finished: m_surface.StartHideTimer(1); return;
    case CConfirmationSteps::Next::Draw: break;
    }
    DrawAnimationStep(t);
    if (!m_steps.Continue(m_surface.Window(), t)) m_surface.StartHideTimer(1);
}

void CDisplaySwitchOsd::DrawAnimationStep(double t) {
    const int slot = m_nSelected - m_nFirstVisible;
    const bool inView = slot >= 0 && slot < kVisibleSlots;
    const ConfirmationStep step{m_pBlankPicture.get(),
                                m_pBackground.get(),
                                inView ? m_pSelected[m_nSelected].get() : nullptr,
                                m_pLabels[m_nSelected].get(),
                                m_pictureSize,
                                SizeOf(m_pSelected[m_list.count > 1 ? 1 : 0].get()),
                                inView ? m_layout.slots[slot] : POINT{},
                                LabelAnchor(BackgroundSize()),
                                kLabelTravel};
    DrawConfirmationStep(step, t, m_surface);
}

void CDisplaySwitchOsd::CancelAnimation() { m_steps.Cancel(); }

int CDisplaySwitchOsd::SelectedOutput() {
    if (m_nSelected < 0 || m_nSelected >= kMaxChoices || m_nSelected >= m_list.count) return kPanelOnlyCode;
    return m_list.choices[m_nSelected].outputCode;
}

void CDisplaySwitchOsd::FreeImages() {
    for (auto& image : m_pUnselected) image.reset();
    for (auto& image : m_pSelected) image.reset();
    for (auto& image : m_pLabels) image.reset();
    m_pBackground.reset();
    m_pLeftArrow.reset();
    m_pRightArrow.reset();
}

void CDisplaySwitchOsd::Release() {
    CancelAnimation();
    FreeImages();
    m_pStrip.reset();
    m_pBlankPicture.reset();
    m_list = ChoiceList{};
    m_nSelected = 0;
    m_nFirstVisible = 0;
}

void CDisplaySwitchOsd::ResetSelection() {
    m_nSelected = 0;
    m_nFirstVisible = 0;
}

}  // namespace osd

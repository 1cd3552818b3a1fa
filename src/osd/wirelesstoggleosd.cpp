#include "osd/wirelesstoggleosd.h"

#include <objbase.h>
#include <gdiplus.h>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "osd/displayswitchview.h"
#include "osd/imagestrip.h"
#include "osd/selectionpictures.h"

namespace osd {

namespace {
constexpr DWORD kPauseBetweenFramesMs = 5;
}  // namespace

CWirelessToggleOsd::CWirelessToggleOsd(IOsdSurface& surface, IClickSound& sound) : m_surface(surface), m_sound(sound) {}

CWirelessToggleOsd::~CWirelessToggleOsd() { CancelAnimation(); }

bool CWirelessToggleOsd::ReloadStrip() {
    m_pStrip.reset();
    m_pStrip = LoadImageStrip(kWirelessStripFile);
    return m_pStrip != nullptr;
}

bool CWirelessToggleOsd::Prepare(int state) {
    if (!m_pStrip && !ReloadStrip()) return false;
    // A choice kept from an earlier opening may lie outside a smaller layout.
    const int previous = m_nChoice < WirelessChoiceCount(m_bTwoChoice) ? m_nChoice : 0;
    m_nChoice = WirelessChoiceOfState(state, m_bTwoChoice, previous);
    FreeImages();
    for (int c = 0; c < WirelessChoiceCount(m_bTwoChoice); ++c) {
        const ChoiceFrames frames = WirelessFrames(c, m_bTwoChoice);
        m_pUnselected[c] = CopyFrame(m_pStrip.get(), frames.unselected);
        m_pSelected[c] = CopyFrame(m_pStrip.get(), frames.selected);
        m_pLabels[c] = CopyFrame(m_pStrip.get(), frames.label);
    }
    m_pBackground = CopyFrame(m_pStrip.get(), WirelessBackgroundFrame(m_bTwoChoice));
    m_bCopiedTwoChoice = m_bTwoChoice;
    m_background = SizeOf(m_pBackground.get());
    m_surface.SetPictureSize(m_background);
    return m_background.cx > 0;
}

bool CWirelessToggleOsd::Draw() {
    if (!m_pUnselected[0]) {
        ReportError(L"NULL");
        return false;
    }
    m_surface.FitToPicture();
    const int count = WirelessChoiceCount(m_bCopiedTwoChoice);
    // No previous choice: the one left behind is small at once.
    const SelectionState state{count, m_nChoice, -1, 0, false};
    const POINT anchor = WirelessLabelAnchor(m_background, m_bCopiedTwoChoice);
    for (size_t k = 0; k < kStepScales.size(); ++k) {
        const bool last = k + 1 == kStepScales.size();
        const FramePlan plan = PlanFrame(state, kStepScales[k].previous, kStepScales[k].next, last);
        CSelectionCanvas canvas(m_background);
        Gdiplus::Graphics& graphics = canvas.Graphics();
        DrawAt(graphics, m_pBackground.get(), 0, 0);
        for (const IconDraw& icon : plan.icons) {
            if (icon.choice < 0 || icon.choice >= count) continue;
            Gdiplus::Bitmap* image =
                (icon.image == IconImage::Selected ? m_pSelected[icon.choice] : m_pUnselected[icon.choice]).get();
            if (!image) continue;
            const POINT slot = WirelessSlot(icon.slot, m_bCopiedTwoChoice);
            DrawInto(graphics, image, IconRect(slot, SizeOf(image), icon.scale, icon.settled, icon.highlighted));
            if (icon.label && m_pLabels[icon.choice]) {
                Gdiplus::Bitmap* label = m_pLabels[icon.choice].get();
                m_labelAt = {anchor.x - SizeOf(label).cx / 2, anchor.y};
                DrawAt(graphics, label, m_labelAt.x, m_labelAt.y);
            }
        }
        canvas.ShowOn(m_surface);
        Sleep(kPauseBetweenFramesMs);
    }
    return true;
}

bool CWirelessToggleOsd::Step() {
    m_nChoice = NextChoice(m_nChoice, WirelessChoiceCount(m_bCopiedTwoChoice));
    const bool drawn = Draw();
    m_sound.PlayClick(proc::IsVistaOrLater());
    return drawn;
}

void CWirelessToggleOsd::StartConfirmation() {
    if (m_pBlankPicture && m_bBlankTwoChoice != m_bCopiedTwoChoice) m_pBlankPicture.reset();
    if (!m_pBlankPicture) {
        m_pBlankPicture = LoadImageStrip(WirelessBlankPicture(m_bCopiedTwoChoice));  // missing: an empty canvas
        m_bBlankTwoChoice = m_bCopiedTwoChoice;
    }
    // Without its timer the animation ends here; the choice was applied already.
    if (!m_steps.Start(m_surface.Window())) m_surface.StartHideTimer(kWirelessHideAfterConfirmMs);
}

void CWirelessToggleOsd::OnAnimationStep(UINT_PTR timerId) {
    double t = 0;
    switch (m_steps.OnStep(timerId, m_surface.IsShown(), &t)) {
    case CConfirmationSteps::Next::Ignore: return;
    case CConfirmationSteps::Next::Finished: m_surface.StartHideTimer(kWirelessHideAfterConfirmMs); return;
    case CConfirmationSteps::Next::Draw: break;
    }
    const ConfirmationStep step{m_pBlankPicture.get(),
                                m_pBackground.get(),
                                m_pSelected[m_nChoice].get(),
                                m_pLabels[m_nChoice].get(),
                                m_background,
                                SizeOf(m_pSelected[1].get()),
                                WirelessSlot(m_nChoice, m_bCopiedTwoChoice),
                                WirelessLabelAnchor(m_background, m_bCopiedTwoChoice),
                                WirelessLabelTravel(m_bCopiedTwoChoice)};
    DrawConfirmationStep(step, t, m_surface);
    if (!m_steps.Continue(m_surface.Window(), t)) m_surface.StartHideTimer(kWirelessHideAfterConfirmMs);
}

void CWirelessToggleOsd::CancelAnimation() { m_steps.Cancel(); }

void CWirelessToggleOsd::FreeImages() {
    for (auto& image : m_pUnselected) image.reset();
    for (auto& image : m_pSelected) image.reset();
    for (auto& image : m_pLabels) image.reset();
    m_pBackground.reset();
}

void CWirelessToggleOsd::Release() {
    CancelAnimation();
    FreeImages();
    m_pStrip.reset();
    m_pBlankPicture.reset();
    m_nChoice = 0;
}

}  // namespace osd

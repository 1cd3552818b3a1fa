#include "hardware/hwicondisplayer.h"

#include "common/settingsstore.h"
#include "common/commondefine.h"
#include "common/processstate.h"
#include "hardware/hotkeytable.h"

namespace volumescale {

const int kOwnSteps[14] = {0, 655, 1139, 2072, 3479, 5243, 7864, 13107, 19660, 26214, 32767, 39321, 52428, 65535};
const int kWindows7Steps[14] = {0,    1311,  2621,  3932,  5243,  6553,  7864,
                                13107, 19661, 26214, 32767, 39321, 52428, 65535};
const int kMediaCenterSteps[26] = {0,    1039, 1234, 1467,  1744,  2072,  2463,  2927,  3479,
                                   4135, 4914, 5841, 6942,  8250,  9806,  11654, 13851, 16462,
                                   19565, 23253, 27636, 32845, 39037, 46395, 55141, 65535};

int StepContaining(const int* starts, int count, int level) {
    int step = 0;
    for (int i = 0; i < count; ++i) {
        if (starts[i] <= level) step = i;
    }
    return step;
}

int RoundedStep(int level, int steps) {
    return static_cast<int>(static_cast<double>(level) * steps / 65535.0 + 0.5);
}

}  // namespace volumescale

namespace {
constexpr int kWriteAttempts = 6;
constexpr int kBrightnessPicture = 111;
constexpr int kVolumePicture = 121;
constexpr int kLastOwnStep = 13;
constexpr int kWirelessUnavailable = 2;  // the firmware reports no wireless device
}  // namespace

void CHWIconDisplayer::Init(IHotkeyHardware* systemInfo) {
    m_pSystemInfo = systemInfo;
    int level = 0;
    if (m_pSystemInfo && m_pSystemInfo->GetVolumeLevel(&level)) m_nVolume = level;
    m_nVolumeStep = 0;
}

bool CHWIconDisplayer::EnsureOsdWindow(bool forceNew) {
    if (!(forceNew ? m_osd.NewWindow() : m_osd.ShowableWindow())) {
        ReportError(L"fail: DisplayIcon::HKIconWindow");
        return false;
    }
    return true;
}

bool CHWIconDisplayer::ShowingPicture(int iconCode) {
    IHotkeyOsd* window = m_osd.CurrentWindow();
    return window && window->IsShown() && window->IconCode() == iconCode;
}

int CHWIconDisplayer::ProcessHotkey(int code) {
    // The rotation step always starts from a fresh window.
    if (!EnsureOsdWindow(code == CodeOf(HotkeyCode::UsbRotateStep))) return 0;
    if (!m_pSystemInfo) return 1;

    const KeyMeaning entry = NotebookKeyboard().Find(code);
    using enum HotkeyAction;
    switch (entry.action) {
    case Pass:
        Trace(L"bIsPassScanCode = TRUE\r\n");
        return 1;
    case Battery: ShowBatteryCapacityIcon(); break;
    case Backlight:
        ToggleState(&IHotkeyHardware::GetLCDBacklitOnOffStatus, &IHotkeyHardware::SetLCDBacklitOnOffStatus,
                    L"error: GetLCDBacklitOnOffStatus()", 50, 51);
        break;
    case Etiquette:
        ToggleState(&IHotkeyHardware::GetEtiquetteModeStatus, &IHotkeyHardware::SetEtiquetteModeStatus,
                    L"error: GetEtiquetteModeStatus()", 100, 101);
        break;
    case Wireless:
        if (proc::IsWheelNetbook()) {
            m_owner.ToggleFamily10Wireless();
        } else {
            ToggleState(&IHotkeyHardware::GetWirelessStatus, &IHotkeyHardware::SetWirelessStatus,
                        L"error: ShowWirelessDeviceOnOffIcon()", 80, 81, kWirelessUnavailable);
        }
        break;
    case WiredLan: m_owner.ShowWiredLANOnOffIcon(); break;
    case BatteryWarning: StartBatteryWarning(false); break;
    case BatteryReplace: StartBatteryWarning(true); break;
    case BrightnessUp: ChangeBrightness(true); break;
    case BrightnessDown: ChangeBrightness(false); break;
    case BrightnessShow: ShowBrightnessIcon(); break;
    case VolumeUp: ChangeVolume(true); break;
    case VolumeDown: ChangeVolume(false); break;
    case Mute: ShowMuteIcon(); break;
    case Picture: ShowHWIcon(entry.picture, -1); break;
    case SameCode: ShowHWIcon(code, -1); break;
    }
    return 255;
}

void CHWIconDisplayer::ShowHWIcon(int iconCode, int level) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        // A window that cannot draw is replaced once.
        IHotkeyOsd* window = attempt == 0 ? m_osd.CurrentWindow() : m_osd.NewWindow();
        if (!window) break;
        if (level == DRAW_SKIP_IN_MIN_MAX_LEVEL) {
            window->RestartHideTimer();
            Trace(L"DRAW_SKIP_IN_MIN_MAX_LEVEL");
            return;
        }
        if (level != -1) window->SetLevel(level);
        if (window->InitHotKeyIcon(iconCode)) {
            window->ShowNoActivate();
            return;
        }
    }
    ReportError(L"fail: CHWIconDisplayer::ShowHWIcon");
}

void CHWIconDisplayer::ShowBatteryCapacityIcon() {
    int percent = 0;
    m_pSystemInfo->GetBatteryCapacityStatus(&percent);
    if (percent == 255) ShowHWIcon(21, -1);
    else ShowHWIcon(20, percent);
}

void CHWIconDisplayer::ShowBrightnessIcon() {
    BYTE level = 0;
    if (!m_pSystemInfo->GetBrLevel(&level)) {
        ReportError(L"fail: GetBrLevel()");
        return;
    }
    if (proc::auditMode) ReportError(FormatText(L"Crrnt Br=%d", level));
    ShowHWIcon(kBrightnessPicture, level);
}

void CHWIconDisplayer::ChangeBrightness(bool up) {
    BYTE level = 0;
    if (!m_pSystemInfo->GetBrLevel(&level)) {
        ReportError(L"fail: GetBrLevel()");
        return;
    }
    if (proc::auditMode) ReportError(FormatText(L"Crrnt Br=%d", level));

    bool changed = false;
    if (up && level < 8) {
        ++level;
        changed = true;
    } else if (!up && level > 1) {
        --level;
        changed = true;
    }

    // An end level is written again once, so that a firmware that drifted is set right.
    bool write = changed;
    if (!changed && (level == 1 || level == 8) && !m_bBrightnessLimitShown) {
        write = true;
        m_bBrightnessLimitShown = true;
    }
    if (write) {
        bool written = false;
        for (int trial = 0; trial < kWriteAttempts && !written; ++trial) written = m_pSystemInfo->SetBrLevel(level) != 0;
        if (!written) {
            ReportError(L"smi_trial>SMI_MAX_TRIAL");
            return;
        }
        if (proc::auditMode) ReportError(FormatText(L"Set Br=%d", level));
    }
    if (level >= 2 && level <= 7) m_bBrightnessLimitShown = false;

    int shownLevel = level;
    if (!changed && ShowingPicture(kBrightnessPicture)) {
        shownLevel = DRAW_SKIP_IN_MIN_MAX_LEVEL;
    }
    ShowHWIcon(kBrightnessPicture, shownLevel);
}

void CHWIconDisplayer::ReloadOwnVolumeSetting() {
    m_bOwnVolumeControl = settings::ReadInt(settings::kOwnVolumeSteps) != 0;
}

bool CHWIconDisplayer::UnmuteIfMuted(bool noteOnOwner) {
    int mute = 0;
    if (!m_pSystemInfo->GetSoundOnOff(&mute)) return false;
    if (mute) {
        if (noteOnOwner) m_owner.NoteUnmutedByVolumeKey();
        if (!m_pSystemInfo->SetSoundOnOff(0)) return false;
    }
    return true;
}

void CHWIconDisplayer::ChangeVolume(bool up) {
    using namespace volumescale;
    if (!proc::IsVistaOrLater()) {
        int changed = 0;
        if (m_pSystemInfo->IsAudioDeviceChanged(&changed) && changed) m_pSystemInfo->RecreateAudio();
    }
    if (!UnmuteIfMuted(true)) return;
    ReloadOwnVolumeSetting();

    int level = 0;
    if (!m_pSystemInfo->GetVolumeLevel(&level)) return;
    if (level < 0) level = 0;
    if (level > 65535) level = 65535;

    int step = 0;
    bool counts = true;
    // At either end of the scale a key counts as a change only the first time.
    auto endCheck = [&](bool atEnd) {
        if (atEnd) {
            counts = !m_bVolumeLimitShown;
            m_bVolumeLimitShown = true;
        } else {
            counts = true;
            m_bVolumeLimitShown = false;
        }
    };

    if (m_bOwnVolumeControl) {
        if (IHotkeyOsd* window = m_osd.CurrentWindow()) window->SetVolumeStepScale(1);
        step = StepContaining(kOwnSteps, 14, level);
        if (up) {
            ++step;
            if (step > 12) {
                step = kLastOwnStep;
                level = 65535;
            } else {
                level = kOwnSteps[step];
            }
        } else {
            --step;
            if (step < 1) {
                step = 0;
                level = 0;
            } else {
                level = kOwnSteps[step];
            }
        }
        endCheck(step == 0 || step == kLastOwnStep);
        if (counts && !m_pSystemInfo->SetVolumeLevel(level)) return;
        m_owner.StoreVolumeLastSeen(level);
        m_nVolume = level;
        m_nVolumeStep = step;
    } else {
        if (IHotkeyOsd* window = m_osd.CurrentWindow()) window->SetVolumeStepScale(0);
        if (proc::IsXpMediaCenter()) {
            step = StepContaining(kMediaCenterSteps, 26, level);
            counts = true;
        } else {
            const int steps = !proc::IsVistaOrLater() ? 25 : 50;
            step = RoundedStep(level, steps);
            endCheck(step == 0 || step == steps);
        }
    }

    int shownStep = step;
    if (!counts && ShowingPicture(kVolumePicture)) {
        shownStep = DRAW_SKIP_IN_MIN_MAX_LEVEL;
    }
    ShowHWIcon(kVolumePicture, shownStep);
    Trace(FormatText(L"Volume: %d, %d", step, level));
}

void CHWIconDisplayer::ShowVolumeIcon(bool up, int level) {
    using namespace volumescale;
    if (!EnsureOsdWindow(false) || !m_pSystemInfo) return;
    if (level == -1) {
        int current = 0;
        if (!m_pSystemInfo->GetVolumeLevel(&current)) return;
        if (current <= 0) ShowHWIcon(kVolumePicture, 0);
        else if (current >= 65535) ShowHWIcon(kVolumePicture, kLastOwnStep);
        return;
    }
    if (!UnmuteIfMuted(true)) return;
    if (level < 0) level = 0;
    if (level > 65535) level = 65535;
    int step = StepContaining(kWindows7Steps, 14, level);
    if (step > 5) {
        if (step == 6 && level == kWindows7Steps[6]) {
            ShowHWIcon(kVolumePicture, 6);
            Trace(FormatText(L"Volume: %d, %d", step, level));
            return;
        }
        if (up) {
            ++step;
            if (step > 12) step = kLastOwnStep;
        }
        level = kWindows7Steps[step];
        if (!m_pSystemInfo->SetVolumeLevel(level)) return;
    }
    ShowHWIcon(kVolumePicture, step);
    Trace(FormatText(L"Volume: %d, %d", step, level));
}

void CHWIconDisplayer::ShowMuteIcon() {
    int mute = 0;
    if (!m_pSystemInfo->GetSoundOnOff(&mute)) return;
    ShowHWIcon(mute ? 60 : 61, -1);
}

void CHWIconDisplayer::ToggleState(int (IHotkeyHardware::*get)(BYTE*), int (IHotkeyHardware::*set)(BYTE),
                                   const wchar_t* readFailure, int offIcon, int onIcon, int unavailable) {
    BYTE state = 0;
    if (!(m_pSystemInfo->*get)(&state) || state == unavailable) {
        ReportError(readFailure);
        return;
    }
    const BYTE wanted = state ? 0 : 1;
    for (int trial = 0; trial < kWriteAttempts; ++trial) {
        if ((m_pSystemInfo->*set)(wanted)) {
            ShowHWIcon(wanted ? onIcon : offIcon, -1);
            return;
        }
    }
    ReportError(L"smi_trial>SMI_MAX_TRIAL");
}

void CHWIconDisplayer::StartBatteryWarning(bool replace) {
    if (replace) {
        m_owner.StartProgram(L"VLM-BatteryWarning.exe /BATTERYREPLACE");
        ReportError(L"SC_BATTERY_REPLACE_MSG");
    } else {
        m_owner.StartProgram(L"VLM-BatteryWarning.exe");
        ReportError(L"VLM-BatteryWarning.exe");
    }
}

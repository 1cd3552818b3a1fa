// The OSD window as its users reach it: through its one owner, which keeps
// the window now and makes a new one when asked for a window that can be
// shown. Each user names the side of the window it drives (`Window`); the
// owner answers every user with the same window.
#pragma once

#include "common/commondefine.h"

template <class Window>
class IOsdWindowSlot {
public:
    virtual ~IOsdWindowSlot() = default;
    // The window now; null while there is none.
    virtual Window* CurrentWindow() = 0;
    // The window now while it is shown and alive, else a new one in its
    // place; null when none could be made (already reported).
    virtual Window* ShowableWindow() = 0;
    // A new window in place of the one now, also when that one is shown;
    // null when none could be made (already reported).
    virtual Window* NewWindow() = 0;
};

// How the selection open on the window now took a further press.
enum class SelectionStep {
    Stepped,  // the press moved the choice: done
    Refused,  // the press changes nothing (the choice is being confirmed)
    Reopen,   // the selection is no longer open there: open it afresh
};

// One press of a selection key (the display switch and the toggles): while
// the selection is `pending` on the window now, `step` takes the press;
// otherwise, or when `step` answers Reopen, `open` opens the selection on a
// window that can be shown, which is then shown without activation. 1 when
// the selection was stepped or opened; a missing window is reported with
// `noWindowReport`.
template <class Window, class Step, class Open>
int PressSelection(IOsdWindowSlot<Window>& osd, bool& pending, const wchar_t* noWindowReport, Step step,
                   Open open) {
    if (pending) {
        Window* shown = osd.CurrentWindow();
        if (!shown) {
            ReportError(noWindowReport);
            return 0;
        }
        const SelectionStep answer = step(*shown);
        if (answer == SelectionStep::Stepped) return 1;
        if (answer == SelectionStep::Refused) return 0;
    }
    Window* window = osd.ShowableWindow();
    if (!window) {
        ReportError(noWindowReport);
        return 0;
    }
    if (!open(*window)) return 0;
    pending = true;
    window->ShowNoActivate();
    return 1;
}

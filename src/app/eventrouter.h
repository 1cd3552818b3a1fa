// The main window's routing of outside events: the four key roads (hook
// library, raw input, USB HID library, message 0x8B1), power and session
// notifications, display and device notifications, and the menu program's
// requests. It hands each event to the few ports of the subsystems that
// serve it (Ports below); what a key finally does is the key handling's decision.
#pragma once

#include <windows.h>

#include <cstddef>

#include "app/displayports.h"
#include "app/shellports.h"
#include "common/siblingmessages.h"
#include "app/systemports.h"
#include "app/windowports.h"

// Registered "TrapkeyPS2" message, obtained once at process start.
UINT TrapkeyPs2Message();

// The PS/2 hook library's key record (the system's low-level keyboard hook record).
struct HookKeyRecord {
    DWORD virtualKey;
    DWORD scanCode;
    DWORD flags;  // bit 0 extended, bit 7 released
    DWORD time;
    ULONG_PTR extraInfo;
};
// The hook library hands over the system's own record, of its architecture.
static_assert(sizeof(HookKeyRecord) == sizeof(KBDLLHOOKSTRUCT) &&
              offsetof(HookKeyRecord, flags) == offsetof(KBDLLHOOKSTRUCT, flags) &&
              offsetof(HookKeyRecord, extraInfo) == offsetof(KBDLLHOOKSTRUCT, dwExtraInfo));
static_assert(sizeof(HookKeyRecord) == (sizeof(void*) == 4 ? 20 : 24));

struct DecodedKey {
    BYTE virtualKey = 0;
    BYTE scanCode = 0;
    bool released = false;
    bool extended = false;
};

class CEventRouter {
public:
    // What the routing reaches, one port per serving subsystem.
    struct Ports {
        IKeyHandling& keys;
        IMainCommands& commands;
        IFirmware& firmware;
        IHotkeyDispatch& dispatch;
        IMenuRequests& menu;
        IOsdControl& osd;
        IDisplaySwitching& display;
        IResolutionRotation& resolution;
        ISelectors& selectors;
        IMagnifier& magnifier;
        IDetection& detection;
        IMiniUi& miniUi;
        ITimers& timers;
        IMainWindow& window;
    };
    explicit CEventRouter(const Ports& ports) : m_ports(ports) {}

    // "TrapkeyPS2" and WM_INPUT: lParam is the hook record (before Windows 7)
    // or the raw input handle (Windows 7). Returns the key's result.
    LRESULT OnHookKey(WPARAM wParam, LPARAM lParam);
    // "TrapkeyUSB": wParam is the HID usage, lParam the usage page.
    LRESULT OnUsbHidKey(WPARAM usage, LPARAM usagePage);
    // The routing table of the window procedure. True when the message
    // returns `result`; false when default processing is to follow.
    bool Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Requests of the sibling menu program; `producesValue` tells whether
    // the returned value is the message's result.
    int OnMenuRequest(int code, LPARAM argument, bool* producesValue);

    // A decoded key as it continues after decoding (step 3 on).
    LRESULT HandleDecodedKey(const DecodedKey& key);
    // Decodes a "TrapkeyPS2" or WM_INPUT key without acting on it (the hook
    // record and the raw input are readable only while their message is
    // handled). False when there is no key to act on; `*result` then answers
    // the message.
    bool DecodeKey(WPARAM wParam, LPARAM lParam, DecodedKey* key, LRESULT* result);
    // A key decoded earlier and held back, handled as OnHookKey would.
    LRESULT HandleHeldBackKey(const DecodedKey& key);

    bool BiosReannouncePending() const { return m_bBiosReannouncePending; }
    void SetBiosReannouncePending(bool pending) { m_bBiosReannouncePending = pending; }
    bool ExternalKeyMode() const { return m_bExternalKeyMode; }
    int LastConsumerVolumeKey() const { return m_nLastConsumerVolumeKey; }
    void SetLastConsumerVolumeKey(int key) { m_nLastConsumerVolumeKey = key; }

private:
    bool DecodeRawInput(HRAWINPUT handle, DecodedKey* key, LRESULT* earlyResult);
    bool DecodeHookRecord(LPARAM lParam, DecodedKey* key);
    void AnnounceIfPending();
    void Announce(int first, int second);
    LRESULT RouteSiblingCode(WPARAM code, LPARAM argument, bool* returns);
    void EndPendingSelectionOnEscape();

    Ports m_ports;
    bool m_bHookBusy = false;
    bool m_bUsbBusy = false;
    bool m_bBiosReannouncePending = false;
    bool m_bExternalKeyMode = false;
    int m_nLastConsumerVolumeKey = 0;
};

// The notebook firmware's call interface: the maker's library "KEST2.dll"
// (before Windows 7) or "KEST3.dll", loaded by bare name. CKEST loads and
// initialises it, reads the model identity from the firmware's data block,
// sets the process-wide model family, and offers one small operation per
// firmware command. Main thread only.
//
// Operations return 1 for success and 0 for failure unless said otherwise;
// every failed call has been reported already; outputs stay unchanged on
// failure. Without a library every operation returns 0 without a report.
#pragma once

#include <windows.h>

#include <string>

#include "hardware/kestplatform.h"

class CKEST {
public:
    // Firmware command numbers.
    enum Command : WORD {
        kModelName = 0x04,
        kPresence = 0x09,
        kGetBrightness = 0x10,
        kSetBrightness = 0x11,
        kGetWireless = 0x12,
        kSetWireless = 0x13,
        kGetBacklight = 0x2D,
        kSetBacklight = 0x2E,
        kGetEtiquette = 0x31,
        kSetEtiquette = 0x32,
        kGetDisplays = 0x37,
        kGetRadios = 0x69,
        kSetRadios = 0x6A,
    };
    // Presence handshake values of command 9.
    enum Presence : BYTE {
        kAnnounceFirst = 3,
        kAnnounceSecond = 2,
        kWithdrawFirst = 131,
        kWithdrawSecond = 130,
    };
    // What a presence call returns, without calling, while the firmware's
    // data block says that this program must not announce itself.
    static constexpr int kHandshakeSkipped = 3;
    static constexpr int kDataBlockMissing = 4;  // Init without GetBiosDataThroughDrvr
    static constexpr size_t kCallDataBytes = 11;
    static constexpr size_t kModelTextBytes = 16;

    // The library is loaded and the program stopped through `platform`.
    explicit CKEST(IKestPlatform& platform = SystemKestPlatform());
    virtual ~CKEST();
    CKEST(const CKEST&) = delete;
    CKEST& operator=(const CKEST&) = delete;

    // Loads and initialises the library and classifies the model. Returns
    // whether the model record was found, or kDataBlockMissing. A missing
    // library ends the process (exit code -1) once its message box is closed.
    int Init();

    // Command 9 with one value; kHandshakeSkipped while announce is disabled.
    int SendHandshake(BYTE data);
    // 3 then 2, and 131 then 130: both are sent; 1 when both succeed.
    int Announce();
    int Withdraw();

    // Command 4 into a zero-filled field of kModelTextBytes, always terminated.
    int GetModelName(char* text);
    // Sets the process-wide model family from the text or, without one, from
    // command 4. Returns the result of command 4 (1 when a text is given).
    int ClassifyModel(const char* modelText = nullptr);
    // Whether the model named by command 4 is on the second model list.
    int IsSecondListModel();

    int GetBrightness(BYTE* level);
    int SetBrightness(BYTE level);
    // One-byte form: the value 2 (radio not controllable) counts as failure.
    int GetWirelessStatus(BYTE* state);
    int SetWirelessStatus(BYTE state);
    // Two-byte form.
    int GetWirelessStatus2(BYTE state[2]);
    int SetWirelessStatus2(const BYTE state[2]);
    int GetBacklight(BYTE* on);
    int SetBacklight(BYTE on);
    int GetEtiquetteMode(BYTE* on);
    int SetEtiquetteMode(BYTE on);
    int GetDisplayState(BYTE* state);

    // The three radios (command 0x69), with the first byte validated and the
    // call repeated up to 6 times while it is invalid. A first byte of 2 gives 0.
    int GetRFOnOffStatus(BYTE status[3]);
    // Command 0x6A; the firmware's answer is not examined.
    int SetRFOnOffStatus(const BYTE status[3]);

    bool HasLibrary() const { return m_hKest.Get() != nullptr; }
    bool AnnounceEnabled() const { return m_bAnnounceEnabled != 0; }

private:
    // The report for a firmware error code; empty when there is none to make.
    std::wstring ErrorText(int code) const;
    bool LoadLibraryForWindows();
    void ReadDataBlock(bool* modelFound);
    // One firmware call: the 11-byte data area is zero-filled, the first
    // `inputBytes` of `data` go in, and on success the first `outputBytes`
    // come back into `data`. A failure is reported; returns the firmware's code.
    int Call(WORD command, BYTE* data, size_t inputBytes, size_t outputBytes, const wchar_t* operation);
    int GetByte(WORD command, BYTE* value, const wchar_t* operation);
    int SetBytes(WORD command, const BYTE* values, size_t count, const wchar_t* operation);
    void ReportCallError(int code) const;

    IKestPlatform& m_platform;
    kest::CLibraryModule m_hKest;
    int m_bAnnounceEnabled = 1;
    int m_nReference = 0;
};

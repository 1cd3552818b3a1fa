// Setting up and reading the simulated notebook's firmware (sim/kest) from a
// test or the demo. The state lives in the registry of the wine prefix, so it
// is set before the program (or a test's own CKEST) loads the library and is
// read after. Value names: firmwarestore.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "firmwarestore.h"

namespace vqdrive::firmware {

// Back to the stock notebook: every value and fault removed, empty histories.
void Reset();

// The model record "DiaG@" of the data block; offset vqsim::kNoRecord removes it.
void SetModelRecord(const std::wstring& identifier, DWORD offset = vqsim::stock::kModelOffset);
// The signature record "$KORVANEPC"; offset vqsim::kNoRecord removes it.
void SetSignatureRecord(const std::wstring& text, DWORD offset = vqsim::stock::kSignatureOffset);
// The text command 4 answers.
void SetModelName(const std::wstring& name);

void SetValue(const wchar_t* name, DWORD data);
DWORD Value(const wchar_t* name, DWORD fallback = 0);
std::wstring Text(const wchar_t* name);

// The command answers error `code` for its next `count` calls (below 0: always).
void SetFault(WORD command, int code, int count);
// Command 0x69 answers an invalid first byte `count` times before the real state.
void SetInvalidRadioAnswers(DWORD count, BYTE firstByte = static_cast<BYTE>(vqsim::stock::kInvalidRadioByte));

// Entries of the logs, oldest first: handshakes "9/131", calls "0x69".
std::vector<std::string> Handshakes();
std::vector<std::string> Calls();

}  // namespace vqdrive::firmware

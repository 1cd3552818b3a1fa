// What the OSD benchmarks share: OSD partners that own nothing, the
// process's resident memory, and one pass over the message queue.
#pragma once

#include <windows.h>
#include <psapi.h>

#include "osd/osdpartners.h"

namespace osdbench {

class NoPartners : public osd::IOsdPartners {
public:
    bool Exists(osd::SelectionOwner) override { return false; }
    bool Pending(osd::SelectionOwner) override { return false; }
    void ClearPending(osd::SelectionOwner) override {}
    void ApplySelection(osd::SelectionOwner) override {}
    void HideMessageWindow() override {}
    void ClearDispatcherMuteNote() override {}
};

inline SIZE_T ResidentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

inline void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace osdbench

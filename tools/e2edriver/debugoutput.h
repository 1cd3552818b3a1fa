// Hears the debugger output of the other processes, as a debug-output viewer
// does: it owns the "DBWIN_BUFFER" section (a process id, then the ANSI text)
// and the "DBWIN_BUFFER_READY" / "DBWIN_DATA_READY" events. A thread of its
// own copies each message out of the section and hands the buffer back at
// once, because every sender of debugger output waits for that buffer.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vqdrive {

class DebugOutputListener {
public:
    // Size of the shared section, and the longest text a message can carry
    // (the rest after the process id, less the terminating zero).
    static constexpr DWORD kSectionBytes = 4096;
    static constexpr size_t kMaxMessageBytes = kSectionBytes - sizeof(DWORD) - 1;

    // Called on the listener's thread for each line heard, after the buffer
    // was handed back.
    using LineSink = std::function<void(DWORD processId, const std::string& line)>;

    DebugOutputListener() = default;
    ~DebugOutputListener();
    DebugOutputListener(const DebugOutputListener&) = delete;
    DebugOutputListener& operator=(const DebugOutputListener&) = delete;

    // Creates the section and the events and starts listening. False when
    // they cannot be created, or when another listener owns them already
    // (two listeners would take each other's messages); Error() says why.
    bool Start(LineSink sink = nullptr);
    void Stop();
    bool Listening() const { return m_thread != nullptr; }
    const std::wstring& Error() const { return m_error; }

    // The lines heard from one process so far, oldest first. A message is
    // split at its line feeds; carriage returns and empty lines are dropped.
    std::vector<std::string> Lines(DWORD processId) const;
    // Messages heard from every process, for a test of the listener itself.
    size_t MessageCount() const;

private:
    struct Line {
        DWORD processId;
        std::string text;
    };
    static DWORD WINAPI ThreadMain(void* self);
    void Listen();
    void Keep(DWORD processId, const char* text, size_t length);
    void CloseObjects();

    HANDLE m_section = nullptr;
    void* m_view = nullptr;
    HANDLE m_bufferReady = nullptr;
    HANDLE m_dataReady = nullptr;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    LineSink m_sink;
    std::wstring m_error;

    mutable std::mutex m_mutex;
    std::vector<Line> m_lines;
    size_t m_messages = 0;
};

// The "call <operation> <arguments>" lines among trace lines, without "call ".
std::vector<std::string> TraceCalls(const std::vector<std::string>& lines);

}  // namespace vqdrive

#include "debugoutput.h"

#include <cstddef>
#include <cstring>

namespace vqdrive {

namespace {
// What a sender writes into the section.
struct SectionLayout {
    DWORD processId;
    char text[DebugOutputListener::kSectionBytes - sizeof(DWORD)];
};
static_assert(sizeof(SectionLayout) == DebugOutputListener::kSectionBytes);
static_assert(offsetof(SectionLayout, text) == 4);

std::wstring Failure(const wchar_t* what) { return std::wstring(what) + L" failed: " + std::to_wstring(GetLastError()); }
}  // namespace

DebugOutputListener::~DebugOutputListener() { Stop(); }

bool DebugOutputListener::Start(LineSink sink) {
    if (Listening()) return true;
    m_sink = std::move(sink);
    m_section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSectionBytes, L"DBWIN_BUFFER");
    if (!m_section) {
        m_error = Failure(L"CreateFileMapping(DBWIN_BUFFER)");
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        m_error = L"another debug-output listener is running (DBWIN_BUFFER exists)";
        CloseObjects();
        return false;
    }
    m_view = MapViewOfFile(m_section, FILE_MAP_READ, 0, 0, kSectionBytes);
    // Auto-reset events: one message per hand-over. The buffer starts free.
    m_bufferReady = CreateEventW(nullptr, FALSE, TRUE, L"DBWIN_BUFFER_READY");
    m_dataReady = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_view || !m_bufferReady || !m_dataReady || !m_stop) {
        m_error = Failure(L"creating the debug-output objects");
        CloseObjects();
        return false;
    }
    m_thread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (!m_thread) {
        m_error = Failure(L"CreateThread");
        CloseObjects();
        return false;
    }
    // Senders keep the buffer while they write: this thread must not wait
    // behind anything else.
    SetThreadPriority(m_thread, THREAD_PRIORITY_HIGHEST);
    return true;
}

void DebugOutputListener::Stop() {
    if (m_thread) {
        SetEvent(m_stop);
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    CloseObjects();
}

void DebugOutputListener::CloseObjects() {
    if (m_view) UnmapViewOfFile(m_view);
    m_view = nullptr;
    for (HANDLE* handle : {&m_section, &m_bufferReady, &m_dataReady, &m_stop}) {
        if (*handle) CloseHandle(*handle);
        *handle = nullptr;
    }
}

DWORD WINAPI DebugOutputListener::ThreadMain(void* self) {
    static_cast<DebugOutputListener*>(self)->Listen();
    return 0;
}

void DebugOutputListener::Listen() {
    const auto* section = static_cast<const SectionLayout*>(m_view);
    const HANDLE waits[] = {m_dataReady, m_stop};
    char copy[sizeof section->text];
    for (;;) {
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return;
        // Copy, hand the buffer back, and only then sort the text into lines.
        const DWORD processId = section->processId;
        const size_t length = strnlen(section->text, sizeof section->text);
        std::memcpy(copy, section->text, length);
        SetEvent(m_bufferReady);
        Keep(processId, copy, length);
    }
}

void DebugOutputListener::Keep(DWORD processId, const char* text, size_t length) {
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < length) {
        size_t end = begin;
        while (end < length && text[end] != '\n') ++end;
        std::string line(text + begin, end - begin);
        while (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
        begin = end + 1;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_messages;
        for (const std::string& line : lines) m_lines.push_back({processId, line});
    }
    if (m_sink) {
        for (const std::string& line : lines) m_sink(processId, line);
    }
}

std::vector<std::string> DebugOutputListener::Lines(DWORD processId) const {
    std::vector<std::string> lines;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Line& line : m_lines) {
        if (line.processId == processId) lines.push_back(line.text);
    }
    return lines;
}

size_t DebugOutputListener::MessageCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_messages;
}

std::vector<std::string> TraceCalls(const std::vector<std::string>& lines) {
    std::vector<std::string> calls;
    for (const std::string& line : lines) {
        if (line.rfind("call ", 0) == 0) calls.push_back(line.substr(5));
    }
    return calls;
}

}  // namespace vqdrive

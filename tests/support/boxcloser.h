// Closes the first message box this process shows, from a thread of its own,
// so that a test can call code that waits in a modal box.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class MessageBoxCloser {
public:
    // `whileShown` runs once the box is found, before it is closed.
    explicit MessageBoxCloser(std::function<void()> whileShown = {});
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    // The box's text once it was closed; empty when none came within 5 s.
    std::wstring Text();

private:
    void Run();
    std::function<void()> m_whileShown;
    std::atomic<bool> m_stop{false};
    std::wstring m_text;
    std::thread m_thread;
};

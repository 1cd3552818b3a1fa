#include "boxcloser.h"

#include <windows.h>

#include "vqdrive.h"

MessageBoxCloser::MessageBoxCloser(std::function<void()> whileShown)
    : m_whileShown(std::move(whileShown)), m_thread([this] { Run(); }) {}

MessageBoxCloser::~MessageBoxCloser() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

std::wstring MessageBoxCloser::Text() {
    if (m_thread.joinable()) m_thread.join();
    return m_text;
}

void MessageBoxCloser::Run() {
    for (int i = 0; i < 500 && !m_stop; ++i) {
        const auto boxes = vqdrive::FindMessageBoxes(GetCurrentProcessId());
        if (!boxes.empty()) {
            m_text = boxes.front().text;
            if (m_whileShown) m_whileShown();
            vqdrive::CloseMessageBox(boxes.front().window);
            return;
        }
        Sleep(10);
    }
}

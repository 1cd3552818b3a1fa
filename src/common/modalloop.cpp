#include "common/modalloop.h"

#include <windows.h>

#include "common/settingsstore.h"

namespace modal {

namespace {
IModalLoopWatcher* g_watcher = nullptr;

class WatchedLoop {
public:
    WatchedLoop() : m_watcher(g_watcher) {
        if (m_watcher) m_watcher->ModalLoopBegins();
    }
    ~WatchedLoop() {
        if (m_watcher) m_watcher->ModalLoopEnds();
    }
    WatchedLoop(const WatchedLoop&) = delete;
    WatchedLoop& operator=(const WatchedLoop&) = delete;

private:
    IModalLoopWatcher* m_watcher;
};
}  // namespace

void SetWatcher(IModalLoopWatcher* watcher) { g_watcher = watcher; }
IModalLoopWatcher* Watcher() { return g_watcher; }

void ShowMessageBox(const std::wstring& text) {
    WatchedLoop loop;
    MessageBoxW(nullptr, text.c_str(), settings::ApplicationName().c_str(), MB_OK);
}

void ShowInformationBox(const std::wstring& text, const std::wstring& caption) {
    WatchedLoop loop;
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace modal

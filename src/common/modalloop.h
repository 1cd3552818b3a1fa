// A message box runs the thread's message queue inside whatever handler
// shows it. The main window watches for that: while one is open it holds
// back what must wait until the handler has ended (a close, a request, a
// key). Without a watcher a message box only shows.
#pragma once

#include <string>

namespace modal {

class IModalLoopWatcher {
public:
    virtual void ModalLoopBegins() = 0;
    virtual void ModalLoopEnds() = 0;

protected:
    ~IModalLoopWatcher() = default;
};

// The watcher of the main window's thread; null to remove it.
void SetWatcher(IModalLoopWatcher* watcher);
IModalLoopWatcher* Watcher();

// A message box with the program's name as its caption, OK only, inside the watcher's scope.
void ShowMessageBox(const std::wstring& text);
// An information box with its own caption and no owner, inside the watcher's scope.
void ShowInformationBox(const std::wstring& text, const std::wstring& caption);

}  // namespace modal

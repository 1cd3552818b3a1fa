// An owner of fake OSD windows, as the real one behaves: asked for a window
// that can be shown it keeps the window now while that one is shown (and not
// destroyed), else it makes a new one; a new window replaces the one now,
// and when none can be made there is no window at all. Every window made is
// kept, and each making is noted as "NewWindow" in the case's call log.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/osdwindowslot.h"

template <class Window, class Fake>
class FakeOsdWindowSlot : public IOsdWindowSlot<Window> {
public:
    using Make = std::function<std::unique_ptr<Fake>()>;

    explicit FakeOsdWindowSlot(std::vector<std::string>& calls, Make make = [] { return std::make_unique<Fake>(); })
        : m_calls(calls), m_make(std::move(make)) {}

    // False: no new window can be made.
    bool canCreate = true;
    std::vector<std::unique_ptr<Fake>> windows;
    // The window now (one made here or one a case puts in place).
    Fake* current = nullptr;

    Window* CurrentWindow() override { return current; }
    Window* ShowableWindow() override {
        if (current && current->IsShown() && !Destroyed(*current)) return current;
        return NewWindow();
    }
    Window* NewWindow() override {
        m_calls.push_back("NewWindow");
        current = nullptr;
        if (!canCreate) return nullptr;
        windows.push_back(m_make());
        current = windows.back().get();
        return current;
    }
    // The last window made.
    Fake& Last() { return *windows.back(); }

private:
    static bool Destroyed(Fake& window) {
        if constexpr (requires { window.IsDestroyed(); }) return window.IsDestroyed();
        return false;
    }

    std::vector<std::string>& m_calls;
    Make m_make;
};

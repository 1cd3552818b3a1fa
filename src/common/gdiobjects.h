// Owners of the GDI objects and windows that come and go with every picture.
// Each owner counts itself while it holds something, so a test (or a check in
// the running program) can prove that nothing outlives its use: Wine has no
// GetGuiResources. The count is one atomic add per object, cheap enough to be
// always on, so the program and its tests run the same code.
#pragma once

#include <windows.h>

#include <atomic>

namespace gdi {

// GDI objects (device contexts, bitmaps) held by owners of this file.
int LiveObjects();
// Windows held by CWindowLife owners.
int LiveWindows();

namespace detail {
extern std::atomic<int> liveObjects;
extern std::atomic<int> liveWindows;
}  // namespace detail

// One GDI handle, released by `Release` when the owner goes or is reset.
template <typename Handle, void (*Release)(Handle)>
class COwned {
public:
    COwned() = default;
    explicit COwned(Handle handle) { Reset(handle); }
    ~COwned() { Reset(); }
    COwned(const COwned&) = delete;
    COwned& operator=(const COwned&) = delete;
    COwned(COwned&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    COwned& operator=(COwned&& other) noexcept {
        if (this != &other) {
            Reset();
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (m_handle) {
            Release(m_handle);
            --detail::liveObjects;
        }
        m_handle = handle;
        if (m_handle) ++detail::liveObjects;
    }

private:
    Handle m_handle = nullptr;
};

void DeleteDeviceContext(HDC dc);
void DeleteBitmap(HBITMAP bitmap);

using CDeviceContext = COwned<HDC, &DeleteDeviceContext>;  // from CreateDC or CreateCompatibleDC
using CBitmap = COwned<HBITMAP, &DeleteBitmap>;

// Selects an object into a device context for the owner's lifetime, so the
// object can be deleted afterwards (a selected bitmap cannot).
class CSelection {
public:
    CSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~CSelection() {
        if (m_previous) SelectObject(m_dc, m_previous);
    }
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Counts a window from its creation (Begin) to its destruction (End, or the
// owner's end, whichever comes first).
class CWindowLife {
public:
    CWindowLife() = default;
    ~CWindowLife() { End(); }
    CWindowLife(const CWindowLife&) = delete;
    CWindowLife& operator=(const CWindowLife&) = delete;

    void Begin() {
        if (!m_bAlive) ++detail::liveWindows;
        m_bAlive = true;
    }
    void End() {
        if (m_bAlive) --detail::liveWindows;
        m_bAlive = false;
    }

private:
    bool m_bAlive = false;
};

}  // namespace gdi

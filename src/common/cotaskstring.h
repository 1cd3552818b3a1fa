// Owns a wide text that a COM call allocated with CoTaskMemAlloc (endpoint
// identifiers and the like) and frees it.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

class CoTaskString {
public:
    CoTaskString() = default;
    explicit CoTaskString(LPWSTR text) : m_pText(text) {}
    ~CoTaskString() { Reset(); }
    CoTaskString(const CoTaskString&) = delete;
    CoTaskString& operator=(const CoTaskString&) = delete;
    CoTaskString(CoTaskString&& other) noexcept : m_pText(std::exchange(other.m_pText, nullptr)) {}
    CoTaskString& operator=(CoTaskString&& other) noexcept {
        if (this != &other) {
            Reset();
            m_pText = std::exchange(other.m_pText, nullptr);
        }
        return *this;
    }

    void Reset() {
        if (m_pText) CoTaskMemFree(m_pText);
        m_pText = nullptr;
    }
    // For the out-parameter of a call such as IMMDevice::GetId.
    LPWSTR* Receive() {
        Reset();
        return &m_pText;
    }
    LPCWSTR Get() const { return m_pText; }
    explicit operator bool() const { return m_pText != nullptr; }

private:
    LPWSTR m_pText = nullptr;
};

// The mini UI's icon control: a static control of a panel's template that
// draws an image from "images/comm" (or, without one, a frame or a small grey
// dot that marks a tiny clickable corner), shows the hand pointer over it and
// reports clicks to its panel (the templates give it the notify style).
#pragma once

#include <windows.h>

#include <memory>

namespace Gdiplus {
class Image;
}  // namespace Gdiplus

namespace miniui {

// Which panel owns a control: its pointer is the panel's hand.
enum class OwnerKind { None = 0, Output = 1, Resolution = 2, Presentation = 3, Options = 4 };

// The image files, by kind.
enum class ImageKind { Output = 1, Resolution = 2, Presentation = 3, Options = 4, Close = 5 };
// The file of an image kind, below the program's folder; null for an unknown kind.
const wchar_t* ImageFileOf(int kind);

class CStaticCursor {
public:
    static constexpr int kImageSize = 32;
    static constexpr int kCloseMarkSize = 10;

    CStaticCursor();
    ~CStaticCursor();
    CStaticCursor(const CStaticCursor&) = delete;
    CStaticCursor& operator=(const CStaticCursor&) = delete;

    // Takes over control `id` of `panel` (its painting, pointer and
    // destruction) and remembers the owner; false when there is no such control.
    bool Attach(HWND panel, int id, OwnerKind owner);
    // Loads the image of `kind` once; a file that cannot be read leaves an
    // image that draws nothing. An unknown kind does nothing.
    void LoadImageKind(int kind);
    void SetFrame(bool frame) { m_bFrame = frame; }

    HWND Handle() const { return m_hWnd; }
    bool HasImage() const { return m_pImage != nullptr; }
    // The image was read from its file and is drawn.
    bool ImageDrawn() const;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void Detach();

    std::unique_ptr<Gdiplus::Image> m_pImage;
    OwnerKind m_owner = OwnerKind::None;
    int m_nImageSize = kImageSize;
    bool m_bFrame = false;
    HWND m_hWnd = nullptr;
    WNDPROC m_systemProc = nullptr;
};

}  // namespace miniui

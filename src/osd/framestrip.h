// The hotkey pictures' image strips, read by the program itself: multi-page
// TIFF files (despite their ".dll" names) whose pages are uncompressed 8-bit
// RGB or RGBA. Only the page directory is read when a strip is opened; a
// frame is decoded from its page when it is first needed and kept, within a
// byte budget, as premultiplied pixels ready to be blended. Reading them
// here keeps the system's image decoders (and their libraries) out of the
// resident program, where GDI+ would load them for the first picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "common/scopedhandle.h"

namespace osd {

// One decoded frame: premultiplied 0xAARRGGBB pixels, top row first.
struct FramePixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class CFrameStrip {
public:
    // What decoded frames may hold at once; the least recently used frame
    // goes first (a frame in use by a caller stays valid until it lets go).
    static constexpr size_t kDefaultCacheBytes = 256 * 1024;

    // Opens a strip file and reads its page directory. Null, with a report,
    // when the file is missing or is not a strip of this kind.
    static std::unique_ptr<CFrameStrip> Load(const wchar_t* fileName, size_t cacheBytes = kDefaultCacheBytes);

    int FrameCount() const { return static_cast<int>(m_pages.size()); }
    // The size of a frame; false, with a report, when there is no such frame.
    bool FrameSize(int frame, SIZE* size) const;
    // The frame's pixels, decoded on first need; null, with a report, when
    // there is no such frame or its page can no longer be read.
    std::shared_ptr<const FramePixels> Frame(int frame);
    // Bytes the decoded frames hold now.
    size_t CachedBytes() const { return m_nCachedBytes; }

private:
    enum class Alpha { None, Associated, Unassociated };
    struct Page {
        int width = 0;
        int height = 0;
        int samples = 0;  // 3 (RGB) or 4 (RGB and alpha)
        Alpha alpha = Alpha::None;
        std::uint32_t rowsPerStrip = 0;
        std::vector<std::uint32_t> stripOffsets;
        std::shared_ptr<const FramePixels> decoded;
    };
    class CReader;

    CFrameStrip(HANDLE file, size_t cacheBytes) : m_file(file), m_nCacheBytes(cacheBytes) {}
    static const wchar_t* ReadPage(const CReader& reader, std::uint32_t at, Page* page, std::uint32_t* next);
    bool CheckFrame(int frame) const;
    std::shared_ptr<const FramePixels> Decode(const Page& page) const;
    void Remember(int frame, std::shared_ptr<const FramePixels> pixels);

    ScopedHandle m_file;
    std::vector<Page> m_pages;
    size_t m_nCacheBytes;
    size_t m_nCachedBytes = 0;
    std::list<int> m_recent;  // decoded frames, most recently used first
};

}  // namespace osd

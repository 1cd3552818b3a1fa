#include "osd/framestrip.h"

#include <algorithm>
#include <set>
#include <string>

#include "common/commondefine.h"

namespace osd {

namespace {
// Bounds that keep a damaged or hostile file from asking for much memory.
constexpr std::uint32_t kMaxSide = 4096;
constexpr size_t kMaxPages = 1024;
constexpr std::uint16_t kMaxEntries = 512;

constexpr std::uint16_t kTagWidth = 256;
constexpr std::uint16_t kTagHeight = 257;
constexpr std::uint16_t kTagBitsPerSample = 258;
constexpr std::uint16_t kTagCompression = 259;
constexpr std::uint16_t kTagPhotometric = 262;
constexpr std::uint16_t kTagStripOffsets = 273;
constexpr std::uint16_t kTagSamplesPerPixel = 277;
constexpr std::uint16_t kTagRowsPerStrip = 278;
constexpr std::uint16_t kTagStripByteCounts = 279;
constexpr std::uint16_t kTagPlanarConfiguration = 284;
constexpr std::uint16_t kTagPredictor = 317;
constexpr std::uint16_t kTagExtraSamples = 338;

constexpr std::uint16_t kTypeByte = 1;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;

constexpr std::uint32_t kUncompressed = 1;
constexpr std::uint32_t kPhotometricRgb = 2;
constexpr std::uint32_t kChunky = 1;
constexpr std::uint32_t kNoPredictor = 1;
constexpr std::uint32_t kAssociatedAlpha = 1;

constexpr size_t kEntryBytes = 12;

std::uint32_t Premultiplied(std::uint32_t colour, std::uint32_t alpha) { return (colour * alpha + 127) / 255; }
}  // namespace

// Positioned reads of the file in its byte order, never past its end.
class CFrameStrip::CReader {
public:
    CReader(HANDLE file, std::uint64_t size, bool bigEndian) : m_file(file), m_size(size), m_bigEndian(bigEndian) {}

    bool Read(std::uint64_t offset, void* out, size_t bytes) const {
        if (offset > m_size || bytes > m_size - offset || bytes > 0x7FFFFFFF) return false;
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        return ReadFile(m_file, out, static_cast<DWORD>(bytes), &got, &at) && got == bytes;
    }
    bool Inside(std::uint64_t offset, std::uint64_t bytes) const { return offset <= m_size && bytes <= m_size - offset; }

    std::uint16_t U16(const BYTE* p) const {
        return static_cast<std::uint16_t>(m_bigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]);
    }
    std::uint32_t U32(const BYTE* p) const {
        return m_bigEndian ? (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3]
                           : (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }

    // The values of a directory entry of byte, short or long numbers, at most
    // `maxCount` of them; false for another type or values outside the file.
    bool Values(const BYTE* entry, size_t maxCount, std::vector<std::uint32_t>* out) const {
        const std::uint16_t type = U16(entry + 2);
        const std::uint32_t count = U32(entry + 4);
        const size_t width = type == kTypeByte ? 1 : type == kTypeShort ? 2 : type == kTypeLong ? 4 : 0;
        if (width == 0 || count == 0 || count > maxCount) return false;
        const size_t bytes = width * count;
        std::vector<BYTE> data(entry + 8, entry + 12);
        if (bytes > 4) {
            data.resize(bytes);
            if (!Read(U32(entry + 8), data.data(), bytes)) return false;
        }
        out->resize(count);
        for (size_t i = 0; i < count; ++i) {
            const BYTE* p = data.data() + i * width;
            (*out)[i] = width == 1 ? p[0] : width == 2 ? U16(p) : U32(p);
        }
        return true;
    }

private:
    HANDLE m_file;
    std::uint64_t m_size;
    bool m_bigEndian;
};

// Reads the page whose directory is at `at`: null and the page and the
// next directory's offset, or what is wrong with it.
const wchar_t* CFrameStrip::ReadPage(const CReader& reader, std::uint32_t at, Page* readPage,
                                     std::uint32_t* next) {
    BYTE countBytes[2] = {};
    if (!reader.Read(at, countBytes, sizeof countBytes)) return L"directory outside the file";
    const std::uint16_t entries = reader.U16(countBytes);
    if (entries == 0 || entries > kMaxEntries) return L"empty directory";
    std::vector<BYTE> directory(entries * kEntryBytes + 4);
    if (!reader.Read(at + 2ull, directory.data(), directory.size())) return L"directory outside the file";

    std::uint32_t width = 0, height = 0, compression = kUncompressed, photometric = 0, samples = 1;
    std::uint32_t rowsPerStrip = 0xFFFFFFFFu, planar = kChunky, predictor = kNoPredictor;
    std::vector<std::uint32_t> bits, offsets, counts, extra;
    for (std::uint16_t i = 0; i < entries; ++i) {
        const BYTE* entry = directory.data() + i * kEntryBytes;
        std::vector<std::uint32_t> one;
        auto single = [&](std::uint32_t* value) {
            if (reader.Values(entry, 1, &one)) *value = one[0];
            else *value = 0;  // a malformed value fails the checks below
        };
        switch (reader.U16(entry)) {
        case kTagWidth: single(&width); break;
        case kTagHeight: single(&height); break;
        case kTagCompression: single(&compression); break;
        case kTagPhotometric: single(&photometric); break;
        case kTagSamplesPerPixel: single(&samples); break;
        case kTagRowsPerStrip: single(&rowsPerStrip); break;
        case kTagPlanarConfiguration: single(&planar); break;
        case kTagPredictor: single(&predictor); break;
        case kTagBitsPerSample: reader.Values(entry, 8, &bits); break;
        case kTagExtraSamples: reader.Values(entry, 8, &extra); break;
        case kTagStripOffsets: reader.Values(entry, kMaxSide, &offsets); break;
        case kTagStripByteCounts: reader.Values(entry, kMaxSide, &counts); break;
        default: break;
        }
    }
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return L"no usable size";
    if (compression != kUncompressed || predictor != kNoPredictor) return L"compressed";
    if (photometric != kPhotometricRgb || planar != kChunky || (samples != 3 && samples != 4)) {
        return L"not 8-bit RGB or RGBA";
    }
    if (bits.size() == 1) bits.resize(samples, bits[0]);
    if (bits.size() != samples || std::any_of(bits.begin(), bits.end(), [](std::uint32_t b) { return b != 8; })) {
        return L"not 8-bit RGB or RGBA";
    }
    if (rowsPerStrip == 0) return L"no rows per strip";
    rowsPerStrip = std::min(rowsPerStrip, height);
    const std::uint32_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;
    if (offsets.size() < strips || counts.size() < strips) return L"pixels missing";
    for (std::uint32_t s = 0; s < strips; ++s) {
        const std::uint64_t rows = std::min<std::uint64_t>(rowsPerStrip, height - s * rowsPerStrip);
        const std::uint64_t need = rows * width * samples;
        if (counts[s] < need || !reader.Inside(offsets[s], need)) return L"pixels outside the file";
    }

    readPage->width = static_cast<int>(width);
    readPage->height = static_cast<int>(height);
    readPage->samples = static_cast<int>(samples);
    readPage->alpha = samples == 3                                    ? Alpha::None
                      : !extra.empty() && extra[0] == kAssociatedAlpha ? Alpha::Associated
                                                                       : Alpha::Unassociated;
    readPage->rowsPerStrip = rowsPerStrip;
    offsets.resize(strips);
    readPage->stripOffsets = std::move(offsets);
    *next = reader.U32(directory.data() + entries * kEntryBytes);
    return nullptr;
}

std::unique_ptr<CFrameStrip> CFrameStrip::Load(const wchar_t* fileName, size_t cacheBytes) {
    auto fail = [fileName](const std::wstring& why) {
        ReportError(FormatText(L"fail: LoadImageStrip(%s) %s", fileName, why.c_str()));
        return nullptr;
    };
    HANDLE handle = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return fail(FormatText(L"error=%lu", GetLastError()));
    std::unique_ptr<CFrameStrip> strip(new CFrameStrip(handle, cacheBytes));
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle, &size)) return fail(FormatText(L"error=%lu", GetLastError()));

    BYTE header[8] = {};
    CReader probe(handle, static_cast<std::uint64_t>(size.QuadPart), false);
    if (!probe.Read(0, header, sizeof header)) return fail(L"not an image strip");
    const bool little = header[0] == 'I' && header[1] == 'I' && header[2] == 42 && header[3] == 0;
    const bool big = header[0] == 'M' && header[1] == 'M' && header[2] == 0 && header[3] == 42;
    if (!little && !big) return fail(L"not an image strip");
    const CReader reader(handle, static_cast<std::uint64_t>(size.QuadPart), big);

    std::set<std::uint32_t> seen;
    for (std::uint32_t at = reader.U32(header + 4); at != 0;) {
        const int number = static_cast<int>(strip->m_pages.size());
        auto failPage = [&](const wchar_t* why) { return fail(FormatText(L"page %d: %s", number, why)); };
        if (strip->m_pages.size() >= kMaxPages || !seen.insert(at).second) return failPage(L"directory loop");
        Page page;
        std::uint32_t next = 0;
        if (const wchar_t* why = ReadPage(reader, at, &page, &next)) return failPage(why);
        strip->m_pages.push_back(std::move(page));
        at = next;
    }
    if (strip->m_pages.empty()) return fail(L"no pages");
    return strip;
}

bool CFrameStrip::CheckFrame(int frame) const {
    if (frame >= 0 && frame < FrameCount()) return true;
    ReportError(FormatText(L"fail: SelectFrame(%d) of %u frames", frame, static_cast<unsigned>(m_pages.size())));
    return false;
}

bool CFrameStrip::FrameSize(int frame, SIZE* size) const {
    if (!CheckFrame(frame)) return false;
    size->cx = m_pages[static_cast<size_t>(frame)].width;
    size->cy = m_pages[static_cast<size_t>(frame)].height;
    return true;
}

std::shared_ptr<const FramePixels> CFrameStrip::Frame(int frame) {
    if (!CheckFrame(frame)) return nullptr;
    Page& page = m_pages[static_cast<size_t>(frame)];
    if (page.decoded) {
        m_recent.remove(frame);
        m_recent.push_front(frame);
        return page.decoded;
    }
    std::shared_ptr<const FramePixels> pixels = Decode(page);
    if (!pixels) {
        ReportError(FormatText(L"fail: SelectFrame(%d) page unreadable", frame));
        return nullptr;
    }
    Remember(frame, pixels);
    return pixels;
}

std::shared_ptr<const FramePixels> CFrameStrip::Decode(const Page& page) const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_file.get(), &size)) return nullptr;
    const CReader reader(m_file.get(), static_cast<std::uint64_t>(size.QuadPart), false);
    auto frame = std::make_shared<FramePixels>();
    frame->width = page.width;
    frame->height = page.height;
    frame->pixels.resize(static_cast<size_t>(page.width) * page.height);
    const size_t rowBytes = static_cast<size_t>(page.width) * page.samples;
    std::vector<BYTE> data;
    std::uint32_t* out = frame->pixels.data();
    for (size_t s = 0; s < page.stripOffsets.size(); ++s) {
        const size_t rows = std::min<size_t>(page.rowsPerStrip, page.height - s * page.rowsPerStrip);
        data.resize(rows * rowBytes);
        if (!reader.Read(page.stripOffsets[s], data.data(), data.size())) return nullptr;
        for (const BYTE* p = data.data(); p < data.data() + data.size(); p += page.samples) {
            std::uint32_t r = p[0], g = p[1], b = p[2], a = 255;
            if (page.alpha == Alpha::Unassociated) {
                a = p[3];
                r = Premultiplied(r, a);
                g = Premultiplied(g, a);
                b = Premultiplied(b, a);
            } else if (page.alpha == Alpha::Associated) {
                a = p[3];
                r = std::min(r, a);
                g = std::min(g, a);
                b = std::min(b, a);
            }
            *out++ = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    return frame;
}

void CFrameStrip::Remember(int frame, std::shared_ptr<const FramePixels> pixels) {
    const size_t bytes = pixels->pixels.size() * sizeof(std::uint32_t);
    if (bytes > m_nCacheBytes) return;  // used once, kept by nobody
    while (m_nCachedBytes + bytes > m_nCacheBytes && !m_recent.empty()) {
        Page& oldest = m_pages[static_cast<size_t>(m_recent.back())];
        m_nCachedBytes -= oldest.decoded->pixels.size() * sizeof(std::uint32_t);
        oldest.decoded.reset();
        m_recent.pop_back();
    }
    m_pages[static_cast<size_t>(frame)].decoded = std::move(pixels);
    m_nCachedBytes += bytes;
    m_recent.push_front(frame);
}

}  // namespace osd

// The hotkey strips as the program reads them: the shipped files give the
// same frames as GDI+ decodes, the TIFF variants a strip may hold decode to
// the right premultiplied pixels, damaged files are reported without a
// crash, and the decoded frames stay within their budget. Also the canvas
// the pictures are put together on.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "common/gdiobjects.h"
#include "osd/framestrip.h"
#include "osd/imagestrip.h"
#include "osd/layercanvas.h"
#include "osdfixture.h"

namespace {

using osd::CFrameStrip;
using osd::FramePixels;

// ---- a small TIFF writer for the cases

struct TestPage {
    int width = 2;
    int height = 2;
    int samples = 4;
    std::uint32_t extraSamples = 2;  // 2 unassociated alpha, 1 associated, ~0u: no tag
    std::vector<std::uint8_t> data;  // width * height * samples bytes, rows top first
    std::uint32_t rowsPerStrip = 0;  // 0: one strip
    std::map<std::uint16_t, std::uint32_t> replaced;  // single-valued tags written with another value
};

class TiffWriter {
public:
    explicit TiffWriter(bool bigEndian) : m_big(bigEndian) {
        m_out = bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4);
        Put32(0);
    }
    void Page(const TestPage& page) {
        Align();
        const std::uint32_t rows = page.rowsPerStrip ? page.rowsPerStrip : static_cast<std::uint32_t>(page.height);
        const size_t rowBytes = static_cast<size_t>(page.width) * page.samples;
        std::vector<std::uint32_t> offsets, counts;
        for (std::uint32_t first = 0; first < static_cast<std::uint32_t>(page.height); first += rows) {
            const size_t bytes = std::min<size_t>(rows, page.height - first) * rowBytes;
            Align();
            offsets.push_back(static_cast<std::uint32_t>(m_out.size()));
            counts.push_back(static_cast<std::uint32_t>(bytes));
            m_out.append(reinterpret_cast<const char*>(page.data.data()) + first * rowBytes, bytes);
        }
        Align();
        const std::uint32_t bitsAt = static_cast<std::uint32_t>(m_out.size());
        for (int i = 0; i < page.samples; ++i) Put16(8);
        const std::uint32_t offsetsAt = static_cast<std::uint32_t>(m_out.size());
        for (std::uint32_t o : offsets) Put32(o);
        const std::uint32_t countsAt = static_cast<std::uint32_t>(m_out.size());
        for (std::uint32_t c : counts) Put32(c);

        struct Entry {
            std::uint16_t tag, type;
            std::uint32_t count, value;
        };
        auto one = [&](std::uint16_t tag, std::uint32_t value) {
            const auto found = page.replaced.find(tag);
            return Entry{tag, 4, 1, found == page.replaced.end() ? value : found->second};
        };
        std::vector<Entry> entries = {
            one(256, page.width), one(257, page.height),
            {258, 3, static_cast<std::uint32_t>(page.samples), bitsAt}, one(259, 1), one(262, 2),
            offsets.size() == 1 ? one(273, offsets[0]) : Entry{273, 4, static_cast<std::uint32_t>(offsets.size()), offsetsAt},
            one(277, page.samples), one(278, rows),
            counts.size() == 1 ? one(279, counts[0]) : Entry{279, 4, static_cast<std::uint32_t>(counts.size()), countsAt}};
        if (page.extraSamples != ~0u && page.samples == 4) entries.push_back(one(338, page.extraSamples));
        for (const auto& [tag, value] : page.replaced) {
            bool present = false;
            for (const Entry& e : entries) present = present || e.tag == tag;
            if (!present) entries.push_back(Entry{tag, 4, 1, value});
        }
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });

        Align();
        m_directories.push_back(static_cast<std::uint32_t>(m_out.size()));
        Set32(m_link, m_directories.back());
        Put16(static_cast<std::uint16_t>(entries.size()));
        for (const Entry& e : entries) {
            Put16(e.tag);
            Put16(e.type);
            Put32(e.count);
            Put32(e.value);
        }
        m_link = m_out.size();
        Put32(0);
    }
    // The last page's directory names the first one as its next: a loop.
    void LoopBack() { Set32(m_link, m_directories.front()); }
    void FirstDirectoryAt(std::uint32_t offset) { Set32(4, offset); }
    const std::string& Bytes() const { return m_out; }

private:
    void Align() {
        if (m_out.size() % 2) m_out.push_back('\0');
    }
    void Put16(std::uint16_t v) {
        const char bytes[2] = {static_cast<char>(m_big ? v >> 8 : v), static_cast<char>(m_big ? v : v >> 8)};
        m_out.append(bytes, 2);
    }
    void Put32(std::uint32_t v) {
        m_out.append(4, '\0');
        Set32(m_out.size() - 4, v);
    }
    void Set32(size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            m_out[at + (m_big ? 3 - i : i)] = static_cast<char>(v >> (8 * i));
        }
    }
    bool m_big;
    std::string m_out;
    size_t m_link = 4;
    std::vector<std::uint32_t> m_directories;
};

// A 2 x 2 page: opaque red, half-transparent white, transparent green, quarter-covered blue.
TestPage SamplePage() {
    TestPage page;
    page.data = {255, 0, 0, 255, 255, 255, 255, 128, 0, 255, 0, 0, 0, 0, 200, 64};
    return page;
}

class FrameStripTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"vq_frame_strip_test.dll";
        m_logStart = LogSize();
    }
    void TearDown() override { DeleteFileW(m_path.c_str()); }
    std::unique_ptr<CFrameStrip> LoadBytes(const std::string& bytes, size_t budget = CFrameStrip::kDefaultCacheBytes) {
        HANDLE file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return CFrameStrip::Load(m_path.c_str(), budget);
    }
    std::string NewLog() const { return NewLogText(m_logStart); }

    std::wstring m_path;
    size_t m_logStart = 0;
};

// ---- the shipped strips against GDI+

struct ShippedCase {
    const wchar_t* file;
    int frames;
};
class ShippedStrip : public ::testing::TestWithParam<ShippedCase> {};

TEST_P(ShippedStrip, EveryFrameMatchesWhatGdiplusDecodes) {
    const ShippedCase c = GetParam();
    auto strip = CFrameStrip::Load(c.file);
    ASSERT_NE(strip, nullptr);
    ASSERT_EQ(strip->FrameCount(), c.frames);
    std::unique_ptr<Gdiplus::Bitmap> reference = osd::LoadImageStrip(c.file);
    ASSERT_NE(reference, nullptr);
    for (int frame = 0; frame < c.frames; ++frame) {
        const Picture expected = FramePicture(reference.get(), frame);
        const std::shared_ptr<const FramePixels> pixels = strip->Frame(frame);
        ASSERT_NE(pixels, nullptr) << "frame " << frame;
        SIZE size{};
        ASSERT_TRUE(strip->FrameSize(frame, &size));
        ASSERT_EQ(size.cx, expected.width);
        ASSERT_EQ(size.cy, expected.height);
        ASSERT_EQ(pixels->width, expected.width) << "frame " << frame;
        ASSERT_EQ(pixels->height, expected.height) << "frame " << frame;
        int differing = 0;
        for (size_t i = 0; i < expected.pixels.size(); ++i) {
            for (int shift = 0; shift < 32; shift += 8) {
                const int mine = static_cast<int>((pixels->pixels[i] >> shift) & 0xFF);
                const int theirs = static_cast<int>((expected.pixels[i] >> shift) & 0xFF);
                if (std::abs(mine - theirs) > 1) ++differing;
            }
        }
        EXPECT_EQ(differing, 0) << "frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedStrip,
                         ::testing::Values(ShippedCase{osd::kIconStripFile, 47}, ShippedCase{osd::kLevelStripFile, 4}));

// ---- the variants a strip may hold

struct VariantCase {
    const char* name;
    bool bigEndian;
    int samples;
    std::uint32_t extraSamples;
    std::uint32_t rowsPerStrip;
    std::vector<std::uint32_t> expected;  // 0xAARRGGBB, premultiplied
};
class StripVariant : public FrameStripTest, public ::testing::WithParamInterface<VariantCase> {};

TEST_P(StripVariant, DecodesToPremultipliedPixels) {
    const VariantCase c = GetParam();
    TestPage page = SamplePage();
    page.extraSamples = c.extraSamples;
    page.rowsPerStrip = c.rowsPerStrip;
    if (c.samples == 3) {
        std::vector<std::uint8_t> rgb;
        for (size_t i = 0; i < page.data.size(); ++i) {
            if (i % 4 != 3) rgb.push_back(page.data[i]);
        }
        page.data = rgb;
        page.samples = 3;
    } else if (c.extraSamples == 1) {
        // Associated alpha: the colours are stored premultiplied; one is above its alpha.
        page.data = {255, 0, 0, 255, 128, 128, 128, 128, 0, 0, 0, 0, 0, 0, 90, 64};
    }
    TiffWriter writer(c.bigEndian);
    writer.Page(page);
    auto strip = LoadBytes(writer.Bytes());
    ASSERT_NE(strip, nullptr) << c.name << ": " << NewLog();
    const auto pixels = strip->Frame(0);
    ASSERT_NE(pixels, nullptr) << c.name;
    EXPECT_EQ(pixels->pixels, c.expected) << c.name;
    EXPECT_EQ(NewLog(), "") << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Variants, StripVariant,
    ::testing::Values(
        VariantCase{"RGBA, unassociated alpha", false, 4, 2, 0, {0xFFFF0000, 0x80808080, 0x00000000, 0x40000032}},
        VariantCase{"the same in big-endian order", true, 4, 2, 0, {0xFFFF0000, 0x80808080, 0x00000000, 0x40000032}},
        VariantCase{"one strip per row", false, 4, 2, 1, {0xFFFF0000, 0x80808080, 0x00000000, 0x40000032}},
        VariantCase{"alpha without its extra-samples tag", false, 4, ~0u, 0,
                    {0xFFFF0000, 0x80808080, 0x00000000, 0x40000032}},
        VariantCase{"associated alpha, colour capped at the alpha", false, 4, 1, 0,
                    {0xFFFF0000, 0x80808080, 0x00000000, 0x40000040}},
        VariantCase{"RGB: opaque", false, 3, ~0u, 0, {0xFFFF0000, 0xFFFFFFFF, 0xFF00FF00, 0xFF0000C8}}));

TEST_F(FrameStripTest, PagesKeepTheirOwnSizesAndAFrameOutOfRangeIsReported) {
    TestPage small = SamplePage();
    TestPage wide;
    wide.width = 3;
    wide.height = 1;
    wide.data = {1, 2, 3, 255, 4, 5, 6, 255, 7, 8, 9, 255};
    TiffWriter writer(false);
    writer.Page(small);
    writer.Page(wide);
    auto strip = LoadBytes(writer.Bytes());
    ASSERT_NE(strip, nullptr) << NewLog();
    ASSERT_EQ(strip->FrameCount(), 2);
    SIZE size{};
    ASSERT_TRUE(strip->FrameSize(1, &size));
    EXPECT_EQ(size.cx, 3);
    EXPECT_EQ(size.cy, 1);
    EXPECT_EQ(strip->Frame(1)->pixels, (std::vector<std::uint32_t>{0xFF010203, 0xFF040506, 0xFF070809}));

    EXPECT_EQ(strip->Frame(2), nullptr);
    EXPECT_FALSE(strip->FrameSize(-1, &size));
    EXPECT_NE(NewLog().find("fail: SelectFrame(2) of 2 frames"), std::string::npos) << NewLog();
    EXPECT_NE(NewLog().find("fail: SelectFrame(-1) of 2 frames"), std::string::npos) << NewLog();
}

// ---- damaged files

struct DamageCase {
    const char* name;
    void (*page)(TestPage& page);           // changes the page before it is written; may be null
    std::string (*file)(TiffWriter& written);  // the file from the written strip; null: as written
    const char* report;
};
class DamagedStrip : public FrameStripTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedStrip, IsReportedAndGivesNoStrip) {
    const DamageCase c = GetParam();
    TestPage page = SamplePage();
    if (c.page) c.page(page);
    TiffWriter writer(false);
    writer.Page(page);
    writer.Page(SamplePage());
    const std::string bytes = c.file ? c.file(writer) : writer.Bytes();
    EXPECT_EQ(LoadBytes(bytes), nullptr) << c.name;
    const std::string log = NewLog();
    EXPECT_NE(log.find("fail: LoadImageStrip("), std::string::npos) << c.name << ": " << log;
    EXPECT_NE(log.find(c.report), std::string::npos) << c.name << ": " << log;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedStrip,
    ::testing::Values(
        DamageCase{"text, not an image", nullptr, [](TiffWriter&) { return std::string("this is not an image"); },
                   "not an image strip"},
        DamageCase{"header only", nullptr, [](TiffWriter&) { return std::string("II*\0", 4); }, "not an image strip"},
        DamageCase{"first directory beyond the end", nullptr,
                   [](TiffWriter& w) {
                       w.FirstDirectoryAt(1000000);
                       return w.Bytes();
                   },
                   "page 0: directory outside the file"},
        DamageCase{"directories in a loop", nullptr,
                   [](TiffWriter& w) {
                       w.LoopBack();
                       return w.Bytes();
                   },
                   "page 2: directory loop"},
        DamageCase{"cut off in the second directory", nullptr,
                   [](TiffWriter& w) { return w.Bytes().substr(0, w.Bytes().size() - 20); },
                   "page 1: directory outside the file"},
        DamageCase{"compressed pixels", [](TestPage& p) { p.replaced[259] = 5; }, nullptr, "page 0: compressed"},
        DamageCase{"a predictor", [](TestPage& p) { p.replaced[317] = 2; }, nullptr, "page 0: compressed"},
        DamageCase{"palette colours", [](TestPage& p) { p.replaced[262] = 3; }, nullptr,
                   "page 0: not 8-bit RGB or RGBA"},
        DamageCase{"separate colour planes", [](TestPage& p) { p.replaced[284] = 2; }, nullptr,
                   "page 0: not 8-bit RGB or RGBA"},
        DamageCase{"two samples a pixel", [](TestPage& p) { p.replaced[277] = 2; }, nullptr,
                   "page 0: not 8-bit RGB or RGBA"},
        DamageCase{"width 0", [](TestPage& p) { p.replaced[256] = 0; }, nullptr, "page 0: no usable size"},
        DamageCase{"a page too large to hold", [](TestPage& p) { p.replaced[257] = 70000; }, nullptr,
                   "page 0: no usable size"},
        DamageCase{"no rows per strip", [](TestPage& p) { p.replaced[278] = 0; }, nullptr, "page 0: no rows per strip"},
        DamageCase{"pixels beyond the end", [](TestPage& p) { p.replaced[273] = 1000000; }, nullptr,
                   "page 0: pixels outside the file"},
        DamageCase{"fewer pixel bytes than the page needs", [](TestPage& p) { p.replaced[279] = 15; }, nullptr,
                   "page 0: pixels outside the file"}));

TEST_F(FrameStripTest, MissingFileIsReportedWithItsSystemError) {
    EXPECT_EQ(CFrameStrip::Load(m_path.c_str()), nullptr);
    EXPECT_NE(NewLog().find("fail: LoadImageStrip("), std::string::npos) << NewLog();
    EXPECT_NE(NewLog().find("error=2"), std::string::npos) << NewLog();
}

// ---- the decoded frames' budget

TEST_F(FrameStripTest, DecodedFramesStayWithinTheBudgetAndAHeldFrameOutlivesItsEviction) {
    TiffWriter writer(false);
    for (int i = 0; i < 4; ++i) {
        TestPage page = SamplePage();
        page.data[0] = static_cast<std::uint8_t>(10 * i);  // each page's first pixel tells it apart
        writer.Page(page);
    }
    const size_t frameBytes = 2 * 2 * sizeof(std::uint32_t);
    auto strip = LoadBytes(writer.Bytes(), 2 * frameBytes);
    ASSERT_NE(strip, nullptr) << NewLog();
    EXPECT_EQ(strip->CachedBytes(), 0u) << "nothing is decoded before it is needed";

    const std::shared_ptr<const FramePixels> first = strip->Frame(0);
    const std::shared_ptr<const FramePixels> again = strip->Frame(0);
    EXPECT_EQ(first.get(), again.get()) << "a kept frame is not decoded again";
    strip->Frame(1);
    strip->Frame(0);  // 0 is now the most recent: 1 goes first
    strip->Frame(2);
    EXPECT_EQ(strip->CachedBytes(), 2 * frameBytes);
    EXPECT_EQ(strip->Frame(0).get(), first.get()) << "the most recently used frame was kept";
    strip->Frame(3);
    strip->Frame(2);
    EXPECT_LE(strip->CachedBytes(), 2 * frameBytes);
    EXPECT_NE(strip->Frame(0).get(), first.get()) << "frame 0 was evicted and decoded anew";
    EXPECT_EQ(first->At(0, 0), 0xFF000000u) << "a frame a caller holds stays intact";
    EXPECT_EQ(strip->Frame(3)->At(0, 0), 0xFF1E0000u);
}

TEST_F(FrameStripTest, FrameLargerThanTheBudgetIsDecodedButNotKept) {
    TiffWriter writer(false);
    writer.Page(SamplePage());
    auto strip = LoadBytes(writer.Bytes(), 8);
    ASSERT_NE(strip, nullptr);
    EXPECT_NE(strip->Frame(0), nullptr);
    EXPECT_EQ(strip->CachedBytes(), 0u);
}

// ---- the canvas

FramePixels Solid(int width, int height, std::uint32_t pixel) {
    FramePixels frame;
    frame.width = width;
    frame.height = height;
    frame.pixels.assign(static_cast<size_t>(width) * height, pixel);
    return frame;
}

Picture PictureOf(const FramePixels& frame) {
    Picture picture;
    picture.width = frame.width;
    picture.height = frame.height;
    picture.pixels.assign(frame.pixels.begin(), frame.pixels.end());
    return picture;
}

struct CanvasCase {
    const char* name;
    int x, y, clipRight;
};
class CanvasDraw : public ::testing::TestWithParam<CanvasCase> {};

TEST_P(CanvasDraw, BlendsSourceOverInsideTheCanvasAndTheClipOnly) {
    const CanvasCase c = GetParam();
    const FramePixels background = Solid(8, 6, 0xC0203040);
    FramePixels overlay = Solid(4, 3, 0x80406000);
    overlay.pixels[1] = 0xFF112233;  // opaque
    overlay.pixels[2] = 0x00000000;  // a hole
    osd::CLayerCanvas canvas;
    ASSERT_TRUE(canvas.Begin(8, 6));
    canvas.Draw(background, 0, 0);
    canvas.Draw(overlay, c.x, c.y, c.clipRight);

    Picture expected = PictureOf(background);
    DrawOver(expected, PictureOf(overlay), c.x, c.y, c.clipRight);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) EXPECT_EQ(canvas.At(x, y), expected.At(x, y)) << c.name << " at " << x << "," << y;
    }
    canvas.Release();
}

INSTANTIATE_TEST_SUITE_P(Placements, CanvasDraw,
                         ::testing::Values(CanvasCase{"inside", 2, 1, 1 << 30}, CanvasCase{"clipped", 2, 1, 4},
                                           CanvasCase{"over the left and top edges", -2, -1, 1 << 30},
                                           CanvasCase{"over the right and bottom edges", 6, 4, 1 << 30},
                                           CanvasCase{"clip left of the frame", 2, 1, 1},
                                           CanvasCase{"entirely outside", 20, 20, 1 << 30}));

TEST(LayerCanvas, RedrawOfTheSameSizeReusesItsBitmapAndStartsTransparent) {
    const int before = gdi::LiveObjects();
    osd::CLayerCanvas canvas;
    ASSERT_TRUE(canvas.Begin(5, 4));
    canvas.Draw(Solid(5, 4, 0xFFFFFFFF), 0, 0);
    const HBITMAP first = canvas.Bitmap();
    EXPECT_EQ(gdi::LiveObjects(), before + 1);

    ASSERT_TRUE(canvas.Begin(5, 4));
    EXPECT_EQ(canvas.Bitmap(), first);
    EXPECT_EQ(canvas.At(4, 3), 0u) << "the last picture is gone";
    EXPECT_EQ(gdi::LiveObjects(), before + 1);

    ASSERT_TRUE(canvas.Begin(0, 0));  // at least one pixel
    EXPECT_EQ(canvas.Width(), 1);
    EXPECT_EQ(canvas.Height(), 1);
    EXPECT_EQ(gdi::LiveObjects(), before + 1);
    canvas.Release();
    EXPECT_EQ(gdi::LiveObjects(), before);
}

}  // namespace

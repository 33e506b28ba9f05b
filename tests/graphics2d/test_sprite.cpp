#include "test_font_fixture.h"

#include <climits>
#include <functional>

#include "foundation/test_catalog_bytes.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFrame.h"
#include "graphics2d/YSprite.h"

namespace {

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kMagenta = RGB(255, 0, 255);

// A 24-bit BMP whose column x has the colour columns(x).
template <typename Columns>
Bytes Picture(int width, int height, Columns columns)
{
    std::vector<Bytes> rows;
    for (int y = 0; y < height; ++y) {
        Bytes row;
        for (int x = 0; x < width; ++x) {
            const COLORREF c = columns(x);
            row.push_back(GetBValue(c)), row.push_back(GetGValue(c)), row.push_back(GetRValue(c));
        }
        rows.push_back(row);
    }
    return MakeBMP(24, width, height, rows);
}

Bytes Solid(int width, int height, COLORREF colour)
{
    return Picture(width, height, [colour](int) { return colour; });
}

YFrame* Frame(const char* image, LONG width, LONG height, LONG hotX = 0, LONG hotY = 0)
{
    YFrame* frame = new YFrame;
    frame->m_imageName = image;
    frame->m_frameRect = RECT{0, 0, width, height};
    frame->SetHotSpot(hotX, hotY);
    return frame;
}

void ExpectRect(const RECT& want, const RECT& got, const char* what)
{
    EXPECT_EQ(want.left, got.left) << what;
    EXPECT_EQ(want.top, got.top) << what;
    EXPECT_EQ(want.right, got.right) << what;
    EXPECT_EQ(want.bottom, got.bottom) << what;
}

class SpriteTest : public FontTest {
protected:
    uint32_t At(YDXSurface& s, int x, int y)
    {
        const DDPIXELFORMAT& f = s.GetDescription().ddpfPixelFormat;
        return Read(s)[static_cast<size_t>(y) * s.GetWidth() + x] & (f.dwRBitMask | f.dwGBitMask | f.dwBBitMask);
    }
    // Frames drawn from the temporary folder.
    bool Build(YSprite& sprite) { return sprite.CreateSurface(&display) && sprite.DrawFramesToSurface((folder / "").c_str()); }
};

TEST_F(SpriteTest, FramesAreStackedTopToBottom)
{
    folder.Write("a.bmp", Solid(32, 32, kRed));
    folder.Write("b.bmp", Solid(64, 16, kGreen));
    folder.Write("c.bmp", Solid(32, 32, kBlue));
    YSprite sprite;
    sprite.m_name = "stack";
    ASSERT_EQ(1, sprite.InsertFrame(Frame("a.bmp", 32, 32), -1));
    ASSERT_EQ(1, sprite.InsertFrame(Frame("b.bmp", 64, 16), -1));
    ASSERT_EQ(1, sprite.InsertFrame(Frame("c.bmp", 32, 32), -1));
    EXPECT_EQ(64, sprite.GetWidth());
    EXPECT_EQ(80, sprite.GetHeight());
    ASSERT_TRUE(Build(sprite));
    YDXSurface& s = *sprite.GetSurface();
    EXPECT_EQ(64u, s.GetWidth());
    EXPECT_EQ(80u, s.GetHeight());
    EXPECT_STREQ("Sprite stack", s.GetName().GetBuffer());
    EXPECT_TRUE(sprite.OwnsSurface());
    EXPECT_EQ(PixelOf(s, kMagenta), s.GetKeyValue());
    ExpectRect({0, 0, 32, 32}, sprite.GetFrame(0)->m_frameRect, "first");
    ExpectRect({0, 32, 64, 48}, sprite.GetFrame(1)->m_frameRect, "second");
    ExpectRect({0, 48, 32, 80}, sprite.GetFrame(2)->m_frameRect, "third");
    struct Probe {
        int x, y;
        COLORREF colour;
    } probes[] = {{0, 0, kRed}, {31, 31, kRed}, {40, 10, kMagenta}, {63, 47, kGreen}, {0, 79, kBlue}, {40, 60, kMagenta}};
    for (const Probe& p : probes) EXPECT_EQ(PixelOf(s, p.colour), At(s, p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(SpriteTest, FramesOfTheSameBitmapShareOneRectangle)
{
    folder.Write("a.bmp", Solid(32, 32, kRed));
    folder.Write("b.bmp", Solid(32, 16, kGreen));
    YSprite sprite;
    sprite.InsertFrame(Frame("a.bmp", 32, 32, 3, 4), -1);
    sprite.InsertFrame(Frame("b.bmp", 32, 16), -1);
    sprite.InsertFrame(Frame("a.bmp", 32, 32), -1);
    EXPECT_EQ(sprite.GetFrame(0), sprite.FindSameImage(sprite.GetFrame(2)));
    EXPECT_EQ(nullptr, sprite.FindSameImage(sprite.GetFrame(0)));
    ASSERT_TRUE(Build(sprite));
    EXPECT_EQ(48u, sprite.GetSurface()->GetHeight());
    ExpectRect(sprite.GetFrame(0)->m_frameRect, sprite.GetFrame(2)->m_frameRect, "shared");
    EXPECT_EQ(3, sprite.GetFrame(2)->GetHotSpot().x);
}

TEST_F(SpriteTest, HalfSizeFramesReadTheSuffixedPictureIntoHalfTheSpace)
{
    folder.Write("big.bmp", Solid(64, 64, kGreen));
    folder.Write("big_h.bmp", Solid(32, 32, kRed));
    YSprite sprite;
    sprite.m_halfSize = 1;
    YFrame* frame = Frame("Big.BMP", 64, 64);
    frame->m_halfSizeSuffix = "_h";
    sprite.InsertFrame(frame, -1);
    ASSERT_TRUE(Build(sprite));
    ExpectRect({0, 0, 32, 32}, frame->m_frameRect, "half");
    EXPECT_EQ(1u, frame->m_halfSize);
    EXPECT_EQ(64, frame->GetWidth());
    EXPECT_EQ(64, frame->GetHeight());
    EXPECT_EQ(32u, sprite.GetSurface()->GetWidth());
    EXPECT_EQ(PixelOf(*sprite.GetSurface(), kRed), At(*sprite.GetSurface(), 10, 10));
}

TEST_F(SpriteTest, AHalfSizeFrameOffTheLeftEdgeMovesItsSourceHalfAsFar)
{
    // Source column 5 is blue: it must be the first one shown.
    folder.Write("walk.bmp", Solid(64, 64, kGreen));
    folder.Write("walk_h.bmp", Picture(32, 32, [](int x) { return x < 5 ? kRed : x == 5 ? kBlue : kGreen; }));
    YSprite sprite;
    sprite.m_halfSize = 1;
    YFrame* frame = Frame("walk.bmp", 64, 64);
    frame->m_halfSizeSuffix = "_h";
    sprite.InsertFrame(frame, -1);
    ASSERT_TRUE(Build(sprite));
    std::unique_ptr<YDXSurface> target = Target(64, 64);
    EXPECT_EQ(1, sprite.DrawAt(target.get(), -10, 0));
    EXPECT_EQ(PixelOf(*target, kBlue), At(*target, 0, 0));
    EXPECT_EQ(PixelOf(*target, kBlue), At(*target, 1, 0));
    EXPECT_EQ(PixelOf(*target, kGreen), At(*target, 2, 0));
    EXPECT_EQ(PixelOf(*target, kGreen), At(*target, 53, 63));
    EXPECT_EQ(0u, At(*target, 54, 0));
}

TEST_F(SpriteTest, ClipRectsMovesTheSourceWithTheDestination)
{
    const RECT screen = {0, 0, 100, 100};
    struct Case {
        LONG half;
        RECT dst, src;
        const RECT* clip;
        RECT wantDst, wantSrc;
        int result;
    } cases[] = {
        {1, {-10, 0, 54, 64}, {0, 0, 32, 32}, &screen, {0, 0, 54, 64}, {5, 0, 32, 32}, 1},
        {0, {-10, 0, 54, 64}, {0, 0, 64, 64}, &screen, {0, 0, 54, 64}, {10, 0, 64, 64}, 1},
        {1, {-3, -5, 61, 59}, {0, 0, 32, 32}, &screen, {0, 0, 61, 59}, {1, 2, 32, 32}, 1},
        {0, {90, 0, 130, 40}, {0, 0, 40, 40}, &screen, {90, 0, 100, 40}, {0, 0, 10, 40}, 1},
        {1, {0, 80, 64, 144}, {0, 0, 32, 32}, &screen, {0, 80, 64, 100}, {0, 0, 32, 10}, 1},
        {0, {120, 0, 150, 10}, {0, 0, 30, 10}, &screen, {120, 0, 100, 10}, {0, 0, -20, 10}, 0},
        {0, {0, 99, 10, 140}, {0, 0, 10, 41}, &screen, {0, 99, 10, 100}, {0, 0, 10, 1}, 1},
        {0, {-5, -5, 5, 5}, {0, 0, 10, 10}, nullptr, {-5, -5, 5, 5}, {0, 0, 10, 10}, 1},
    };
    for (const Case& c : cases) {
        YSprite sprite;
        sprite.m_halfSize = c.half;
        RECT dst = c.dst, src = c.src;
        EXPECT_EQ(c.result, sprite.ClipRects(&dst, &src, c.clip)) << c.dst.left << "," << c.dst.top;
        ExpectRect(c.wantDst, dst, "dst");
        ExpectRect(c.wantSrc, src, "src");
    }
}

TEST_F(SpriteTest, TheHotSpotIsPlacedAtThePosition)
{
    folder.Write("dot.bmp", Solid(32, 32, kRed));
    YSprite sprite;
    YFrame* frame = Frame("dot.bmp", 32, 32, 16, 16);
    frame->m_focusRect = RECT{2, 3, 10, 12};
    sprite.InsertFrame(frame, -1);
    ASSERT_TRUE(Build(sprite));
    std::unique_ptr<YDXSurface> target = Target(128, 128);
    EXPECT_EQ(1, sprite.DrawAt(target.get(), 100, 100));
    struct Probe {
        int x, y;
        bool red;
    } probes[] = {{84, 84, true}, {115, 115, true}, {83, 84, false}, {84, 83, false}, {116, 100, false}, {100, 116, false}};
    for (const Probe& p : probes)
        EXPECT_EQ(p.red ? PixelOf(*target, kRed) : 0u, At(*target, p.x, p.y)) << p.x << "," << p.y;

    sprite.SetPosition(100, 100);
    ExpectRect({84, 84, 116, 116}, sprite.GetScreenRect(), "screen");
    ExpectRect({86, 87, 94, 96}, sprite.GetScreenFocusRect(), "focus");
    frame->m_focusRect = RECT{4, 4, 4, 9};
    ExpectRect({0, 0, 0, 0}, sprite.GetScreenFocusRect(), "empty focus");

    // The same through Draw at the sprite's own position, clipped once more.
    std::unique_ptr<YDXSurface> clipped = Target(128, 128);
    RECT clip = {100, 100, 128, 128};
    EXPECT_EQ(1, sprite.Draw(clipped.get(), &clip));
    EXPECT_EQ(0u, At(*clipped, 99, 99));
    EXPECT_EQ(PixelOf(*clipped, kRed), At(*clipped, 100, 100));
    EXPECT_EQ(PixelOf(*clipped, kRed), At(*clipped, 115, 115));
}

TEST_F(SpriteTest, AMissingCurrentFrameDrawsNothing)
{
    folder.Write("dot.bmp", Solid(8, 8, kRed));
    YSprite sprite;
    sprite.InsertFrame(Frame("dot.bmp", 8, 8), -1);
    ASSERT_TRUE(Build(sprite));
    std::unique_ptr<YDXSurface> target = Target(16, 16);
    for (int index : {1, -1, 7}) {
        sprite.SetCurrentFrame(index);
        EXPECT_EQ(0, sprite.DrawAt(target.get(), 4, 4)) << index;
        EXPECT_EQ(0, sprite.Draw(target.get(), nullptr)) << index;
    }
    EXPECT_EQ(Map(*Target(16, 16)), Map(*target));
}

TEST_F(SpriteTest, APictureLargerThanItsSlotIsCutToTheSlot)
{
    // 32 x 16 red in a 16 x 16 slot; the next frame's picture is missing.
    folder.Write("wide.bmp", Solid(32, 32, kRed));
    YSprite sprite;
    sprite.InsertFrame(Frame("wide.bmp", 16, 16), -1);
    sprite.InsertFrame(Frame("gone.bmp", 32, 16), -1);
    ASSERT_TRUE(Build(sprite));
    YDXSurface& s = *sprite.GetSurface();
    EXPECT_EQ(32u, s.GetWidth());
    EXPECT_EQ(PixelOf(s, kRed), At(s, 15, 15));
    EXPECT_EQ(PixelOf(s, kMagenta), At(s, 16, 5));
    EXPECT_EQ(PixelOf(s, kMagenta), At(s, 5, 16));
    ExpectRect({0, 16, 32, 32}, sprite.GetFrame(1)->m_frameRect, "kept");
}

TEST_F(SpriteTest, MirrorFlagsReachTheCopy)
{
    folder.Write("half.bmp", Picture(8, 2, [](int x) { return x < 4 ? kRed : kGreen; }));
    YSprite sprite;
    sprite.InsertFrame(Frame("half.bmp", 8, 2), -1);
    ASSERT_TRUE(Build(sprite));
    sprite.SetMirror(1, 0);
    std::unique_ptr<YDXSurface> target = Target(8, 2);
    EXPECT_EQ(1, sprite.DrawAt(target.get(), 0, 0));
    EXPECT_EQ(PixelOf(*target, kGreen), At(*target, 0, 0));
    EXPECT_EQ(PixelOf(*target, kRed), At(*target, 7, 1));
}

TEST_F(SpriteTest, FramesAreInsertedRemovedAndMoved)
{
    YSprite sprite;
    std::unique_ptr<YFrame> stray(Frame("x", 1, 1));
    EXPECT_EQ(0, sprite.InsertFrame(stray.get(), 0));  // there is no frame 0 yet
    EXPECT_EQ(0, sprite.GetFrameCount());
    EXPECT_EQ(0, sprite.GetHeight());
    YFrame* a = Frame("a", 10, 5);
    YFrame* b = Frame("b", 30, 7);
    YFrame* c = Frame("c", 20, 9);
    EXPECT_EQ(1, sprite.InsertFrame(a, -1));
    EXPECT_EQ(1, sprite.InsertFrame(b, 0));
    EXPECT_EQ(1, sprite.InsertFrame(c, 1));
    EXPECT_EQ(30, sprite.GetWidth());
    EXPECT_EQ(21, sprite.GetHeight());
    EXPECT_EQ(b, sprite.GetFrame(0));
    EXPECT_EQ(c, sprite.GetFrame(1));
    EXPECT_EQ(a, sprite.GetFrame(2));

    sprite.MoveFrame(0, 1);  // b out, then before a; its height counts again
    EXPECT_EQ(c, sprite.GetFrame(0));
    EXPECT_EQ(b, sprite.GetFrame(1));
    EXPECT_EQ(a, sprite.GetFrame(2));
    EXPECT_EQ(28, sprite.GetHeight());
    sprite.MoveFrame(5, 0);
    EXPECT_EQ(3, sprite.GetFrameCount());

    EXPECT_EQ(1, sprite.RemoveFrame(1));
    EXPECT_EQ(21, sprite.GetHeight());
    EXPECT_EQ(30, sprite.GetWidth());
    EXPECT_EQ(1, sprite.RemoveFrame(9));
    EXPECT_EQ(0, sprite.RemoveFrame(-1));
    EXPECT_EQ(2, sprite.GetFrameCount());
    sprite.m_height = 3;
    EXPECT_EQ(1, sprite.RemoveFrame(0));
    EXPECT_EQ(0, sprite.GetHeight());
}

// A sprite of schema 1 holding one frame of schema 1, as an archive stores them.
Bytes SchemaOneSprite()
{
    ByteWriter w;
    auto text = [&w](const char* s) {
        w.U8(static_cast<uint32_t>(strlen(s)));
        for (const char* p = s; *p; ++p) w.U8(static_cast<uint8_t>(*p));
    };
    auto newClass = [&w](const char* name) {
        w.U16(0xFFFF).U16(1).U16(static_cast<uint32_t>(strlen(name)));
        for (const char* p = name; *p; ++p) w.U8(static_cast<uint8_t>(*p));
    };
    newClass("YSprite");
    w.U32(1);  // version
    text("old");
    w.U32(4).U32(5).U32(6).U32(32).U32(32).U32(7);  // x, y, value A, width, height, value B
    w.U16(1);                                       // one frame
    newClass("YFrame");
    w.U32(1);
    text("old.bmp");
    w.U32(9).U32(0).U32(0).U32(32).U32(32).U32(16).U32(16);  // tag, rectangle, hot spot
    return w.bytes;
}

TEST_F(SpriteTest, ASchemaOneSpriteKeepsItsLaterValuesAtTheirDefaults)
{
    Bytes bytes = SchemaOneSprite();
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    std::unique_ptr<CObject> object(ar.ReadObject(RUNTIME_CLASS(YSprite)));
    YSprite* sprite = DYNAMIC_DOWNCAST(YSprite, object.get());
    ASSERT_NE(nullptr, sprite);
    EXPECT_STREQ("old", sprite->m_name);
    EXPECT_EQ(4, sprite->m_x);
    EXPECT_EQ(7, sprite->m_valueB);
    EXPECT_EQ(0, sprite->m_valueC);
    EXPECT_EQ(0, sprite->m_halfSize);
    ASSERT_EQ(1, sprite->GetFrameCount());
    YFrame* frame = sprite->GetFrame(0);
    EXPECT_STREQ("old.bmp", frame->m_imageName);
    EXPECT_EQ(9, frame->m_tag);
    EXPECT_EQ(16, frame->GetHotSpot().y);
    ExpectRect({0, 0, 0, 0}, frame->m_focusRect, "focus");
    EXPECT_EQ(0u, frame->m_halfSize);
}

TEST_F(SpriteTest, AFrameOfAnotherSpriteIsRefused)
{
    // Two sprite bodies in one archive, as a catalog holds them; the second
    // lists the first one's frame (object 2), or its own frame twice.
    auto body = [](ByteWriter& w, const char* name, int frames) {
        w.U32(1).U8(static_cast<uint32_t>(strlen(name)));
        for (const char* p = name; *p; ++p) w.U8(static_cast<uint8_t>(*p));
        w.U32(0).U32(0).U32(0).U32(8).U32(8).U32(0).U32(0).U32(0).U16(frames);
    };
    auto frame = [](ByteWriter& w) { w.U32(1).U8(0).U32(0).U32(0).U32(0).U32(8).U32(8).U32(0).U32(0); };
    ByteWriter first;
    body(first, "a", 1);
    first.U16(0xFFFF).U16(1).U16(6);
    for (const char* p = "YFrame"; *p; ++p) first.U8(static_cast<uint8_t>(*p));
    frame(first);

    ByteWriter other = first;
    body(other, "b", 1);
    other.U16(2);
    ByteWriter twice = first;
    body(twice, "b", 2);
    twice.U16(0x8001);
    frame(twice);
    twice.U16(3);

    for (const Bytes& bytes : {other.bytes, twice.bytes}) {
        YSprite one, two;
        EXPECT_EQ(CArchiveException::badIndex, ReadBodies(bytes, one, two));
        ASSERT_EQ(1, one.GetFrameCount());
        for (int i = 0; i < two.GetFrameCount(); ++i) EXPECT_NE(one.GetFrame(0), two.GetFrame(i));
    }
}

TEST_F(SpriteTest, RecordsOutOfRangeAreRefusedWhenLoading)
{
    // One sprite body holding one frame; each case spoils one field.
    struct Record {
        int32_t x = 0, y = 0, width = 8, height = 8, halfSize = 0;
        int32_t rect[4] = {0, 0, 8, 8};
        int32_t hot[2] = {4, 4};
        int32_t focus[4] = {0, 0, 8, 8};
        uint32_t frameHalf = 0;
        int frames = 1;
    };
    auto bytes = [](const Record& r) {
        ByteWriter w;
        w.U32(1).U8(1).U8('s');
        w.U32(r.x).U32(r.y).U32(0).U32(r.width).U32(r.height).U32(0).U32(0).U32(r.halfSize).U16(r.frames);
        for (int i = 0; i < r.frames; ++i) {
            if (i == 0) {
                w.U16(0xFFFF).U16(3).U16(6);
                for (const char* p = "YFrame"; *p; ++p) w.U8(static_cast<uint8_t>(*p));
            } else {
                w.U16(0x8001);
            }
            // Each frame its own picture, so that all of them stack.
            std::string name = "f" + std::to_string(i) + ".bmp";
            w.U32(1).U8(static_cast<uint32_t>(name.size()));
            for (char c : name) w.U8(static_cast<uint8_t>(c));
            w.U32(0);
            for (int32_t v : r.rect) w.U32(v);
            w.U32(r.hot[0]).U32(r.hot[1]);
            for (int32_t v : r.focus) w.U32(v);
            w.U32(r.frameHalf).U8(0);
        }
        return w.bytes;
    };
    const int32_t big = 0x7FFFFFFF, low = INT32_MIN, edge = YFrame::kMaxExtent;
    struct Case {
        const char* what;
        std::function<void(Record&)> spoil;
        bool loads;
    };
    const Case cases[] = {
        {"a plain record", [](Record&) {}, true},
        {"coordinates at the extent", [&](Record& r) { r.rect[0] = -edge, r.rect[2] = edge, r.hot[0] = edge, r.x = -edge; }, true},
        {"a frame as wide as the integers", [&](Record& r) { r.rect[0] = low + 1, r.rect[2] = big; }, false},
        {"a frame just past the extent", [&](Record& r) { r.rect[3] = edge + 1; }, false},
        {"a frame inside out", [](Record& r) { r.rect[0] = 8, r.rect[2] = 0; }, false},
        {"a hot spot near 2^31", [&](Record& r) { r.hot[1] = big; }, false},
        {"a focus rectangle near -2^31", [&](Record& r) { r.focus[0] = low; }, false},
        {"a position near 2^31", [&](Record& r) { r.y = big; }, false},
        {"a negative size", [](Record& r) { r.height = -1; }, false},
        {"a half size that is no switch", [&](Record& r) { r.halfSize = big; }, false},
        {"frames stacking past the surface limit",
         [&](Record& r) {
             r.rect[1] = -edge, r.rect[3] = edge;
             r.frames = YSprite::kMaxStack / (2 * edge) + 1;
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Record r;
        c.spoil(r);
        YSprite sprite;
        const bool loaded = ReadBodies(bytes(r), sprite) == -1;
        EXPECT_EQ(c.loads, loaded);
        if (!loaded) continue;
        // What loads can be measured and drawn without overflowing.
        EXPECT_EQ(r.rect[2] - r.rect[0], sprite.GetFrame(0)->GetWidth());
        RECT screen = sprite.GetScreenRect();
        EXPECT_EQ(r.x - r.hot[0], screen.left);
    }
}

TEST_F(SpriteTest, SpritesLoadFromFilesAndFolderLists)
{
    ImageTempFolder empty;
    folder.Write("dot.bmp", Solid(8, 8, kBlue));
    {
        YSprite sprite;
        sprite.m_name = "saved";
        sprite.InsertFrame(Frame("dot.bmp", 8, 8, 4, 4), -1);
        CFile file((folder / "saved.spr").c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        sprite.Serialize(ar);
    }
    YSprite loaded;
    loaded.SetImageDirectory((folder / "").c_str());
    ASSERT_EQ(1, loaded.Load((folder / "saved.spr").c_str(), &display));
    EXPECT_STREQ("saved", loaded.m_name);
    EXPECT_EQ(PixelOf(*loaded.GetSurface(), kBlue), At(*loaded.GetSurface(), 7, 7));
    EXPECT_EQ(0, loaded.Load((folder / "nothing.spr").c_str(), &display));

    // The first folder that holds the first picture becomes the image directory.
    YSprite listed;
    listed.InsertFrame(Frame("dot.bmp", 8, 8), -1);
    CStringArray folders;
    folders.Add((empty / "").c_str());
    folders.Add((folder / "").c_str());
    EXPECT_EQ(TRUE, listed.LoadFromDirectories(&folders, 0));
    EXPECT_STREQ((folder / "").c_str(), listed.GetImageDirectory());
    EXPECT_EQ(nullptr, listed.GetSurface());
    EXPECT_EQ(TRUE, listed.CreateSurfaces(&display));
    EXPECT_EQ(PixelOf(*listed.GetSurface(), kBlue), At(*listed.GetSurface(), 0, 0));
    CStringArray nowhere;
    nowhere.Add((empty / "").c_str());
    EXPECT_EQ(FALSE, listed.LoadFromDirectories(&nowhere, 0));

    // A copy has its own surface and the same frames.
    std::unique_ptr<YSprite> copy(static_cast<YSprite*>(listed.CopyTo(nullptr)));
    ASSERT_NE(nullptr, copy->GetSurface());
    EXPECT_NE(listed.GetSurface(), copy->GetSurface());
    EXPECT_EQ(1, copy->GetFrameCount());
    EXPECT_NE(listed.GetFrame(0), copy->GetFrame(0));
    std::unique_ptr<YDXSurface> a = Target(12, 12), b = Target(12, 12);
    listed.DrawAt(a.get(), 2, 2);
    copy->DrawAt(b.get(), 2, 2);
    EXPECT_EQ(Read(*a), Read(*b));

    // Released, the surface comes back through Restore only for its owner.
    EXPECT_EQ(TRUE, listed.ReleaseSurfaces());
    EXPECT_EQ(FALSE, listed.Restore(&display));
    EXPECT_EQ(TRUE, copy->Restore(&display));
}

}  // namespace

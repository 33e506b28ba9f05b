#include "Graphics2dFixture.h"

#include "graphics2d/YDXClipper.h"

namespace {
class YDXClipperTest : public Graphics2dTest {
protected:
    RGNDATAHEADER Header(YDXClipper& clipper, std::vector<RECT>& rects)
    {
        DWORD size = 0;
        EXPECT_EQ(DD_OK, clipper.GetClipper()->GetClipList(nullptr, nullptr, &size));
        std::vector<uint8_t> block(size);
        EXPECT_EQ(DD_OK, clipper.GetClipper()->GetClipList(nullptr, reinterpret_cast<RGNDATA*>(block.data()), &size));
        RGNDATAHEADER header;
        memcpy(&header, block.data(), sizeof header);
        rects.resize(header.nCount);
        memcpy(rects.data(), block.data() + sizeof header, header.nCount * sizeof(RECT));
        return header;
    }
};

TEST_F(YDXClipperTest, ClipListsFromASurfaceOrFromRectangles)
{
    YDXClipper clipper;
    EXPECT_EQ(0, clipper.SetClipList(static_cast<YDXSurface*>(nullptr), nullptr));
    EXPECT_EQ(0, clipper.SetHwnd(nullptr));  // no clipper yet
    ASSERT_EQ(1, clipper.CreateClipper(&display));
    EXPECT_EQ(0, clipper.SetClipList(static_cast<YDXSurface*>(nullptr), nullptr));

    YDXSurface back("Back");
    ASSERT_EQ(1, back.CreateSurface(&display, 640, 480, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr));
    ASSERT_EQ(1, clipper.SetClipList(&back, nullptr));
    std::vector<RECT> rects;
    RGNDATAHEADER header = Header(clipper, rects);
    ASSERT_EQ(1u, header.nCount);
    EXPECT_EQ(RECT({0, 0, 640, 480}).right, rects[0].right);
    EXPECT_EQ(480, rects[0].bottom);

    RECT three[3] = {{1, 1, 2, 2}, {5, 5, 9, 9}, {10, 0, 11, 1}};
    EXPECT_EQ(0, clipper.SetClipList(nullptr, three, 3));
    ASSERT_EQ(1, clipper.SetClipList(&back, three, 3));
    header = Header(clipper, rects);
    EXPECT_EQ(3u, header.nCount);
    EXPECT_EQ(48u, header.nRgnSize);
    EXPECT_EQ(640, header.rcBound.right);  // the bounds are the screen whatever the rectangles
    EXPECT_EQ(480, header.rcBound.bottom);
    EXPECT_EQ(9, rects[1].bottom);

    // Attached to a surface it limits blits to its rectangles.
    ASSERT_EQ(1, back.SetClipper(&clipper));
    back.Clear(nullptr, 0x123456);
    DDSURFACEDESC2 desc;
    ASSERT_EQ(1, back.Lock(&desc));
    const uint32_t* row = static_cast<const uint32_t*>(desc.lpSurface);
    EXPECT_EQ(0x123456u, row[10]);
    EXPECT_EQ(0u, row[11]);
    back.Unlock();
    ASSERT_EQ(1, back.RemoveClipper());
}

TEST_F(YDXClipperTest, WindowClipperRefusesAClipList)
{
    YDXClipper clipper;
    ASSERT_EQ(1, clipper.CreateClipper(&display));
    ASSERT_EQ(1, clipper.SetHwnd(reinterpret_cast<HWND>(1)));
    RECT one = {0, 0, 1, 1};
    EXPECT_EQ(0, clipper.SetClipList(&clipper, &one, 1));
    EXPECT_STREQ("[YDXClipper::SetClipList] : DDERR_CLIPPERISUSINGHWND\n", clipper.GetLastErrorText());
}
}  // namespace

#include "Graphics2dFixture.h"

#include <string>

namespace {
TEST(YDXDrawNames, NamesResultsFromTheTable)
{
    struct Case {
        HRESULT result;
        const char* name;
    } cases[] = {
        {DDERR_SURFACELOST, "DDERR_SURFACELOST\n"},
        {DDERR_BLTFASTCANTCLIP, "DDERR_BLFASTCANTCLIP\n"},
        {DDERR_OVERLAYCOLORKEYONLYONEACTIVE, "DDERR_OVERLAYCOLORKEYONLYONEACTIVE\n"},
        {DDERR_WRONGMODE, "DDERR_WRONGMODE\n"},
        {E_FAIL, "DDERR_GENERIC\n"},
        {E_INVALIDARG, "DDERR_INVALIDPARAMS\n"},
        {E_OUTOFMEMORY, "DDERR_OUTOFMEMORY\n"},
        {E_NOTIMPL, "DDERR_UNSUPPORTED\n"},
        {CO_E_NOTINITIALIZED, "DDERR_NOTINITIALIZED\n"},
        {DD_OK, "UNIDENTIFIED\n"},
        {static_cast<HRESULT>(0x8876FFFF), "UNIDENTIFIED\n"},
    };
    for (const Case& c : cases) {
        CString name;
        YDXDraw::GetResultName(c.result, name);
        EXPECT_STREQ(c.name, static_cast<const char*>(name));
        char text[YDX_ERROR_TEXT] = "prefix ";
        DDErrorName(c.result, text);
        EXPECT_EQ(std::string("prefix ") + c.name, text);
    }
}

TEST(YDXDrawNames, AppendingNeverRunsPastTheField)
{
    char text[YDX_ERROR_TEXT + 8];
    memset(text, '#', sizeof text);
    memset(text, 'x', 120);
    text[120] = '\0';
    DDErrorName(DDERR_SURFACELOST, text);
    EXPECT_EQ(YDX_ERROR_TEXT - 1, static_cast<int>(strlen(text)));
    EXPECT_EQ('#', text[YDX_ERROR_TEXT]);
    EXPECT_EQ(std::string("DDERR_S"), std::string(text + 120));
}

class YDXDrawTest : public Graphics2dTest {};

TEST_F(YDXDrawTest, ModesAndDisplayModesReportFailuresByName)
{
    YDXDraw empty;
    EXPECT_EQ(0, empty.SetDisplayMode(640, 480, 16, 0, 0));
    EXPECT_EQ(0, empty.GetLastResult());
    EXPECT_EQ(0, empty.SetMode(1, nullptr));

    EXPECT_EQ(1, display.SetMode(2, nullptr));  // no call at all
    EXPECT_EQ(2, display.GetMode());
    EXPECT_EQ(0, display.SetMode(1, nullptr));  // full screen needs a window
    EXPECT_STREQ("[YDXDraw::SetMode] : DDERR_INVALIDPARAMS\n", display.GetLastErrorText());
    HWND window = reinterpret_cast<HWND>(1);
    ASSERT_EQ(1, display.SetMode(1, window));
    EXPECT_EQ(0, display.SetDisplayMode(640, 480, 12, 0, 0));
    EXPECT_EQ(DDERR_INVALIDMODE, display.GetLastResult());
    EXPECT_STREQ("[YDXDraw::SetDisplayMode] : DDERR_INVALIDMODE\n", display.GetLastErrorText());
    EXPECT_STREQ("", display.GetMethod());
    // Built afresh at top level, the text names no method.
    EXPECT_STREQ("[YDXDraw::] : DDERR_INVALIDMODE\n", display.GetErrorText());
    EXPECT_EQ(1, display.SetDisplayMode(640, 480, 16, 0, 0));
    EXPECT_EQ(1, display.SetMode(0, window));
}

TEST_F(YDXDrawTest, CreateAndCleanupDropOnlyTheirOwnReference)
{
    int before = platform::DDrawLiveObjects();
    GUID primary;
    memset(&primary, 0, sizeof primary);
    ASSERT_EQ(1, display.Create(primary));  // the first object is released completely
    EXPECT_EQ(before, platform::DDrawLiveObjects());
    ASSERT_EQ(1, display.SetMode(0, nullptr));
    YDXSurface* surface = new YDXSurface("kept");
    ASSERT_EQ(1, surface->CreateSurface(&display, 4, 4, DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr));
    EXPECT_EQ(1, display.Cleanup());
    EXPECT_EQ(nullptr, display.GetDirectDraw());
    EXPECT_EQ(1, display.GetMode());
    // The surface still holds the DirectDraw object and still works.
    EXPECT_EQ(1, surface->Clear(nullptr, 5));
    EXPECT_EQ(5u, Read(*surface)[15]);
    delete surface;
    EXPECT_EQ(before - 1, platform::DDrawLiveObjects());

    ScopedForce force("noddraw7");
    EXPECT_EQ(0, display.Create(primary));
    EXPECT_EQ(nullptr, display.GetDirectDraw());
    EXPECT_EQ(0, display.GetLastResult());
}
}  // namespace

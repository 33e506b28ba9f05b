// The builder's texture handlers: found in the sample catalog by name, each
// variant's file in the data folder loads as a texture.
#include <gtest/gtest.h>

#include "assets3d/YTexture2.h"
#include "assets3d/YTextureHandler.h"
#include "foundation/YCatalog.h"
#include "tools/YCatalogText.h"

TEST(SampleTextureHandlers, EveryVariantLoadsFromTheDataFolder)
{
    struct Case {
        const char* name;
        int variants;
        int16_t width;
    } cases[] = {{"GroundTexture-Meadow", 3, 128}, {"GroundTexture-Lake", 2, 64}};
    YCatalogText::RegisterResourceClasses();
    YCatalog catalog(RCV_DATA_DIR "/RC Volaro.cat");
    catalog.GetSearchDirectories().Add(RCV_DATA_DIR);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        YResource* resource = catalog.GetResource(24, "Ground", c.name, 1);
        YTextureHandler* handler = DYNAMIC_DOWNCAST(YTextureHandler, resource);
        ASSERT_NE(nullptr, handler);
        EXPECT_STREQ(RCV_DATA_DIR, handler->GetFolder());
        ASSERT_EQ(c.variants, handler->GetCount());
        for (int i = 0; i < handler->GetCount(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_EQ(1, handler->SelectTexture(i));
            YTexture2* texture = handler->GetTexture(i);
            ASSERT_NE(nullptr, texture);
            EXPECT_EQ(2, texture->GetNumFormats());
            EXPECT_EQ(c.width, texture->m_iWidth);
            EXPECT_EQ(0, handler->GetSelectedFormatIndex());
        }
        // One variant reaches over the year end.
        LONG first = 0, last = 0;
        ASSERT_EQ(1, handler->GetDays(first, last, c.variants - 1));
        EXPECT_GT(first, last);
        catalog.ReleaseResource(resource);
    }
}

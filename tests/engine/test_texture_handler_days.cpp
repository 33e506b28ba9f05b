// Which variants of a texture handler apply on a day of the year: the
// handler's day ranges, after an archive round trip, through the engine's
// range test, as the renderer builds its handler entries.
#include <gtest/gtest.h>

#include <vector>

#include "assets3d/YTextureHandler.h"
#include "engine/YEngineCallbacks.h"

namespace {

std::vector<int> Applying(const YTextureHandler& handler, LONG day)
{
    std::vector<int> variants;
    for (int i = 0; i < handler.GetCount(); ++i) {
        LONG first = 0, last = 0;
        EXPECT_EQ(1, handler.GetDays(first, last, i));
        if (RangeTest(first, last, day) > 0.0f) variants.push_back(i);
    }
    return variants;
}

TEST(TextureHandlerDays, VariantsApplyByDayAlsoOverTheYearEnd)
{
    YTextureHandler stored;
    stored.SetFileName("grass.ytx");
    stored.SetDays(80, 300);
    stored.AddTexture();
    stored.SetFileName("dry.ytx");
    stored.SetDays(240, 335);
    stored.AddTexture();
    stored.SetFileName("snow.ytx");
    stored.SetDays(336, 79);  // from December into March

    CMemFile memory;
    {
        CArchive ar(&memory, CArchive::store);
        stored.Serialize(ar);
    }
    memory.SeekToBegin();
    YTextureHandler handler;
    {
        CArchive ar(&memory, CArchive::load);
        handler.Serialize(ar);
    }
    ASSERT_EQ(3, handler.GetCount());

    struct Row {
        LONG day;
        std::vector<int> variants;
    } rows[] = {
        {1, {2}},     {60, {2}},    {78, {2}},
        {79, {}},     // the last day of a range over the year end is not in it
        {80, {0}},    {200, {0}},   {240, {0, 1}}, {300, {0, 1}}, {301, {1}},
        {335, {1}},   {336, {}},    // nor its first day
        {337, {2}},   {365, {2}},
    };
    for (const Row& row : rows) EXPECT_EQ(row.variants, Applying(handler, row.day)) << "day " << row.day;
}

}  // namespace

// The lens-flare sources: the store of time-keyed elements, the current
// element at a second of the day and the moon's image by its phase.
#include <gtest/gtest.h>

#include <cmath>

#include "FrameFixture.h"

namespace {
YFlareElement Element(uint32_t minutes, float dx, float dy, float dz, float a)
{
    YFlareElement e;
    e.m_kind = 7;
    e.m_timeKey = minutes;
    e.m_direction[0] = dx, e.m_direction[1] = dy, e.m_direction[2] = dz;
    for (int i = 0; i < 3; ++i) e.m_valuesA[i] = a, e.m_valuesB[i] = 2.0f * a, e.m_valuesC[i] = 3.0f * a;
    return e;
}

class Flares : public FrameTest {
protected:
    // A source keyed at 6:00 (east, dark) and 18:00 (west, bright).
    int MorningAndEvening()
    {
        const YFlareElement morning = Element(360, 1.0f, 0.0f, 0.0f, 0.0f);
        const YFlareElement evening = Element(1080, 0.0f, 0.0f, 1.0f, 1.0f);
        const int source = parser->InsertFlareElement(-1, &morning) - 1;
        EXPECT_EQ(2, parser->InsertFlareElement(source, &evening));
        return source;
    }
    const YFlareElement& Current(int source)
    {
        return *static_cast<const YFlareElement*>(parser->GetFlareElement(source, -1));
    }
    YD3D6CelestialObject& Moon(const std::vector<uint16_t>& images)
    {
        YFlareElement e = Element(0, 0.0f, 1.0f, 0.0f, 0.5f);
        e.m_flags = YFlareElement::kFlagMoon | YFlareElement::kFlagShown;
        e.m_indexCount = uint8_t(images.size());
        e.m_indices = images.empty() ? nullptr : images.data();
        parser->InsertFlareElement(-1, &e);
        return *parser->GetCelestialObject(parser->GetFlareSourceCount() - 1);
    }
};
}  // namespace

TEST_F(Flares, TheCurrentElementFollowsTheTimeKeys)
{
    const int source = MorningAndEvening();
    struct Case {
        const char* what;
        int seconds;
        float f;  // of the way from the morning to the evening element
    } cases[] = {
        {"noon: halfway", 43200, 0.5f},
        {"before the first key: the first unchanged", 3600, 0.0f},
        {"on the first key", 21600, 0.0f},
        {"on the last key", 64800, 1.0f},
        {"after the last key: the last unchanged", 80000, 1.0f},
        {"15:00", 54000, 0.75f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parser->UpdateFlareSource(source, c.seconds, nullptr);
        const YFlareElement& e = Current(source);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(c.f, e.m_valuesA[i], 1e-5f);
            EXPECT_NEAR(2.0f * c.f, e.m_valuesB[i], 1e-5f);
            EXPECT_NEAR(3.0f * c.f, e.m_valuesC[i], 1e-5f);
        }
        const float x = 1.0f - c.f, z = c.f, length = std::sqrt(x * x + z * z);
        EXPECT_NEAR(x / length, e.m_direction[0], 2e-3f);
        EXPECT_NEAR(z / length, e.m_direction[2], 2e-3f);
        EXPECT_NEAR(1.0f, std::sqrt(e.m_direction[0] * e.m_direction[0] + e.m_direction[2] * e.m_direction[2]), 2e-3f)
            << "unit length";
        EXPECT_EQ(uint32_t(c.seconds), e.m_timeKey);
    }
}

TEST_F(Flares, TheEveningKeepsItsWholeSecondOfTheDay)
{
    const int source = MorningAndEvening();
    // 19:00 would wrap to 3,264 in 16 bits and read as before one o'clock.
    parser->UpdateFlareSource(source, 68400, nullptr);
    EXPECT_EQ(68400u, Current(source).m_timeKey);
    parser->UpdateFlareSource(source, 86399, nullptr);
    EXPECT_EQ(86399u, Current(source).m_timeKey);
}

TEST_F(Flares, ATargetGetsTheStateAndTheSourceKeepsItsOwn)
{
    const int source = MorningAndEvening();
    parser->UpdateFlareSource(source, 21600, nullptr);
    YFlareElement target;
    parser->UpdateFlareSource(source, 64800, &target);
    EXPECT_NEAR(1.0f, target.m_valuesA[0], 1e-6f);
    EXPECT_EQ(0.0f, Current(source).m_valuesA[0]) << "the source's element stays at 6:00";
    parser->UpdateFlareSource(5, 64800, &target);  // out of range: nothing
    parser->UpdateFlareSource(-1, 64800, nullptr);
}

TEST_F(Flares, TheStoreAnswersOutOfRangeAndRemovesInOrder)
{
    const YFlareElement a = Element(60, 0, 1, 0, 0.1f), b = Element(120, 0, 1, 0, 0.2f), c = Element(180, 0, 1, 0, 0.3f);
    EXPECT_EQ(-1, parser->InsertFlareElement(0, &a)) << "no source 0 yet";
    EXPECT_EQ(-1, parser->InsertFlareElement(-2, &a));
    EXPECT_EQ(-1, parser->InsertFlareElement(-1, nullptr));
    EXPECT_EQ(1, parser->InsertFlareElement(-1, &a));
    EXPECT_EQ(2, parser->InsertFlareElement(-1, &b));
    EXPECT_EQ(2, parser->InsertFlareElement(0, &b));
    EXPECT_EQ(3, parser->InsertFlareElement(0, &c));
    EXPECT_EQ(3, parser->GetFlareElementCount(0));
    EXPECT_EQ(-1, parser->GetFlareElementCount(2));
    EXPECT_EQ(nullptr, parser->GetFlareElement(0, 3));
    EXPECT_EQ(nullptr, parser->GetFlareElement(2, 0));
    EXPECT_EQ(nullptr, parser->GetFlareElement(0, -2));

    EXPECT_EQ(-1, parser->RemoveFlareElement(0, 3));
    EXPECT_EQ(2, parser->RemoveFlareElement(0, 1));
    EXPECT_EQ(180u, static_cast<YFlareElement*>(parser->GetFlareElement(0, 1))->m_timeKey) << "order kept";
    // The only element of source 1: the source goes.
    EXPECT_EQ(-2, parser->RemoveFlareElement(1, 0));
    EXPECT_EQ(1, parser->GetFlareSourceCount());
    EXPECT_EQ(-1, parser->RemoveFlareSource(1));
    EXPECT_EQ(0, parser->RemoveFlareSource(0));
    EXPECT_EQ(0, parser->GetFlareSourceCount());
    EXPECT_EQ(0u, parser->m_celestials.capacity()) << "no array is left";
}

TEST_F(Flares, ASourceKeepsTheImagesOfItsFirstElementOnly)
{
    const std::vector<uint16_t> images = {4, 5, 6};
    YFlareElement e = Element(0, 0, 1, 0, 1.0f);
    e.m_indexCount = 3;
    e.m_indices = images.data();
    e.m_flags = 0x5;
    parser->InsertFlareElement(-1, &e);
    parser->InsertFlareElement(0, &e);
    const YD3D6CelestialObject& s = *parser->GetCelestialObject(0);
    EXPECT_EQ(images, s.m_images);
    EXPECT_EQ(-1, s.m_light);
    EXPECT_EQ(uint16_t(YD3D6CelestialObject::kNoImage), s.m_currentImage);
    EXPECT_EQ(7, s.m_kind);
    EXPECT_EQ(0x5u, s.m_flags);
    for (int i : {-1, 0, 1}) {
        const YFlareElement& stored = *static_cast<YFlareElement*>(parser->GetFlareElement(0, i));
        EXPECT_EQ(0, stored.m_indexCount) << i;
        EXPECT_EQ(nullptr, stored.m_indices) << i;
    }
    // The current element shows the source's list; the first image is current.
    parser->UpdateFlareSource(0, 100, nullptr);
    EXPECT_EQ(3, Current(0).m_indexCount);
    EXPECT_EQ(s.m_images.data(), Current(0).m_indices);
    EXPECT_EQ(4, s.m_currentImage);
}

TEST_F(Flares, TheMoonShowsTheImageOfItsPhase)
{
    EXPECT_EQ(21, YD3D6Parser::MoonPhaseDay(2001, 3, 15));
    std::vector<uint16_t> images;
    for (uint16_t i = 0; i < 8; ++i) images.push_back(uint16_t(100 + i));
    YD3D6CelestialObject& moon = Moon(images);
    struct Case {
        const char* what;
        int year, month, day, image;
    } cases[] = {
        {"15 March 2001: p 21 gives image 5", 2001, 3, 15, 5},
        {"1 March 2001: p 7 gives image 1", 2001, 3, 1, 1},
        {"January counts as month 3", 2001, 1, 15, 5},
        {"before 2000 4 comes off: 3 March 1998, p 5", 1998, 3, 3, 1},
        {"2010: r 10 - 19, p -13 stays negative: the first", 2010, 3, 1, 0},
        {"p 29 would give 8: the last", 2001, 3, 23, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        parser->SetClock(c.year, c.month, c.day, 22, 0, 0);
        parser->UpdateFlareSource(0, 79200, nullptr);
        EXPECT_EQ(100 + c.image, moon.m_currentImage);
    }
}

TEST_F(Flares, AMoonWithoutImagesKeepsNone)
{
    YD3D6CelestialObject& moon = Moon({});
    parser->SetClock(2001, 3, 15, 22, 0, 0);
    parser->UpdateFlareSource(0, 79200, nullptr);
    EXPECT_EQ(uint16_t(YD3D6CelestialObject::kNoImage), moon.m_currentImage);
}

TEST_F(Flares, TheMoonTurnsItsLitSideTowardsTheSun)
{
    std::vector<uint16_t> images(8, 1);
    YD3D6CelestialObject& moon = Moon(images);
    // The sun: light 1, one image, straight east.
    const std::vector<uint16_t> flare = {9};
    YFlareElement sun = Element(0, 1.0f, 0.0f, 0.0f, 1.0f);
    sun.m_indexCount = 1;
    sun.m_indices = flare.data();
    parser->InsertFlareElement(-1, &sun);
    parser->GetCelestialObject(1)->m_light = 1;
    parser->UpdateFlareSource(1, 0, nullptr);
    struct Case {
        int day;  // of March 2001
        float add;
    } cases[] = {{8, 0.0f}, {15, 3.14159f}};  // p 14 and p 21
    for (const Case& c : cases) {
        SCOPED_TRACE(c.day);
        parser->SetClock(2001, 3, c.day, 22, 0, 0);
        parser->UpdateFlareSource(0, 0, nullptr);
        // The moon straight up, the sun east: atan2(0 - 1, 1 - 0).
        EXPECT_NEAR(std::atan2(-1.0f, 1.0f) + 1.57075f + c.add, moon.m_current.m_rotation, 1e-5f);
    }
}

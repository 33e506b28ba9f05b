// Screenshot names: the first free number from 1, with a "0" below 10.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "renderer/YGraphics.h"

namespace {
class ScreenShotNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_old = std::filesystem::current_path();
        m_dir = std::filesystem::temp_directory_path() / ("rcv_shots_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir / "ScreenShots");
        std::filesystem::current_path(m_dir);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_old);
        std::filesystem::remove_all(m_dir);
    }
    void Touch(const char* name) { std::ofstream(m_dir / "ScreenShots" / name) << "x"; }

    std::filesystem::path m_old, m_dir;
};
}  // namespace

TEST_F(ScreenShotNames, FirstFreeNumberIsUsed)
{
    EXPECT_STREQ(YGraphics::NextScreenShotName("ScreenShots", "ScreenShot"), "ScreenShots\\ScreenShot01.bmp");
    Touch("ScreenShot02.bmp");
    EXPECT_STREQ(YGraphics::NextScreenShotName("ScreenShots", "ScreenShot"), "ScreenShots\\ScreenShot01.bmp");
    for (int n = 1; n <= 11; ++n) {
        char name[32];
        snprintf(name, sizeof name, "ScreenShot%s%d.bmp", n <= 9 ? "0" : "", n);
        Touch(name);
    }
    EXPECT_STREQ(YGraphics::NextScreenShotName("ScreenShots", "ScreenShot"), "ScreenShots\\ScreenShot12.bmp");
}

TEST_F(ScreenShotNames, NothingIsWrittenWithoutASurfaceOrAName)
{
    RECT rect = {0, 0, 4, 4};
    YGraphics::WriteScreenShotFile(nullptr, rect, "Shots2", "ScreenShot");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "Shots2"));
}

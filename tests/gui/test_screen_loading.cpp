// A screen's resources after loading: 0 the background, 1 the click sound,
// 2 the second sound, by their count.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "foundation/YResourceFactory.h"
#include "gui/YScreen.h"

namespace {

// Stand-ins for pictures and sounds: a file holding a number loads.
class ScreenPicture : public YResource {
    DECLARE_DYNCREATE(ScreenPicture)
public:
    BOOL LoadFromFile(CFile& file) override
    {
        char text[16] = {};
        file.Read(text, sizeof text - 1);
        int n = 0;
        return sscanf(text, "%d", &n) == 1;
    }
};
IMPLEMENT_DYNCREATE(ScreenPicture, YResource)

class ScreenWave : public ScreenPicture {
    DECLARE_DYNCREATE(ScreenWave)
};
IMPLEMENT_DYNCREATE(ScreenWave, ScreenPicture)

class ScreenLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_image = YResourceFactory::GetRegisteredClass(1);
        m_sound = YResourceFactory::GetRegisteredClass(2);
        YResourceFactory::RegisterType(1, RUNTIME_CLASS(ScreenPicture));
        YResourceFactory::RegisterType(2, RUNTIME_CLASS(ScreenWave));
        YWindow::SetResourceCatalog(nullptr);
        YWindow::SetBasePaths("", "");
        m_scratch.Write("art/back.bmp", "1");
        m_scratch.Write("art/other.bmp", "2");
        m_scratch.Write("art/click.wav", "3");
    }
    void TearDown() override
    {
        YResourceFactory::RegisterType(1, m_image);
        YResourceFactory::RegisterType(2, m_sound);
    }
    // The loaded resources are the test's to free (there is no catalog).
    static void Free(YScreen& screen)
    {
        for (int i = 0; i < screen.GetResourceCount(); ++i) {
            delete screen.GetResourceAt(i);
            screen.SetResourceAt(i, nullptr, false);
        }
        screen.Release();
    }
    CRuntimeClass* m_image = nullptr;
    CRuntimeClass* m_sound = nullptr;
    ScratchFolder m_scratch{ScratchFolder::Enter};
};

}  // namespace

TEST_F(ScreenLoading, IndexesFollowTheResourceCount)
{
    struct Case {
        std::vector<const char*> names;
        bool fromCatalog;
        int background, click, second;
    };
    const Case cases[] = {
        {{}, false, -1, -1, -1},
        {{"back.bmp"}, false, 0, -1, -1},
        {{"back.bmp", "other.bmp"}, false, 0, -1, -1},  // a background but no click sound
        {{"back.bmp", "click.wav", "click.wav"}, false, 0, 1, 2},
        {{"back.bmp", "click.wav", "click.wav"}, true, 0, 1, 2},
        // A failed load from the catalog leaves the indexes alone; from files they follow the count.
        {{"back.bmp", "id;Interface:gone"}, true, -1, -1, -1},
        {{"back.bmp", "id;Interface:gone"}, false, 0, -1, -1},
    };
    CStringArray directories;
    directories.Add("art");
    for (const Case& c : cases) {
        YScreen screen;
        for (const char* name : c.names) screen.AddResourceName(name);
        if (c.fromCatalog) screen.LoadFromCatalog("art", 0);
        else screen.LoadFromFile(directories, 0);
        const std::string trace = std::to_string(c.names.size()) + (c.fromCatalog ? " catalog" : " files");
        EXPECT_EQ(screen.GetBackgroundIndex(), c.background) << trace;
        EXPECT_EQ(screen.GetClickSoundIndex(), c.click) << trace;
        EXPECT_EQ(screen.GetSecondSoundIndex(), c.second) << trace;
        Free(screen);
    }
}

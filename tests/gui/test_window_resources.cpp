// A window's drawable resources: drawn from a private, a default or no
// source; packed shelf by shelf into source surfaces; loaded from files and
// the catalog with their messages; handed back on release.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "foundation/YCatalog.h"
#include "foundation/YResourceFactory.h"
#include "gui/YDC.h"
#include "gui/YWindow.h"
#include "platform/win32_window.h"

namespace {

// A picture of a given size; the constructor's counter notes deletions.
class Sized : public YResource {
public:
    Sized(int w, int h, int* deleted = nullptr) : m_w(w), m_h(h), m_deleted(deleted) {}
    ~Sized() override
    {
        if (m_deleted) ++*m_deleted;
    }
    LONG GetWidth() override { return m_w; }
    LONG GetHeight() override { return m_h; }
    RECT Bounds() const
    {
        RECT r;
        GetBounds(r);
        return r;
    }
    int m_w, m_h;
    int* m_deleted;
};

// Records what it is asked to draw, as "op name@l,t,r,b".
class PackingDC : public YDC {
public:
    explicit PackingDC(std::vector<std::string>* log, const char* name = "dc") : m_log(log), m_name(name) {}
    YDC* CreateSource(int width, int height) override
    {
        m_log->push_back(m_name + " source " + std::to_string(width) + "x" + std::to_string(height));
        return new PackingDC(m_log, "private");
    }
    int DrawFromSource(const RECT* where, YResource* resource, YDC* source, int) override
    {
        m_log->push_back(m_name + " from " + static_cast<PackingDC*>(source)->m_name + " " + Name(resource) +
                         At(*where));
        return 1;
    }
    int DrawResource(const RECT* where, YResource* resource, int, int) override
    {
        m_log->push_back(m_name + " draw " + Name(resource) + At(*where));
        return 1;
    }
    static std::string At(const RECT& r)
    {
        return "@" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
    std::string Name(YResource* resource) const { return "r" + std::to_string(resource->GetId()); }
    std::vector<std::string>* m_log;
    std::string m_name;
};

Sized* Picture(int id, int w, int h, int* deleted = nullptr)
{
    Sized* picture = new Sized(w, h, deleted);
    picture->SetId(id);
    return picture;
}

std::string Joined(std::vector<std::string>& log)
{
    std::string text;
    for (const std::string& line : log) text += (text.empty() ? "" : " | ") + line;
    log.clear();
    return text;
}

}  // namespace

TEST(WindowResources, DrawnFromThePrivateSourceElseTheDefaultElseDirectly)
{
    std::vector<std::string> log;
    PackingDC dc(&log), shared(&log, "shared");
    std::unique_ptr<Sized> a(Picture(1, 8, 8));
    YWindow window;
    window.AddResource(a.get(), false);
    RECT where = {5, 6, 13, 14};
    EXPECT_EQ(0, window.DrawResource(nullptr, &where, 0));
    EXPECT_EQ(0, window.DrawResource(&dc, &where, 1));
    EXPECT_EQ(0, window.DrawResource(&dc, &where, -1));
    YWindow::SetDefaultSource(nullptr);
    EXPECT_EQ(1, window.DrawResource(&dc, &where, 0));
    EXPECT_EQ(nullptr, YWindow::SetDefaultSource(&shared));
    EXPECT_EQ(1, window.DrawResource(&dc, &where, 0));
    EXPECT_EQ("dc draw r1@5,6,13,14 | dc from shared r1@5,6,13,14", Joined(log));
    window.SetPrivateSource(true);
    POINT cursor = {0, 0};
    EXPECT_EQ(1, window.DrawResources(&dc, 640, 480, &cursor));
    EXPECT_EQ("dc source 18x18 | private draw r1@0,0,8,8", Joined(log));
    EXPECT_EQ(1, window.DrawResource(&dc, &where, 0));
    EXPECT_EQ(&shared, YWindow::SetDefaultSource(nullptr));
    EXPECT_EQ("dc from private r1@5,6,13,14", Joined(log));
}

TEST(WindowResources, SharedPackingGoesShelfByShelfOncePerPass)
{
    std::vector<std::string> log;
    PackingDC source(&log, "src");
    std::unique_ptr<Sized> r1(Picture(1, 40, 10)), r2(Picture(2, 40, 20)), r3(Picture(3, 30, 5)),
        r4(Picture(4, 60, 8));
    YWindow root;
    YWindow* child = new YWindow;
    child->SetParent(&root);
    child->AddResource(r3.get(), false);
    child->AddResource(r1.get(), false);
    root.AddResource(r1.get(), false);  // shared with the child: packed once
    root.AddResource(r2.get(), false);
    root.AddResource(r4.get(), false);

    YWindow::SetShelfBottom(0);
    POINT cursor = {0, 0};
    EXPECT_EQ(1, root.DrawResources(&source, 100, 50, &cursor));
    // Children first; r2 would end at x 110: a new row one below the shelf;
    // r4 ends exactly at the width: a new row too.
    EXPECT_EQ("src draw r3@0,0,30,5 | src draw r1@30,0,70,10 | src draw r2@0,11,40,31 | src draw r4@0,32,60,40",
              Joined(log));
    EXPECT_EQ(60, cursor.x);
    EXPECT_EQ(32, cursor.y);
    EXPECT_EQ(40, YWindow::GetShelfBottom());
    RECT expected = {0, 11, 40, 31};
    RECT got = r2->Bounds();
    EXPECT_TRUE(EqualRect(&expected, &got));

    // Mid-pass, everything is packed already.
    EXPECT_EQ(1, root.DrawResources(&source, 100, 50, &cursor));
    EXPECT_EQ("", Joined(log));
    // A pass from (0, 0) packs them all again.
    YWindow::SetShelfBottom(0);
    cursor = POINT{0, 0};
    EXPECT_EQ(1, root.DrawResources(&source, 100, 50, &cursor));
    EXPECT_EQ(4u, log.size());
    log.clear();
    // Out of room: the pass stops, what did not fit keeps its bounds.
    YWindow::SetShelfBottom(0);
    cursor = POINT{0, 0};
    r4->SetBounds(RECT{1, 2, 3, 4});
    EXPECT_EQ(0, root.DrawResources(&source, 100, 35, &cursor));
    EXPECT_EQ("src draw r3@0,0,30,5 | src draw r1@30,0,70,10 | src draw r2@0,11,40,31", Joined(log));
    expected = RECT{1, 2, 3, 4};
    got = r4->Bounds();
    EXPECT_TRUE(EqualRect(&expected, &got));
    EXPECT_EQ(0, root.DrawResources(nullptr, 100, 50, &cursor));
    for (YWindow* w : {&root, child}) w->GetDependents()->RemoveAll();
}

TEST(WindowResources, APrivateSourceHoldsEveryResourceInRowsOfTheSquareRoot)
{
    struct Case {
        int count;
        const char* size;
        const char* lastAt;
    };
    // Five pictures of 20 x 10: three to a row, two rows.
    const Case cases[] = {
        {1, "30x20", "0,0,20,10"},  {2, "50x20", "20,0,40,10"}, {3, "50x30", "0,11,20,21"},
        {4, "50x30", "20,11,40,21"}, {5, "70x30", "20,11,40,21"}, {9, "70x40", "40,22,60,32"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        std::vector<std::string> log;
        PackingDC source(&log, "src");
        std::vector<std::unique_ptr<Sized>> pictures;
        YWindow window;
        window.SetPrivateSource(true);
        for (int i = 0; i < c.count; ++i) {
            pictures.emplace_back(Picture(i, 20, 10));
            pictures.back()->SetBounds(RECT{-1, -1, -1, -1});
            window.AddResource(pictures.back().get(), false);
        }
        POINT cursor = {0, 0};
        EXPECT_EQ(1, window.DrawResources(&source, 100, 100, &cursor));
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(std::string("src source ") + c.size, log.front());
        EXPECT_EQ(static_cast<size_t>(c.count) + 1, log.size()) << "every picture is packed";
        EXPECT_EQ(std::string("private draw r") + std::to_string(c.count - 1) + "@" + c.lastAt, log.back());
        ASSERT_NE(nullptr, window.GetPrivateSourceDC());
        window.GetDependents()->RemoveAll();
    }
    // Without resources the private source is 640 x 480.
    std::vector<std::string> log;
    PackingDC source(&log, "src");
    YWindow empty;
    empty.SetPrivateSource(true);
    POINT cursor = {0, 0};
    EXPECT_EQ(1, empty.DrawResources(&source, 100, 100, &cursor));
    EXPECT_EQ("src source 640x480", Joined(log));
}

namespace {

// Stand-ins for the image and sound classes: a file holding "W H" loads,
// anything else is refused.
class FilePicture : public YResource {
    DECLARE_DYNCREATE(FilePicture)
public:
    BOOL LoadFromFile(CFile& file) override
    {
        char text[32] = {};
        file.Read(text, sizeof text - 1);
        m_path = file.GetFilePath();
        return sscanf(text, "%d %d", &m_w, &m_h) == 2;
    }
    LONG GetWidth() override { return m_w; }
    LONG GetHeight() override { return m_h; }
    CString m_path;
    int m_w = 0, m_h = 0;
};
IMPLEMENT_DYNCREATE(FilePicture, YResource)

class FileSound : public FilePicture {
    DECLARE_DYNCREATE(FileSound)
};
IMPLEMENT_DYNCREATE(FileSound, FilePicture)

class WindowLoading : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_image = YResourceFactory::GetRegisteredClass(1);
        m_sound = YResourceFactory::GetRegisteredClass(2);
        YResourceFactory::RegisterType(1, RUNTIME_CLASS(FilePicture));
        YResourceFactory::RegisterType(2, RUNTIME_CLASS(FileSound));
        YWindow::SetResourceCatalog(nullptr);
        YWindow::SetBasePaths("", "");
        m_scratch.Write("art/a.bmp", "12 7");
        m_scratch.Write("art/hum.wav", "1 1");
        m_scratch.Write("art/bad.bmp", "not a picture");
        m_scratch.Write("more/b.bmp", "3 4");
    }
    void TearDown() override
    {
        YResourceFactory::RegisterType(1, m_image);
        YResourceFactory::RegisterType(2, m_sound);
        YWindow::SetResourceCatalog(nullptr);
    }
    static std::string Classes(YWindow& window)
    {
        std::string text;
        for (int i = 0; i < window.GetResourceCount(); ++i) {
            YResource* r = window.GetResourceAt(i);
            text += std::string(text.empty() ? "" : " ") + r->GetRuntimeClass()->m_lpszClassName + ":" +
                    std::to_string(r->GetWidth());
        }
        return text;
    }

    ScratchFolder m_scratch{ScratchFolder::Enter};
    YCatalog m_catalog;
    CRuntimeClass* m_image = nullptr;
    CRuntimeClass* m_sound = nullptr;
};

}  // namespace

TEST_F(WindowLoading, FromOneDirectoryWithMessagesForWhatFails)
{
    YWindow window;
    for (const char* name : {"a.bmp", "hum.wav", "bad.bmp", "missing.bmp", "ID;not.bmp", "id;Interface:back"})
        window.AddResourceName(name);
    YWindow* child = new YWindow;
    child->SetParent(&window);
    child->AddResourceName("a.bmp");

    const int before = platform::MessageBoxCount();
    // The "id;" name finds no catalog: 0; files that fail only say so.
    EXPECT_EQ(0, window.LoadFromCatalog("art", 0));
    EXPECT_EQ("FilePicture:12 FileSound:1", Classes(window));
    EXPECT_EQ("FilePicture:12", Classes(*child));
    EXPECT_TRUE(window.ResourcesLoaded());
    EXPECT_TRUE(child->ResourcesLoaded());
    ASSERT_EQ(before + 4, platform::MessageBoxCount());
    const std::string last = platform::LastMessageBox();
    EXPECT_NE(std::string::npos, last.find("No catalog to load id;Interface:back!")) << last;
    // Loaded already: nothing more happens.
    EXPECT_EQ(1, window.LoadFromCatalog("art", 0));
    EXPECT_EQ(before + 4, platform::MessageBoxCount());

    // A catalog without the item: nothing added, no message, no failure.
    // (The windows hand their files back to it: it takes none, so they go.)
    YWindow::SetResourceCatalog(&m_catalog);
    YWindow other;
    other.AddResourceName("id;Interface:back");
    EXPECT_EQ(1, other.LoadFromCatalog("art", 0));
    EXPECT_EQ(0, other.GetResourceCount());
    EXPECT_EQ(before + 4, platform::MessageBoxCount());
}

TEST_F(WindowLoading, FailureMessagesNameTheFile)
{
    YWindow window;
    window.AddResourceName("bad.bmp");
    const int before = platform::MessageBoxCount();
    EXPECT_EQ(1, window.LoadFromCatalog("art", 0));
    ASSERT_EQ(before + 1, platform::MessageBoxCount());
    const std::string text = platform::LastMessageBox();
    EXPECT_NE(std::string::npos, text.find("Failed to load file ")) << text;
    EXPECT_NE(std::string::npos, text.find("bad.bmp!")) << text;
    EXPECT_EQ(0, window.GetResourceCount());
}

TEST_F(WindowLoading, FromTheFirstDirectoryThatHoldsTheFile)
{
    CStringArray directories;
    directories.Add("more");
    directories.Add("art");
    directories.Add("");
    struct Case {
        std::vector<const char*> names;
        int result;
        const char* loaded;
        bool childLoaded;
    };
    YWindow::SetResourceCatalog(&m_catalog);
    m_scratch.Write("art/b.bmp", "99 99");
    m_scratch.Write("top.bmp", "5 5");
    const Case cases[] = {
        {{"b.bmp", "a.bmp", "top.bmp"}, 1, "FilePicture:3 FilePicture:12 FilePicture:5", true},
        {{"a.bmp", "nowhere.bmp"}, 0, "FilePicture:12", false},
        {{"hum.wav"}, 1, "FileSound:1", true},
    };
    for (const Case& c : cases) {
        YWindow window;
        for (const char* name : c.names) window.AddResourceName(name);
        YWindow* child = new YWindow;
        child->SetParent(&window);
        child->AddResourceName("a.bmp");
        EXPECT_EQ(c.result, window.LoadFromFile(directories, 0)) << c.loaded;
        EXPECT_EQ(c.loaded, Classes(window));
        // Children load only while nothing failed.
        EXPECT_EQ(c.childLoaded, child->ResourcesLoaded()) << c.loaded;
        EXPECT_EQ(c.childLoaded ? 1 : 0, child->GetResourceCount());
    }
}

TEST_F(WindowLoading, ReleaseHandsBackDeletesWhatTheCatalogDoesNotTakeAndLeavesTheParent)
{
    int deleted = 0;
    YWindow parent;
    YWindow* window = new YWindow;
    window->SetParent(&parent);
    window->AddResourceName("one.bmp");
    window->AddResourceName("two.bmp");
    window->AddResource(Picture(1, 1, 1, &deleted), false);
    window->AddResource(Picture(2, 1, 1, &deleted), false);
    Sized* unnamed = Picture(3, 1, 1, &deleted);
    window->AddResource(unnamed, false);  // beyond the names: not handed back
    YCatalog catalog;
    YWindow::SetResourceCatalog(&catalog);
    EXPECT_EQ(&parent, window->Release());
    EXPECT_EQ(2, deleted);
    EXPECT_EQ(0, window->GetResourceCount());
    EXPECT_FALSE(window->ResourcesLoaded());
    EXPECT_EQ(nullptr, window->GetParent());
    EXPECT_EQ(0, parent.GetChildCount());
    delete unnamed;
    delete window;
    // Without a catalog nothing is deleted.
    YWindow::SetResourceCatalog(nullptr);
    deleted = 0;
    std::unique_ptr<Sized> kept(Picture(4, 1, 1, &deleted));
    YWindow plain;
    plain.AddResourceName("x.bmp");
    plain.AddResource(kept.get(), false);
    plain.Release();
    EXPECT_EQ(0, deleted);
}

TEST(WindowResources, CreateMovesAWindowOutOfItsOldParent)
{
    YWindow first, second;
    RECT at = {10, 10, 20, 20};
    second.MoveTo(&at);
    YWindow* window = new YWindow;
    RECT r = {1, 1, 2, 2};
    window->Create(0, "", 0, &r, &first, 1, 0);
    window->Create(0, "", 0, &r, &second, 1, 0);
    EXPECT_EQ(0, first.GetChildCount());
    ASSERT_EQ(1, second.GetChildCount());
    RECT expected = {11, 11, 12, 12};
    EXPECT_TRUE(EqualRect(&expected, &window->Rect()));
    window->Create(0, "", 0, &r, nullptr, 1, 0);
    EXPECT_EQ(0, second.GetChildCount());
    EXPECT_EQ(nullptr, window->GetParent());
    delete window;
}

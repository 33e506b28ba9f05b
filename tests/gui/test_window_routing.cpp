// Message routing of the window tree: capture, focus, hover, disabled
// windows, the wheel, the notification climb and the globals of destroyed
// windows; and the archive forms of every window class.
#include <gtest/gtest.h>

#include "ArchiveBytes.h"
#include "foundation/test_catalog_bytes.h"

#include <memory>
#include <string>
#include <vector>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "gui/YAnimation.h"
#include "gui/YGuiResources.h"
#include "gui/YButton.h"
#include "gui/YComboBox.h"
#include "gui/YDialog.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "gui/YListCtrl.h"
#include "gui/YMultiImage.h"
#include "gui/YScreen.h"
#include "gui/YScrollBar.h"
#include "gui/YSlider.h"
#include "gui/YTextCtrl.h"
#include "gui/YWindow.h"

namespace {

// Logs every handler it gets as "name:handler".
class Logged : public YWindow {
public:
    Logged(std::vector<std::string>* log, const char* name) : m_log(log), m_name(name) {}
    void Note(const std::string& what) { m_log->push_back(m_name + ":" + what); }
    void OnMouseMove(int flags, int x, int y) override
    {
        Note("move");
        YWindow::OnMouseMove(flags, x, y);
    }
    void OnLButtonDown(int f, int x, int y) override
    {
        Note("ldown");
        YWindow::OnLButtonDown(f, x, y);
    }
    void OnLButtonUp(int f, int x, int y) override
    {
        Note("lup");
        YWindow::OnLButtonUp(f, x, y);
    }
    int OnLButtonDblClk(int f, int x, int y) override
    {
        Note("dbl");
        return YWindow::OnLButtonDblClk(f, x, y);
    }
    void OnRButtonDown(int f, int x, int y) override
    {
        Note("rdown");
        YWindow::OnRButtonDown(f, x, y);
    }
    void OnRButtonUp(int f, int x, int y) override
    {
        Note("rup");
        YWindow::OnRButtonUp(f, x, y);
    }
    void OnKeyDown(int key, int r, int f) override
    {
        Note("key" + std::to_string(key));
        YWindow::OnKeyDown(key, r, f);
    }
    void OnMouseWheel(int keys, int delta, int x, int y) override
    {
        Note("wheel" + std::to_string(delta) + "@" + std::to_string(x) + "," + std::to_string(y));
        YWindow::OnMouseWheel(keys, delta, x, y);
    }
    void OnNotify(int id, int code) override
    {
        Note("note" + std::to_string(id) + "/" + std::to_string(code));
        YWindow::OnNotify(id, code);
    }
    void OnTimer(int id) override
    {
        Note("timer" + std::to_string(id));
        YWindow::OnTimer(id);
    }
    void OnNextDlgCtl(bool forward, YWindow* target) override
    {
        Note(std::string("next") + (forward ? "+" : "-") + (target ? "t" : ""));
    }
    std::vector<std::string>* m_log;
    std::string m_name;
};

// root (0,0)-(200,200) holds a (10,10)-(60,60) with its child c
// (20,20)-(40,40), and b (50,50)-(100,100) over a's corner.
struct Tree {
    Tree()
    {
        RECT all = {0, 0, 200, 200}, ra = {10, 10, 60, 60}, rb = {50, 50, 100, 100}, rc = {10, 10, 30, 30};
        root.MoveTo(&all);
        a->Create(0, "a", 0, &ra, &root, 1, 0);
        b->Create(0, "b", 0, &rb, &root, 2, 0);
        c->Create(0, "c", 0, &rc, a, 3, 0);
        YWindow::SetCaptureWindow(nullptr);
    }
    ~Tree() { YWindow::SetCaptureWindow(nullptr); }
    std::string Take()
    {
        std::string text;
        for (const std::string& line : log) text += (text.empty() ? "" : " ") + line;
        log.clear();
        return text;
    }
    std::vector<std::string> log;
    Logged root{&log, "root"};
    Logged* a = new Logged(&log, "a");
    Logged* b = new Logged(&log, "b");
    Logged* c = new Logged(&log, "c");
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace

TEST(WindowRouting, MessagesReachTheirTargetsAndClimb)
{
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* log;
    };
    const Case cases[] = {
        {"press on the child climbs to the root", WM_LBUTTONDOWN, 0, At(25, 25), "c:ldown a:ldown root:ldown"},
        {"overlap: b is on top", WM_LBUTTONDOWN, 0, At(55, 55), "b:ldown root:ldown"},
        {"release notifies each parent on the way", WM_LBUTTONUP, 0, At(25, 25),
         "c:lup a:lup root:lup root:note1/-2 a:note3/-2 root:note3/-2"},
        {"right release", WM_RBUTTONUP, 0, At(70, 70), "b:rup root:rup root:note2/-5"},
        {"right press", WM_RBUTTONDOWN, 0, At(70, 70), "b:rdown root:rdown"},
        {"double click", WM_LBUTTONDBLCLK, 0, At(70, 70), "b:dbl root:dbl"},
        {"outside every child: the root", WM_LBUTTONDOWN, 0, At(150, 150), "root:ldown"},
        {"outside the root: nothing", WM_LBUTTONDOWN, 0, At(300, 300), ""},
        {"move descends to the hover window", WM_MOUSEMOVE, 0, At(25, 25), "root:move c:move"},
        {"wheel towards the user goes to the root", WM_MOUSEWHEEL, MAKEWPARAM(0, -120), At(5, 6),
         "root:wheel65416@5,6"},
        {"wheel away", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), At(5, 6), "root:wheel120@5,6"},
        {"timer", WM_TIMER, 7, 0, "root:timer7"},
        {"next control, forward", WM_NEXTDLGCTL, 1, 0, "root:next+"},
        {"next control, backward by target", WM_NEXTDLGCTL, 1, 1, "root:next-t"},
        {"notify", WM_NOTIFY, 9, 4, "root:note9/4"},
        {"middle button: nothing", WM_MBUTTONDOWN, 0, At(25, 25), ""},
        {"right double click: nothing", WM_RBUTTONDBLCLK, 0, At(25, 25), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Tree tree;
        tree.root.HandleMessage(c.message, c.wParam, c.lParam);
        EXPECT_EQ(c.log, tree.Take());
    }
}

TEST(WindowRouting, FocusMovesOnLeftPressesOnly)
{
    Tree tree;
    tree.root.HandleMessage(WM_LBUTTONDOWN, 0, At(25, 25));
    EXPECT_EQ(tree.c, YWindow::GetFocusWindow());
    EXPECT_TRUE(tree.a->HasFocus(false));
    EXPECT_FALSE(tree.a->HasFocus(true));
    tree.root.HandleMessage(WM_RBUTTONDOWN, 0, At(70, 70));
    EXPECT_EQ(tree.c, YWindow::GetFocusWindow());
    EXPECT_EQ(70, YWindow::GetLastClickPoint().x);
    tree.root.HandleMessage(WM_LBUTTONUP, 0, At(70, 70));
    EXPECT_EQ(tree.c, YWindow::GetFocusWindow());
    tree.root.HandleMessage(WM_LBUTTONDBLCLK, 0, At(70, 70));
    EXPECT_EQ(tree.b, YWindow::GetFocusWindow());
    tree.Take();
    // Keys go to the focus window and climb while it is enabled.
    tree.root.HandleMessage(WM_KEYDOWN, 'K', 0);
    EXPECT_EQ("b:key75 root:key75", tree.Take());
    tree.b->Enable(false);
    tree.root.HandleMessage(WM_KEYDOWN, 'K', 0);
    tree.root.HandleMessage(WM_LBUTTONUP, 0, At(70, 70));
    EXPECT_EQ("b:key75 b:lup", tree.Take());
    tree.b->m_visible = 0;
    tree.root.HandleMessage(WM_KEYDOWN, 'K', 0);
    EXPECT_EQ("", tree.Take());
}

TEST(WindowRouting, TheCaptureWindowTakesTheMouseButNotTheRightButton)
{
    Tree tree;
    YWindow::SetCaptureWindow(tree.c);
    const std::pair<UINT, const char*> cases[] = {
        {WM_LBUTTONDOWN, "c:ldown a:ldown root:ldown"},
        {WM_LBUTTONDBLCLK, "c:dbl a:dbl root:dbl"},
        {WM_MOUSEMOVE, "c:move"},
        {WM_MOUSEWHEEL, "c:wheel0@150,150 a:wheel0@150,150 root:wheel0@150,150"},
        {WM_RBUTTONDOWN, "root:rdown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        tree.root.HandleMessage(c.first, 0, At(150, 150));
        EXPECT_EQ(c.second, tree.Take());
    }
    // Focus stays where it was when the capture window takes the press.
    EXPECT_NE(&tree.root, YWindow::GetFocusWindow());
}

TEST(WindowRouting, DestroyedWindowsLeaveNoGlobalBehind)
{
    Tree tree;
    tree.root.HandleMessage(WM_MOUSEMOVE, 0, At(25, 25));
    EXPECT_EQ(tree.c, YWindow::GetHoverWindow());
    tree.Take();
    tree.c->SetFocus();
    YWindow::SetCaptureWindow(tree.c);
    // Deleting a deletes its child c, which held all three.
    delete tree.a;
    EXPECT_EQ(nullptr, YWindow::GetFocusWindow());
    EXPECT_EQ(nullptr, YWindow::GetHoverWindow());
    EXPECT_EQ(nullptr, YWindow::GetCaptureWindow());
    EXPECT_EQ(1, tree.root.GetChildCount());
    // Hidden windows get nothing at all.
    tree.root.m_visible = 0;
    tree.root.HandleMessage(WM_TIMER, 1, 0);
    EXPECT_EQ("", tree.Take());
}

TEST(WindowTree, FindByIdOrderAndHeights)
{
    Tree tree;
    EXPECT_EQ(tree.c, tree.root.FindChildById(3));
    EXPECT_EQ(tree.a, tree.root.FindChildById(1));
    EXPECT_EQ(nullptr, tree.c->FindChildById(3));
    tree.root.SetName("root");
    RECT tall = {0, 0, 10, 190};
    Logged* d = new Logged(&tree.log, "d");
    d->Create(0, "", 0, &tall, &tree.root, 1, 0);
    // The first match in list order among direct children wins.
    EXPECT_EQ(tree.a, tree.root.FindChildById(1));
    tree.a->BringToFront();
    EXPECT_EQ(tree.a, tree.root.GetChild(2));
    tree.root.SortChildrenByHeight();
    EXPECT_EQ(d, tree.root.GetChild(0));
    EXPECT_EQ(tree.b, tree.root.GetChild(1));  // equal heights keep list order
    EXPECT_EQ(tree.a, tree.root.GetChild(2));
}

namespace {
// Exposes the version word, so that older archives can be written.
class Versioned : public YWindow {
public:
    // Through a member pointer: the window is not a Versioned.
    static void SetVersion(YWindow* window, LONG version) { window->*(&Versioned::m_version) = version; }
    // The raw child list, so that archives of broken trees can be written.
    static CObList& Children(YWindow* window) { return *(window->*(&Versioned::m_children)); }
};

}  // namespace

TEST(WindowArchive, EveryWindowClassRoundTripsInBothVersions)
{
    CRuntimeClass* const classes[] = {
        RUNTIME_CLASS(YWindow),   RUNTIME_CLASS(YScreen),    RUNTIME_CLASS(YDialog),   RUNTIME_CLASS(YEditBox),
        RUNTIME_CLASS(YListBox),  RUNTIME_CLASS(YListCtrl),  RUNTIME_CLASS(YButton),   RUNTIME_CLASS(YComboBox),
        RUNTIME_CLASS(YSlider),   RUNTIME_CLASS(YScrollBar), RUNTIME_CLASS(YTextCtrl), RUNTIME_CLASS(YMultiImage),
        RUNTIME_CLASS(YAnimation)};
    for (CRuntimeClass* runtime : classes) {
        const char* name = runtime->m_lpszClassName;
        for (LONG version : {3, 4}) {
            SCOPED_TRACE(std::string(name) + " version " + std::to_string(version));
            ASSERT_EQ(runtime, CRuntimeClass::FromName(name));
            std::unique_ptr<YWindow> window(static_cast<YWindow*>(runtime->CreateObject()));
            RECT r = {-5, 6, 700, 80000};
            window->Create(0, "caption text", 0x08010005, &r, nullptr, 0x12345678, 0);
            window->SetPrivateSource(true);
            window->AddResourceName("id;Interface:back");
            window->SetResourceNameAt(2, "pics\\glow.bmp");
            YWindow* child = new YButton;
            RECT cr = {1, 2, 3, 4};
            child->Create(0, "child", 0, &cr, window.get(), 7, 0);
            Versioned::SetVersion(window.get(), version);

            std::vector<BYTE> bytes = Store(window.get());
            std::unique_ptr<CObject> loaded(Load(bytes));
            ASSERT_NE(nullptr, loaded);
            ASSERT_STREQ(name, loaded->GetRuntimeClass()->m_lpszClassName);
            YWindow* copy = static_cast<YWindow*>(loaded.get());
            EXPECT_TRUE(EqualRect(&r, &copy->Rect()));
            EXPECT_EQ(0x08010005, copy->GetStyle());
            CString text;
            copy->GetName(text);
            // A combo box's name is the text of its edit box, which this one lacks.
            if (runtime != RUNTIME_CLASS(YComboBox)) {
                EXPECT_STREQ("caption text", text);
            }
            EXPECT_EQ(0x12345678, copy->GetId());
            EXPECT_TRUE(copy->IsCreated());
            // Version 3 has no private-source word: the byte stays as made.
            EXPECT_EQ(version > 3, copy->GetPrivateSource());
            EXPECT_EQ(4, copy->GetVersion());
            ASSERT_EQ(3, static_cast<int>(copy->GetResourceNames().GetCount()));
            EXPECT_STREQ("id;Interface:back", copy->GetResourceNames().GetHead());
            EXPECT_STREQ("pics\\glow.bmp", copy->GetResourceNames().GetTail());
            ASSERT_EQ(1, copy->GetChildCount());
            EXPECT_EQ(copy, copy->GetChild(0)->GetParent());
            EXPECT_EQ(7, copy->GetChild(0)->GetId());
            EXPECT_STREQ("YButton", copy->GetChild(0)->GetRuntimeClass()->m_lpszClassName);
            // Written again, the copy gives the same bytes as a version-4 original.
            Versioned::SetVersion(window.get(), 4);
            if (version == 4) {
                EXPECT_EQ(bytes, Store(copy));
            }
        }
    }
}

TEST(WindowArchive, ForeignObjectsInTheChildListAreRefused)
{
    // Window descriptions whose child list holds a string list, or a list of
    // objects that owns nothing it holds: neither is made, so nothing leaks.
    for (bool owningNothing : {false, true}) {
        SCOPED_TRACE(owningNothing ? "object list" : "string list");
        CStringList* strings = new CStringList;
        CObList* objects = new CObList;
        objects->AddTail(strings);
        CObject* stranger = owningNothing ? static_cast<CObject*>(objects) : strings;
        CMemFile forged;
        {
            CArchive ar(&forged, CArchive::store);
            ar << static_cast<LONG>(4);
            ar << static_cast<LONG>(0) << static_cast<LONG>(0) << static_cast<LONG>(1) << static_cast<LONG>(1);
            ar << static_cast<DWORD>(0) << CString("x") << static_cast<DWORD>(0) << static_cast<DWORD>(0);
            ar.WriteCount(1);
            ar << stranger;
            ar.WriteCount(0);
            ar.Close();
        }
        delete strings;
        delete objects;
        forged.SeekToBegin();
        CArchive in(&forged, CArchive::load);
        YWindow* loaded = new YWindow;
        bool refused = false;
        try {
            loaded->Serialize(in);
        } catch (CArchiveException* e) {
            refused = true;
            e->Delete();
        }
        EXPECT_TRUE(refused);
        EXPECT_EQ(0, loaded->GetChildCount());
        delete loaded;
    }
}

TEST(WindowArchive, ChildListsThatAreNotATreeAreRefused)
{
    // Each archive is written from a tree broken by hand: the load must fail
    // and free what it read, without touching anything twice.
    enum Break { NullChild, Itself, ParentOfItsChild, SameChildTwice, NullAfterAChild };
    for (Break kind : {NullChild, Itself, ParentOfItsChild, SameChildTwice, NullAfterAChild}) {
        SCOPED_TRACE(static_cast<int>(kind));
        YWindow* root = new YEditBox;
        RECT r = {0, 0, 10, 10};
        root->Create(0, "root", 0, &r, nullptr, 1, 0);
        YWindow* child = new YButton;
        child->Create(0, "child", 0, &r, root, 2, 0);
        CObList& rootList = Versioned::Children(root);
        CObList& childList = Versioned::Children(child);
        switch (kind) {
        case NullChild: rootList.RemoveAll(); rootList.AddTail(static_cast<CObject*>(nullptr)); break;
        case Itself: rootList.AddTail(root); break;
        case ParentOfItsChild: childList.AddTail(root); break;
        case SameChildTwice: rootList.AddTail(child); break;
        case NullAfterAChild: rootList.AddTail(static_cast<CObject*>(nullptr)); break;
        }
        std::vector<BYTE> bytes = Store(root);
        // Mend the tree so that it can be deleted.
        rootList.RemoveAll();
        childList.RemoveAll();
        rootList.AddTail(child);
        delete root;

        CObject* loaded = nullptr;
        bool refused = false;
        try {
            loaded = Load(bytes);
        } catch (CArchiveException* e) {
            refused = true;
            e->Delete();
        }
        EXPECT_TRUE(refused);
        EXPECT_EQ(nullptr, loaded);
        delete loaded;
    }
}

namespace {
// A catalog of one screen (catalog type 14) whose window tree is `depth`
// windows deep: the screen, then a chain of windows each holding the next.
ArchiveBytes DeepCatalog(int depth)
{
    auto body = [](ArchiveBytes& b, WORD children) {
        b.I32(YWindow::kVersion).I32(0).I32(0).I32(8).I32(8).U32(0).Str("w").U32(7).U32(0).U16(children);
    };
    ArchiveBytes b;
    b.I32(0).U32(2).Str("").Str("").Str("").Str("").U16(0).U16(1);
    b.NewClass(3, "YCatalogItem").I32(0).I32(14).Str("Screens").Str("Deep").Str("").Str("").I32(0).I32(0).Str("");
    b.I32(0);
    body(b, depth > 1 ? 1 : 0);
    for (int level = 1; level < depth; ++level) {
        // The class comes once (index 3 after the item's class and the item).
        if (level == 1) b.NewClass(1, "YWindow");
        else b.ClassRef(3);
        body(b, level + 1 < depth ? 1 : 0);
    }
    for (int level = 0; level < depth; ++level) b.U16(0);  // no resource names
    return b.U16(0).U16(0);                                // no strings, no relations
}

int TreeDepth(YWindow* window)
{
    int depth = 0;
    for (; window; window = window->GetChild(0)) ++depth;
    return depth;
}
}  // namespace

TEST(WindowArchive, TreesDeeperThanTheLimitAreRefusedWhereTheyAreRead)
{
    YGuiResources::Register();
    const int limit = YWindow::kMaxArchiveDepth;
    // A catalog 60,000 windows deep (2.3 MB) used to overflow the stack at start-up.
    for (int depth : {2, limit, limit + 1, 60000}) {
        SCOPED_TRACE(depth);
        TempFolder folder;
        const std::string path = folder / "deep.cat";
        TempFolder::Write(path, DeepCatalog(depth).bytes);
        YCatalog* catalog = nullptr;
        bool refused = false;
        try {
            catalog = new YCatalog(path.c_str());
        } catch (CArchiveException* e) {
            refused = true;
            e->Delete();
        }
        EXPECT_EQ(depth > limit, refused);
        if (!catalog) continue;
        YWindow* screen = dynamic_cast<YWindow*>(catalog->GetItems()->GetHead()->GetResource());
        ASSERT_NE(nullptr, screen);
        EXPECT_EQ(depth, TreeDepth(screen));
        EXPECT_EQ(screen->GetChild(0), screen->FindChildById(7));
        // Stored again, it reads back the same.
        catalog->Store(path.c_str());
        delete catalog;
        YCatalog again(path.c_str());
        EXPECT_EQ(depth, TreeDepth(dynamic_cast<YWindow*>(again.GetItems()->GetHead()->GetResource())));
    }
}

TEST(WindowCopy, CopiesItsDescriptionAndRefusesNonWindows)
{
    YWindow parent;
    YWindow* original = new YWindow;
    RECT r = {1, 2, 3, 4};
    original->Create(0, "name", 0x10, &r, &parent, 5, 0);
    original->m_clickSound = 0;
    std::unique_ptr<YResource> copy(original->CopyTo(nullptr));
    YWindow* window = dynamic_cast<YWindow*>(copy.get());
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(EqualRect(&original->Rect(), &window->Rect()));
    EXPECT_EQ(0x10, window->GetStyle());
    EXPECT_EQ(5, window->GetId());
    EXPECT_EQ(0, window->m_clickSound);
    EXPECT_EQ(nullptr, window->GetParent());
    YResource plain;
    EXPECT_EQ(nullptr, original->CopyTo(&plain));
    // The copy constructor joins the original's parent.
    YWindow* sibling = new YWindow(*original);
    EXPECT_EQ(&parent, sibling->GetParent());
    EXPECT_EQ(2, parent.GetChildCount());
    EXPECT_FALSE(sibling->IsCreated());
}

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "LayoutFixture.h"
#include "ScratchFolder.h"
#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXDraw.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YSprite.h"
#include "gui/YButton.h"
#include "gui/YEditBox.h"
#include "gui/YLayoutRes.h"
#include "gui/YLayoutResSet.h"
#include "gui/YListBox.h"
#include "gui/YListCtrl.h"
#include "gui/YSlider.h"
#include "gui/YTextCtrl.h"

namespace {

// Counts the resources deleted, so a test sees what a purge freed.
int g_deleted = 0;
class CountedResource : public YResource {
public:
    explicit CountedResource(LONG width = 0, LONG height = 0) : m_width(width), m_height(height) {}
    ~CountedResource() override { ++g_deleted; }
    LONG GetWidth() override { return m_width; }
    LONG GetHeight() override { return m_height; }
    BOOL ReleaseSurfaces() override { return m_release; }
    BOOL Restore(YDXDraw*) override { return m_restore; }
    LONG m_width, m_height;
    BOOL m_release = TRUE, m_restore = TRUE;
};

YLayoutItem* Item(std::vector<std::unique_ptr<YLayoutItem>>& items, int context)
{
    items.emplace_back(new YLayoutItem);
    items.back()->m_context = context;
    return items.back().get();
}

std::string Names(const CObList& list)
{
    std::string text;
    for (POSITION at = list.GetHeadPosition(); at;) {
        const YLayoutRes* record = static_cast<const YLayoutRes*>(list.GetNext(at));
        text += std::string(text.empty() ? "" : " ") + (const char*)record->m_name;
    }
    return text;
}

// A 24-bit BMP of width x height, every pixel the colour (0xRRGGBB).
std::string Bmp(int width, int height, uint32_t colour)
{
    const int stride = (width * 3 + 3) & ~3;
    const uint32_t size = 54 + stride * height;
    std::string bytes(size, '\0');
    auto put = [&](int at, uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) put(54 + y * stride + x * 3, colour, 3);
    return bytes;
}

}  // namespace

TEST(LayoutResourceSet, NameHashes)
{
    const struct {
        const char* name;
        int hash;
    } cases[] = {
        {"", 0},      {nullptr, 0},  {"A", 33},  {"a", 33},   {"AB", 101}, {"ab", 101},
        {"aBc", 233}, {"abcd", 205}, {"0", 240}, {"x0", 216},
    };
    for (const auto& c : cases) EXPECT_EQ(c.hash, YLayoutResSet::HashName(c.name)) << (c.name ? c.name : "null");
}

TEST(LayoutResourceSet, LookUpsFindTheFirstRecordOfTheNameAndMarkIt)
{
    YLayoutResSet set;
    CObList& fonts = set.m_resources[YLayoutResSet::Fonts];
    CountedResource *a = new CountedResource, *b = new CountedResource, *c = new CountedResource;
    set.Add(fonts, "Big", a, nullptr);
    set.Add(fonts, "big", b, nullptr);
    // Same hash as "ab", another name: the compare tells them apart.
    set.Add(set.m_surfaces, "AB", c, nullptr);
    set.MarkAll(false);
    EXPECT_FALSE(set.IsClean());
    EXPECT_EQ(a, set.FindResource(fonts, "BIG"));
    EXPECT_EQ(nullptr, set.FindResource(fonts, "bi"));
    EXPECT_EQ(nullptr, set.FindSurface(set.m_surfaces, "ba"));
    EXPECT_EQ(c, set.FindSurface(set.m_surfaces, "ab"));
    EXPECT_EQ(nullptr, set.FindResource(set.m_resources[YLayoutResSet::Sprites], "Big"));

    g_deleted = 0;
    set.PurgeUnused();
    EXPECT_EQ("Big", Names(fonts));
    EXPECT_EQ("AB", Names(set.m_surfaces));
    EXPECT_EQ(1, g_deleted);
    EXPECT_TRUE(set.IsClean());
}

TEST(LayoutResourceSet, PurgeGivesCatalogResourcesBackAndDeletesCopies)
{
    YCatalog catalog;
    YResource* shared = new CountedResource;
    YCatalogItem* item = new YCatalogItem(3, "Sprites", "arrow", "", 0, "", nullptr);
    catalog.AddItem(item);
    item->SetResource(shared);
    item->AddRef();
    item->AddRef();

    YLayoutResSet set;
    EXPECT_EQ(&catalog, set.SetCatalog(&catalog));
    CObList& sprites = set.m_resources[YLayoutResSet::Sprites];
    set.Add(sprites, "Sprites:arrow", shared, nullptr)->m_fromCatalog = 1;
    YLayoutRes* copy = set.Add(sprites, "copy", new CountedResource, nullptr);
    copy->m_fromCatalog = 1;
    copy->m_privateCopy = 1;
    set.Add(sprites, "file", new CountedResource, nullptr);

    g_deleted = 0;
    set.MarkAll(false);
    set.PurgeUnused();
    EXPECT_EQ("", Names(sprites));
    EXPECT_EQ(2, g_deleted) << "the copy and the file's resource";
    EXPECT_EQ(1, item->GetRefCount()) << "one reference handed back";
    EXPECT_EQ(shared, item->GetResource());
}

TEST(LayoutResourceSet, ControlsAreTakenByTheirOwnerAndModelTheNextOwner)
{
    std::vector<std::unique_ptr<YLayoutItem>> items;
    YLayoutItem* first = Item(items, 1);
    YLayoutItem* second = Item(items, 2);
    YLayoutResSet set;
    CObList& buttons = set.m_controls[YLayoutResSet::Buttons];
    YButton* button = new YButton;
    set.Add(buttons, "ok", button, nullptr);

    CObject* model = nullptr;
    EXPECT_EQ(button, set.FindControl(buttons, "OK", first, &model));
    EXPECT_EQ(button, model);
    EXPECT_EQ(first, set.FindControlRecord(button)->m_owner);
    // Taken by the first item: the second gets only the model.
    model = nullptr;
    EXPECT_EQ(nullptr, set.FindControl(buttons, "ok", second, &model));
    EXPECT_EQ(button, model);
    // The owner finds it again; a model already given is kept.
    YButton unrelated;
    CObject* earlier = &unrelated;
    model = earlier;
    EXPECT_EQ(button, set.FindControl(buttons, "ok", first, &model));
    EXPECT_EQ(earlier, model);
    model = nullptr;
    EXPECT_EQ(nullptr, set.FindControl(buttons, "cancel", first, &model));
    EXPECT_EQ(nullptr, model);
}

TEST(LayoutResourceSet, MarkAllHidesControlsAndFreesThemFromTheirOwners)
{
    std::vector<std::unique_ptr<YLayoutItem>> items;
    YLayoutResSet set;
    YEditBox* edit = new YEditBox;
    YLayoutRes* record = set.Add(set.m_controls[YLayoutResSet::EditBoxes], "name", edit, Item(items, 4));
    set.MarkAll(true);
    EXPECT_EQ(1, edit->m_visible);
    EXPECT_NE(nullptr, record->m_owner);
    set.MarkAll(false);
    EXPECT_EQ(0, edit->m_visible);
    EXPECT_EQ(nullptr, record->m_owner);
    EXPECT_EQ(0, record->m_inUse);
}

TEST(LayoutResourceSet, PurgeNumbersTheControlsKept)
{
    struct Case {
        const char* name;
        std::vector<int> contexts;  // one control each; -2: not asked for again
        int base;
        std::vector<int> wantContexts;
        std::vector<int> wantIds;
    } cases[] = {
        {"numbers above the highest", {3, -1, 5, -1}, 0, {3, 6, 5, 7}, {3, 6, 5, 7}},
        {"none in use counts from 1", {-1, -1}, 0, {1, 2}, {1, 2}},
        {"base added to the ids", {0, -1, 2}, 100, {0, 3, 2}, {100, 103, 102}},
        {"purged ones do not count", {-2, 9, -1}, 0, {9, 10}, {9, 10}},
        {"nothing asked for empties the set", {-2, -2}, 0, {}, {}},
        {"none above the largest: the lowest free ones", {INT_MAX, -1, 0, -1, 2}, 0, {INT_MAX, 1, 0, 3, 2},
         {INT_MAX, 1, 0, 3, 2}},
        {"up to the largest", {INT_MAX - 2, -1, -1, -1}, 0, {INT_MAX - 2, INT_MAX - 1, INT_MAX, 0},
         {INT_MAX - 2, INT_MAX - 1, INT_MAX, 0}},
        {"ids past the largest go round", {INT_MAX, 5, INT_MIN}, 10, {INT_MAX, 5, INT_MIN},
         {INT_MIN + 9, 15, INT_MIN + 10}},
        {"a base below the least", {INT_MIN, 0}, -1, {INT_MIN, 0}, {INT_MAX, -1}},
    };
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<YLayoutItem>> items;
        YWindow parent;
        YLayoutResSet set;
        set.m_baseNumber = c.base;
        std::vector<YLayoutItem*> owners;
        for (size_t i = 0; i < c.contexts.size(); ++i) {
            YWindow* control = new YWindow;
            control->SetParent(&parent);
            YLayoutItem* owner = Item(items, c.contexts[i] == -2 ? 50 : c.contexts[i]);
            set.Add(set.m_controls[0], std::to_string(i).c_str(), control, nullptr);
            owners.push_back(c.contexts[i] == -2 ? nullptr : owner);
        }
        set.MarkAll(false);
        for (size_t i = 0; i < owners.size(); ++i)
            if (owners[i]) set.FindControl(set.m_controls[0], std::to_string(i).c_str(), owners[i], nullptr);
        set.PurgeUnused();

        std::vector<int> contexts, ids;
        for (POSITION at = set.m_controls[0].GetHeadPosition(); at;) {
            YLayoutRes* record = static_cast<YLayoutRes*>(set.m_controls[0].GetNext(at));
            contexts.push_back(record->m_owner->m_context);
            ids.push_back(static_cast<YWindow*>(record->m_resource)->GetId());
            // The layout finds the control's item from the id it notifies.
            EXPECT_EQ(record->m_owner->m_context, set.ContextOf(ids.back())) << c.name;
        }
        EXPECT_EQ(c.wantContexts, contexts) << c.name;
        EXPECT_EQ(c.wantIds, ids) << c.name;
        EXPECT_EQ(static_cast<int>(c.wantIds.size()), parent.GetChildCount()) << c.name << ": purged controls leave";
        EXPECT_TRUE(set.IsClean()) << c.name;
    }
}

TEST(LayoutResourceSet, OneRadioButtonStaysChecked)
{
    enum { Radio = 0x4, Check = 0x2 };
    struct Case {
        const char* name;
        std::vector<int> styles;
        std::vector<bool> checked;
        std::vector<bool> owned;
        std::vector<bool> want;
    } cases[] = {
        {"none checked: the last", {Radio, Radio}, {false, false}, {true, true}, {false, true}},
        {"one checked: kept", {Radio, Radio, Radio}, {true, false, false}, {true, true, true}, {true, false, false}},
        {"check buttons do not count", {Radio, Check}, {false, false}, {true, true}, {true, false}},
        {"free buttons do not count", {Radio, Radio}, {false, false}, {true, false}, {true, false}},
        {"no radio button", {0, Check}, {false, false}, {true, true}, {false, false}},
    };
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<YLayoutItem>> items;
        YLayoutResSet set;
        std::vector<YButton*> buttons;
        for (size_t i = 0; i < c.styles.size(); ++i) {
            YButton* button = new YButton;
            button->SetStyle(c.styles[i]);
            button->SetCheck(c.checked[i]);
            set.Add(set.m_controls[YLayoutResSet::Buttons], std::to_string(i).c_str(), button,
                    c.owned[i] ? Item(items, static_cast<int>(i)) : nullptr);
            buttons.push_back(button);
        }
        set.PurgeUnused();
        for (size_t i = 0; i < buttons.size(); ++i) EXPECT_EQ(c.want[i], buttons[i]->IsChecked()) << c.name << " " << i;
    }
}

TEST(LayoutResourceSet, AResourcePurgedFromUnderAControlReloadsItsItem)
{
    std::vector<std::unique_ptr<YLayoutItem>> items;
    YLayoutItem* owner = Item(items, 1);
    owner->m_loaded = 1;
    YLayoutResSet set;
    CountedResource* picture = new CountedResource;
    set.Add(set.m_resources[YLayoutResSet::Images], "pic", picture, nullptr);
    YButton* button = new YButton;
    button->AddResource(picture, false);
    YLayoutRes* record = set.Add(set.m_controls[YLayoutResSet::Buttons], "b", button, owner);
    YButton* other = new YButton;
    set.Add(set.m_controls[YLayoutResSet::Buttons], "c", other, Item(items, 2));

    EXPECT_FALSE(set.DetachResource(other));
    EXPECT_EQ(1, record->m_inUse);

    set.MarkAll(true);
    // The picture is not asked for again: it goes, and so does the button
    // that drew it; its item loads again (and gets a new one).
    static_cast<YLayoutRes*>(set.m_resources[YLayoutResSet::Images].GetHead())->m_inUse = 0;
    set.PurgeUnused();
    EXPECT_EQ(0, owner->m_loaded);
    EXPECT_EQ("", Names(set.m_resources[YLayoutResSet::Images]));
    EXPECT_EQ("c", Names(set.m_controls[YLayoutResSet::Buttons]));
    EXPECT_FALSE(set.IsClean()) << "another purge is due";
    set.PurgeUnused();
    EXPECT_EQ("c", Names(set.m_controls[YLayoutResSet::Buttons]));
    EXPECT_TRUE(set.IsClean());
}

TEST(LayoutResourceSet, SurfacesAreReleasedAndResourcesRestored)
{
    struct Case {
        BOOL release, restore;
    } cases[] = {{TRUE, TRUE}, {FALSE, TRUE}, {TRUE, FALSE}};
    for (const Case& c : cases) {
        YLayoutResSet set;
        CountedResource* sprite = new CountedResource;
        sprite->m_release = c.release;
        sprite->m_restore = c.restore;
        set.Add(set.m_resources[YLayoutResSet::Sprites], "s", sprite, nullptr);
        set.Add(set.m_resources[YLayoutResSet::Fonts], "f", new CountedResource, nullptr);
        set.Add(set.m_surfaces, "cache", new CountedResource, nullptr);
        EXPECT_EQ(c.restore, set.RestoreSurfaces(nullptr));
        EXPECT_EQ("cache", Names(set.m_surfaces));
        EXPECT_EQ(c.release, set.ReleaseSurfaces());
        EXPECT_EQ("", Names(set.m_surfaces));
        EXPECT_EQ("s", Names(set.m_resources[YLayoutResSet::Sprites]));
    }
}

namespace {

// A button whose copies are buttons.
class CopyButton : public YButton {
public:
    YResource* CopyTo(YResource* target) override { return YWindow::CopyTo(target ? target : new CopyButton); }
};

class ResourceLayout : public TestLayout {
public:
    YCatalog* GetCatalog() override { return m_catalog; }
    YDXDraw* GetDisplay() override { return m_display; }
    YCatalog* m_catalog = nullptr;
    YDXDraw* m_display = nullptr;
};

class LayoutGetters : public ::testing::Test {
protected:
    void SetUp() override
    {
        GUID primary;
        memset(&primary, 0, sizeof primary);
        ASSERT_EQ(1, m_display.Create(primary));
        ASSERT_EQ(1, m_display.SetMode(0, nullptr));
        m_layout.m_catalog = &m_catalog;
        m_layout.m_display = &m_display;
        m_catalog.GetSearchDirectories().Add(m_scratch.Path().c_str());
    }
    YCatalogItem* AddItem(int type, const char* section, const char* name, YResource* resource)
    {
        YCatalogItem* item = new YCatalogItem(type, section, name, "", 0, "", nullptr);
        m_catalog.AddItem(item);
        item->SetResource(resource);
        return item;
    }
    void WriteFile(const char* name, const std::string& bytes)
    {
        FILE* file = fopen((m_scratch.Path() + "/" + name).c_str(), "wb");
        ASSERT_NE(nullptr, file);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    static uint32_t Pixel(YDXSurface* surface, int x, int y)
    {
        DDSURFACEDESC2 desc;
        memset(&desc, 0, sizeof desc);
        if (!surface->Lock(&desc)) return 0xDEADBEEF;
        const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
        const uint8_t* p = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
        uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(p[i]) << (8 * i);
        surface->Unlock();
        return value;
    }

    ScratchFolder m_scratch;
    YDXDraw m_display;
    // Pictures the buttons share: they outlive the catalog and the layout.
    std::vector<std::unique_ptr<YResource>> m_pictures;
    YCatalog m_catalog;
    ResourceLayout m_layout;
};

}  // namespace

TEST_F(LayoutGetters, SpritesAndFontsComeOnlyFromTheCatalog)
{
    YCatalogItem* sprite = AddItem(3, "Interface", "arrow", new YSprite);
    YCatalogItem* font = AddItem(17, "Fonts", "big", new YFont);
    YCatalogItem* odd = AddItem(3, "Interface", "odd", new CountedResource);
    YLayoutResSet* set = m_layout.GetResourceSet();
    bool created = true;
    EXPECT_EQ(nullptr, m_layout.GetSprite("arrow", &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(nullptr, m_layout.GetFont("big", &created));
    EXPECT_EQ(nullptr, m_layout.GetSprite("Interface:nothing", &created));
    EXPECT_EQ(nullptr, m_layout.GetSprite("Fonts:big", &created)) << "a font is no sprite";
    EXPECT_EQ(nullptr, m_layout.GetSprite("Interface:odd", &created)) << "an entry that holds no sprite";
    EXPECT_EQ(0, odd->GetRefCount());
    EXPECT_EQ(0, set->GetRecordCount());

    EXPECT_EQ(sprite->GetResource(), (YResource*)m_layout.GetSprite("interface:ARROW", &created));
    EXPECT_TRUE(created);
    EXPECT_EQ(sprite->GetResource(), (YResource*)m_layout.GetSprite("Interface:arrow", &created));
    EXPECT_FALSE(created) << "the same name, another case";
    EXPECT_EQ(font->GetResource(), (YResource*)m_layout.GetFont("Fonts:big", nullptr));
    EXPECT_EQ(1, sprite->GetRefCount());
    EXPECT_EQ(1, font->GetRefCount());
    YLayoutRes* record = set->FindRecord(set->m_resources[YLayoutResSet::Sprites], "Interface:arrow");
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(1, record->m_fromCatalog);

    // A new script that uses neither: both go back to the catalog.
    set->SetCatalog(&m_catalog);
    set->MarkAll(false);
    set->PurgeUnused();
    EXPECT_EQ(0, sprite->GetRefCount());
    EXPECT_EQ(0, font->GetRefCount());
    EXPECT_EQ(0, set->GetRecordCount());
}

TEST_F(LayoutGetters, PicturesFromTheSearchPathAndTheCatalog)
{
    WriteFile("red.bmp", Bmp(6, 3, 0xFF0000));
    bool created = false;
    YDIB* dib = m_layout.GetDIB("red.bmp", &created);
    ASSERT_NE(nullptr, dib);
    EXPECT_TRUE(created);
    EXPECT_EQ(6, dib->GetWidth());
    EXPECT_EQ(3, dib->GetHeight());
    YLayoutResSet* set = m_layout.GetResourceSet();
    YLayoutRes* record = set->FindRecord(set->m_resources[YLayoutResSet::Images], "red.bmp");
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(m_scratch.Path() + "\\red.bmp", std::string((const char*)record->m_path));
    EXPECT_EQ(0, record->m_fromCatalog);
    EXPECT_EQ(dib, m_layout.GetDIB("RED.BMP", &created));
    EXPECT_FALSE(created);

    WriteFile("bad.bmp", "not a picture");
    EXPECT_EQ(nullptr, m_layout.GetDIB("missing.bmp", &created));
    EXPECT_EQ(nullptr, m_layout.GetDIB("bad.bmp", &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(1, set->GetRecordCount());

    YDIB* stored = new YDIB;
    ASSERT_EQ(1, stored->Create(2, 2));
    YCatalogItem* item = AddItem(1, "Interface", "back", stored);
    EXPECT_EQ(stored, m_layout.GetDIB("Interface:back", &created));
    EXPECT_EQ(1, set->FindRecord(set->m_resources[YLayoutResSet::Images], "Interface:back")->m_fromCatalog);
    EXPECT_EQ(1, item->GetRefCount());
}

TEST_F(LayoutGetters, ImagesAreCopiedOntoSurfacesOfTheirSize)
{
    WriteFile("green.bmp", Bmp(5, 4, 0x00FF00));
    bool created = false;
    // The file itself, not searched for.
    EXPECT_EQ(nullptr, m_layout.GetImage("green.bmp", &created));
    const std::string path = m_scratch.Path() + "/green.bmp";
    YDXSurface* surface = m_layout.GetImage(path.c_str(), &created);
    ASSERT_NE(nullptr, surface);
    EXPECT_TRUE(created);
    EXPECT_EQ(5u, surface->GetWidth());
    EXPECT_EQ(4u, surface->GetHeight());
    const DDPIXELFORMAT& format = surface->GetDescription().ddpfPixelFormat;
    EXPECT_EQ(format.dwGBitMask, Pixel(surface, 4, 3) & (format.dwRBitMask | format.dwGBitMask | format.dwBBitMask));
    EXPECT_EQ(surface, m_layout.GetImage(path.c_str(), &created));
    EXPECT_FALSE(created);

    // A catalog picture goes back to the catalog once copied.
    YDIB* stored = new YDIB;
    ASSERT_EQ(1, stored->Create(3, 7));
    YCatalogItem* item = AddItem(1, "Interface", "panel", stored);
    YDXSurface* panel = m_layout.GetImage("Interface:panel", &created);
    ASSERT_NE(nullptr, panel);
    EXPECT_EQ(3u, panel->GetWidth());
    EXPECT_EQ(7u, panel->GetHeight());
    EXPECT_EQ(0, item->GetRefCount());

    YDXSurface* cache = m_layout.GetSurface("cache", 8, 2, &created);
    ASSERT_NE(nullptr, cache);
    EXPECT_TRUE(created);
    EXPECT_EQ(8u, cache->GetWidth());
    EXPECT_EQ(cache, m_layout.GetSurface("CACHE", 1, 1, &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(nullptr, m_layout.GetSurface("empty", 0, 5, &created));

    m_layout.m_display = nullptr;
    EXPECT_EQ(nullptr, m_layout.GetSurface("other", 4, 4, &created)) << "no display, no surface";
    EXPECT_EQ(3, static_cast<int>(m_layout.GetResourceSet()->m_surfaces.GetCount()));
}

TEST_F(LayoutGetters, ButtonsAreCopiesOfTheCatalogsAndOfEachOther)
{
    m_pictures.emplace_back(new CountedResource(12, 5));
    YResource* image = m_pictures.back().get();
    CopyButton* original = new CopyButton;
    original->AddResource(image, false);
    YCatalogItem* item = AddItem(9, "Buttons", "ok", original);
    std::vector<std::unique_ptr<YLayoutItem>> items;
    YLayoutItem* first = Item(items, 1);
    YLayoutItem* second = Item(items, 2);

    bool created = false;
    m_layout.m_redoPasses = 0;
    YButton* button = m_layout.GetButton("Buttons:ok", first, &created);
    ASSERT_NE(nullptr, button);
    EXPECT_TRUE(created);
    EXPECT_NE(original, button);
    EXPECT_EQ(0, item->GetRefCount()) << "the catalog's button is given back at once";
    EXPECT_EQ(&m_layout, button->GetParent());
    EXPECT_EQ(0, button->m_visible);
    EXPECT_EQ(12, button->Rect().right);
    EXPECT_EQ(5, button->Rect().bottom);
    EXPECT_TRUE(button->GetPrivateSource());
    EXPECT_EQ(1, m_layout.m_redoPasses);
    YLayoutResSet* set = m_layout.GetResourceSet();
    YLayoutRes* record = set->FindControlRecord(button);
    EXPECT_EQ(1, record->m_fromCatalog);
    EXPECT_EQ(1, record->m_privateCopy);
    EXPECT_EQ(first, record->m_owner);

    EXPECT_EQ(button, m_layout.GetButton("Buttons:ok", first, &created));
    EXPECT_FALSE(created);

    // Asked for by another item: another copy of the catalog's.
    YButton* again = m_layout.GetButton("Buttons:ok", second, &created);
    ASSERT_NE(nullptr, again);
    EXPECT_NE(button, again);
    EXPECT_EQ(1, set->FindControlRecord(again)->m_fromCatalog);

    // A name the catalog does not know: the second item copies the first's.
    CopyButton* plain = new CopyButton;
    plain->AddResource(image, false);
    set->Add(set->m_controls[YLayoutResSet::Buttons], "plain", plain, first);
    YButton* copy = m_layout.GetButton("plain", second, &created);
    ASSERT_NE(nullptr, copy);
    EXPECT_NE(plain, copy);
    EXPECT_TRUE(created);
    EXPECT_EQ(12, copy->Rect().right);
    EXPECT_EQ(0, set->FindControlRecord(copy)->m_fromCatalog);
    EXPECT_EQ(0, set->FindControlRecord(copy)->m_privateCopy);
    EXPECT_EQ(3, m_layout.m_redoPasses);
    EXPECT_EQ(nullptr, m_layout.GetButton("Buttons:cancel", second, &created));
    EXPECT_EQ(nullptr, m_layout.GetButton("cancel", second, &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(4, static_cast<int>(set->m_controls[YLayoutResSet::Buttons].GetCount()));

    // A control moved elsewhere comes back to the layout.
    YWindow elsewhere;
    button->SetParent(&elsewhere);
    EXPECT_EQ(button, m_layout.GetButton("Buttons:ok", first, nullptr));
    EXPECT_EQ(&m_layout, button->GetParent());
}

TEST_F(LayoutGetters, EditBoxesAndListWindowsAreMadeNew)
{
    std::vector<std::unique_ptr<YLayoutItem>> items;
    YLayoutItem* owner = Item(items, 3);
    bool created = false;
    m_layout.m_redoPasses = 0;
    YEditBox* edit = m_layout.GetEditBox("name", owner, &created);
    ASSERT_NE(nullptr, edit);
    EXPECT_TRUE(created);
    EXPECT_EQ(0, edit->m_visible);
    EXPECT_EQ(&m_layout, edit->GetParent());
    EXPECT_EQ(edit, m_layout.GetEditBox("name", owner, &created));
    EXPECT_FALSE(created);

    const struct {
        int kind;
        CRuntimeClass* type;
    } kinds[] = {{0, RUNTIME_CLASS(YTextCtrl)}, {1, RUNTIME_CLASS(YListBox)}, {2, RUNTIME_CLASS(YListCtrl)}};
    for (const auto& k : kinds) {
        YWindow* window = m_layout.GetMiscWindow(std::to_string(k.kind).c_str(), owner, k.kind, &created);
        ASSERT_NE(nullptr, window) << k.kind;
        EXPECT_TRUE(window->IsKindOf(k.type)) << k.kind;
        EXPECT_EQ(0, window->m_visible);
    }
    EXPECT_EQ(nullptr, m_layout.GetMiscWindow("3", owner, 3, &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(0, m_layout.m_redoPasses);
    EXPECT_EQ(3, static_cast<int>(m_layout.GetMiscWindowList().GetCount()));
}

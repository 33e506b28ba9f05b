#include "gui/YLayoutItemMake.h"

#include <array>
#include <memory>
#include <new>

#include "foundation/YCatalog.h"
#include "foundation/YCatalogItem.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YFrame.h"
#include "graphics2d/YSprite.h"
#include "gui/YButton.h"
#include "gui/YFontButton.h"
#include "gui/YLayout.h"
#include "gui/YLayoutRes.h"
#include "gui/YLayoutResSet.h"
#include "gui/YSlider.h"

IMPLEMENT_DYNAMIC(YLayoutItemMake, YLayoutItem)

namespace {
enum { kStates = 4 };
// A spacing above this is a spacing; smaller values leave the font's own.
enum { kLeastSpacing = 10 };

// Caption alignment as text flags: centred, left, right, each vertically centred.
const int kAlignments[] = {DT_CENTER | DT_VCENTER, DT_LEFT | DT_VCENTER, DT_RIGHT | DT_VCENTER};

// The button's caption font slot of each state (normal, selected, hover, disabled).
const int kStateFonts[kStates] = {YButton::kNormalFont, YButton::kPressedFont, YButton::kHoverFont,
                                  YButton::kDisabledFont};

COLORREF Colour(int red, int green, int blue)
{
    return static_cast<COLORREF>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

bool SameName(const YLayoutRes* record, const char* name) { return _stricmp(record->m_name, name) == 0; }

// The first item of that type, section and name (any name when empty).
YCatalogItem* FindCatalogItem(YCatalog* catalog, int type, const CString& section, const CString& name)
{
    for (POSITION at = catalog->FirstOfType(type); at;) {
        YCatalogItem* item = catalog->GetItems()->GetNext(at);
        if (item->GetType() != type || item->GetSection().CompareNoCase(section) != 0) continue;
        if (name.IsEmpty() || item->GetName().CompareNoCase(name) == 0) return item;
    }
    return nullptr;
}
}  // namespace

CString YLayoutItemMake::Text(int index, YDC* dc) { return m_layout->ResolveText(m_args[index], dc); }

int YLayoutItemMake::Value(int index, YDC* dc) { return m_layout->ResolveValue(m_args[index], dc, m_parentGroup); }

void YLayoutItemMake::Load(YDC* dc)
{
    if (m_layout) {
        if (GetArgCount() > 0) m_name = Text(0, dc);
        switch (m_kind) {
        case Button: MakeButton(dc); break;
        case ButtonWithFont: MakeButtonWithFont(dc); break;
        case FontButton: MakeFontButton(dc); break;
        case Font: MakeFont(dc); break;
        case Sprite: MakeSprite(dc); break;
        case Slider: MakeSlider(dc); break;
        default: break;
        }
    }
    m_loaded = 1;
}

void YLayoutItemMake::ResolveImagePath(const char* name, CString& path)
{
    const CString text = name ? name : "";
    const int colon = text.Find(':');
    if (colon < 0) {
        path = text;
        return;
    }
    const CString section = text.Left(colon);
    CString entry = text.Mid(colon + 1);
    const int second = entry.Find(':');
    if (second >= 0) entry = entry.Left(second);
    YCatalog* catalog = m_layout ? m_layout->GetCatalog() : nullptr;
    if (!catalog && m_layout) catalog = m_layout->GetResourceSet()->m_catalog;
    if (!catalog) return;
    for (int type : {kCatalogImages, kCatalogFonts})
        if (YCatalogItem* item = FindCatalogItem(catalog, type, section, entry)) {
            path = item->ResolvePath(TRUE, TRUE, TRUE);
            return;
        }
}

// ------------------------------------------------------------------ windows

namespace {
// Every list of the layout's set that holds windows.
std::array<CObList*, 4> ControlLists(YLayout& layout)
{
    return {&layout.GetButtonList(), &layout.GetEditBoxList(), &layout.GetSliderList(), &layout.GetMiscWindowList()};
}
}  // namespace

YWindow* YLayoutItemMake::FindWindow()
{
    YLayoutResSet* set = m_layout->GetResourceSet();
    const std::array<CObList*, 4> lists = ControlLists(*m_layout);
    for (CObList* list : lists)
        if (YWindow* window = dynamic_cast<YWindow*>(set->FindResource(*list, m_name))) return window;
    // A catalog button of that name is copied in, free for any item.
    if (m_name.Find(':') >= 0) return m_layout->GetButton(m_name, nullptr);
    return nullptr;
}

void YLayoutItemMake::RemoveWindows()
{
    const std::array<CObList*, 4> lists = ControlLists(*m_layout);
    for (CObList* list : lists)
        for (POSITION at = list->GetHeadPosition(); at;) {
            POSITION here = at;
            YLayoutRes* record = static_cast<YLayoutRes*>(list->GetNext(at));
            if (!SameName(record, m_name)) continue;
            list->RemoveAt(here);
            if (record->m_owner) record->m_owner->Reload();
            // Leaving the tree and the destructor let go of focus, capture and hover.
            if (YWindow* window = dynamic_cast<YWindow*>(record->m_resource)) window->SetParent(nullptr);
            delete record->m_resource;
            record->m_resource = nullptr;
            delete record;
        }
    m_layout->GetResourceSet()->m_clean = 0;
}

YWindow* YLayoutItemMake::FindOrReplaceWindow(int typeCode)
{
    if (YWindow* found = FindWindow()) {
        if (static_cast<YResource*>(found)->GetId() == typeCode) return found;
        RemoveWindows();
    }
    std::unique_ptr<YWindow> window;
    try {
        if (typeCode == YFontButton::kTypeCode) window.reset(new YFontButton);
        else window.reset(new YButton);
        m_layout->GetResourceSet()->Add(m_layout->GetButtonList(), m_name, window.get(), nullptr);
    } catch (const std::bad_alloc&) {
        // Without its entry the window would belong to no one: it goes again.
        return nullptr;
    }
    return window.release();
}

void YLayoutItemMake::SizeToFirstImage(YWindow* window)
{
    YResource* first = window->GetResourceAt(0);
    if (!first) return;
    const RECT rect = {0, 0, first->GetWidth(), first->GetHeight()};
    window->MoveTo(&rect);
}

void YLayoutItemMake::MakeButton(YDC* dc)
{
    if (GetArgCount() < 3) return;
    YWindow* button = FindOrReplaceWindow(YButton::kTypeCode);
    if (!button) return;
    for (int k = 0; k < kStates && k + 1 < GetArgCount(); ++k)
        button->SetResourceAt(k, m_layout->GetDIB(Text(k + 1, dc)), false);
    SizeToFirstImage(button);
}

void YLayoutItemMake::MakeButtonWithFont(YDC* dc)
{
    const int count = GetArgCount();
    if (count < 10) return;
    YButton* button = dynamic_cast<YButton*>(FindOrReplaceWindow(YButton::kTypeCode));
    if (!button) return;
    const int alignment = Value(1, dc);
    if (alignment >= 0 && alignment < 3) button->SetCaptionFormat(kAlignments[alignment]);
    const int x = Value(2, dc);
    button->SetCaptionOffset(x, Value(3, dc));
    for (int k = 0; k < kStates && 4 + 3 * k + 2 < count; ++k) {
        const int at = 4 + 3 * k;
        button->SetResourceAt(k, m_layout->GetDIB(Text(at, dc)), false);
        YFont* font = m_layout->GetFont(Text(at + 1, dc));
        button->SetCaptionFont(kStateFonts[k], font);
        if (font) font->SetSpacing(Value(at + 2, dc));
    }
    SizeToFirstImage(button);
}

void YLayoutItemMake::MakeFontButton(YDC* dc)
{
    const int count = GetArgCount();
    if (count < 3) return;
    YWindow* button = FindOrReplaceWindow(YFontButton::kTypeCode);
    if (!button) return;
    for (int k = 0; k < kStates && 2 + 2 * k < count; ++k) {
        YFont* font = m_layout->GetFont(Text(1 + 2 * k, dc));
        button->SetResourceAt(k, font, false);
        if (font) font->SetSpacing(Value(2 + 2 * k, dc));
    }
}

// ------------------------------------------------------------------ resources

void YLayoutItemMake::MakeFont(YDC* dc)
{
    const int count = GetArgCount();
    if (count < 2) return;
    CString path;
    ResolveImagePath(Text(1, dc), path);

    YLayoutResSet* set = m_layout->GetResourceSet();
    YFont* font = dynamic_cast<YFont*>(set->FindResource(m_layout->GetFontList(), m_name));
    std::unique_ptr<YFont> made;
    if (!font) {
        made.reset(new YFont);
        font = made.get();
    } else if (font->m_imageName == path) {
        return;
    }
    font->m_imageName = path;
    font->SetImagePath(CString());
    font->LoadFontImage("", m_layout->GetDisplay());

    COLORREF key = kDefaultKey;
    if (count >= 5) key = Colour(Value(2, dc), Value(3, dc), Value(4, dc));
    const int columns = count > 5 ? Value(5, dc) : -1;
    const int spacing = count > 6 ? Value(6, dc) : -1;
    // The font keeps the key too, so that a glyph surface made again uses it.
    font->SetTransparentColor(key);
    if (YDXSurface* glyphs = font->GetGlyphSurface()) glyphs->SetTransparentColor(key);
    if (columns > 0 && columns != font->m_columns) {
        font->SetColumns(columns);
        // The cells follow the columns: a loaded picture is measured again.
        if (!font->GetImagePath().IsEmpty() && font->LoadFontImage("", m_layout->GetDisplay()) &&
            font->GetGlyphSurface())
            font->GetGlyphSurface()->SetTransparentColor(key);
    }
    if (spacing > kLeastSpacing) font->SetSpacing(spacing);

    if (made) set->Add(m_layout->GetFontList(), m_name, made.release(), nullptr);
}

void YLayoutItemMake::MakeSprite(YDC* dc)
{
    const int count = GetArgCount();
    if (count < 7) return;
    YLayoutResSet* set = m_layout->GetResourceSet();
    if (set->FindResource(m_layout->GetSpriteList(), m_name)) return;
    const LONG hotX = Value(1, dc), hotY = Value(2, dc);
    // Three numbers the scripts give and nothing uses.
    for (int i = 5; i >= 3; --i) Value(i, dc);

    std::unique_ptr<YSprite> sprite(new YSprite);
    for (int i = 6; i < count; ++i) {
        YFrame* frame = new YFrame;
        CString path;
        ResolveImagePath(Text(i, dc), path);
        try {
            CFile file(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
            YDIB picture;
            if (picture.Load(file)) {
                frame->m_frameRect = RECT{0, 0, picture.GetWidth(), picture.GetHeight()};
                frame->SetHotSpot(hotX, hotY);
                frame->m_imageName = path;
            }
        } catch (CException* e) {
            // The frame stays as it was made.
            e->Delete();
        }
        sprite->InsertFrame(frame, -1);
    }
    sprite->Load("", m_layout->GetDisplay());
    set->Add(m_layout->GetSpriteList(), m_name, sprite.release(), nullptr);
}

void YLayoutItemMake::MakeSlider(YDC* dc)
{
    if (GetArgCount() < 3) return;
    YLayoutResSet* set = m_layout->GetResourceSet();
    YSlider* slider = dynamic_cast<YSlider*>(set->FindResource(m_layout->GetSliderList(), m_name));
    if (!slider) {
        std::unique_ptr<YSlider> made(new YSlider);
        set->Add(m_layout->GetSliderList(), m_name, made.get(), nullptr);
        slider = made.release();
    }
    slider->SetResourceAt(0, nullptr, false);
    slider->SetResourceAt(1, nullptr, false);
    slider->SetResourceAt(1, m_layout->GetDIB(Text(1, dc)), false);
    const CString track = Text(2, dc);
    if (!track.IsEmpty()) slider->SetResourceAt(0, m_layout->GetDIB(track), false);
}

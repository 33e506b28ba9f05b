#include "gui/YLayout.h"

#include <vector>

#include "foundation/YCatalog.h"
#include "graphics2d/YDIB.h"
#include "graphics2d/YDXSurface.h"
#include "graphics2d/YFont.h"
#include "graphics2d/YSprite.h"
#include "gui/YButton.h"
#include "gui/YDC.h"
#include "gui/YEditBox.h"
#include "gui/YListBox.h"
#include "gui/YListCtrl.h"
#include "gui/YTextCtrl.h"
#include "renderer/YGraphics.h"
#include "gui/YLayoutGroup.h"
#include "gui/YLayoutItemButton.h"
#include "gui/YLayoutItemDraw.h"
#include "gui/YLayoutItemEdit.h"
#include "gui/YLayoutItemImage.h"
#include "gui/YLayoutItemMake.h"
#include "gui/YLayoutItemMiscWindow.h"
#include "gui/YLayoutItemSlider.h"
#include "gui/YLayoutItemSprite.h"
#include "gui/YLayoutRes.h"
#include "gui/YLayoutTokenizer.h"
#include "gui/YSlider.h"
#include "gui/YToolTipCtrl.h"

IMPLEMENT_DYNAMIC(YLayout, YWindow)

namespace {

const char kKeywordSeparators[] = " \n\t\r(";
const char kArgSeparators[] = "()";

struct Keyword {
    const char* name;
    YLayoutItem* (*make)();
};

template <class Item, int Kind>
YLayoutItem* Make()
{
    return new Item(Kind);
}

template <int Text, int Style>
YLayoutItem* MakeButton()
{
    return new YLayoutItemButton(Text, Style);
}

YLayoutItem* MakeSlider() { return new YLayoutItemSlider; }

// The item keywords of the script language, in table order.
const Keyword kItemKeywords[] = {
    {"makebutton", Make<YLayoutItemMake, 0>},      {"makebuttonwithfont", Make<YLayoutItemMake, 1>},
    {"makefontbutton", Make<YLayoutItemMake, 2>},  {"makefont", Make<YLayoutItemMake, 3>},
    {"makesprite", Make<YLayoutItemMake, 4>},      {"makeslider", Make<YLayoutItemMake, 5>},
    {"string", Make<YLayoutItemDraw, 0>},          {"cstring", Make<YLayoutItemDraw, 1>},
    {"rstring", Make<YLayoutItemDraw, 2>},         {"istring", Make<YLayoutItemDraw, 3>},
    {"bstring", Make<YLayoutItemDraw, 4>},         {"bstringtick", Make<YLayoutItemDraw, 5>},
    {"edit", Make<YLayoutItemEdit, 0>},            {"editfield", Make<YLayoutItemEdit, 1>},
    {"textfield", Make<YLayoutItemMiscWindow, 0>}, {"listctrl", Make<YLayoutItemMiscWindow, 2>},
    {"listbox", Make<YLayoutItemMiscWindow, 1>},   {"img", Make<YLayoutItemImage, 0>},
    {"imgtile", Make<YLayoutItemImage, 1>},        {"imgdial", Make<YLayoutItemImage, 2>},
    {"imgscale", Make<YLayoutItemImage, 3>},       {"imgstretch", Make<YLayoutItemImage, 4>},
    {"button", MakeButton<0, 0>},                  {"radiobutton", MakeButton<0, 0x4>},
    {"checkbutton", MakeButton<0, 0x2>},           {"textbutton", MakeButton<1, 0>},
    {"textradiobutton", MakeButton<1, 0x4>},       {"textcheckbutton", MakeButton<1, 0x2>},
    {"slider", MakeSlider},                        {"rect", Make<YLayoutItemDraw, 6>},
    {"framerect", Make<YLayoutItemDraw, 7>},       {"grid", Make<YLayoutItemDraw, 8>},
    {"line", Make<YLayoutItemDraw, 9>},            {"dial", Make<YLayoutItemSprite, 1>},
    {"anim", Make<YLayoutItemSprite, 0>},
};

struct BlockKeyword {
    const char* name;
    int kind;
};
const BlockKeyword kBlockKeywords[] = {
    {"if", YLayoutGroup::If},       {"group", YLayoutGroup::Group}, {"depth", YLayoutGroup::Depth},
    {"cache", YLayoutGroup::Cache}, {"font", YLayoutGroup::Font},   {"fontwin", YLayoutGroup::FontWin},
};
const char* const kEndKeywords[] = {"endif", "endgroup", "enddepth", "endcache", "endfont"};

int BlockKind(const CString& token)
{
    for (const BlockKeyword& block : kBlockKeywords)
        if (token.CompareNoCase(block.name) == 0) return block.kind;
    return -1;
}

bool IsEndKeyword(const CString& token)
{
    for (const char* end : kEndKeywords)
        if (token.CompareNoCase(end) == 0) return true;
    return false;
}

CString Trimmed(CString text)
{
    text.TrimLeft();
    text.TrimRight();
    return text;
}

int CountQuotes(const CString& text)
{
    int count = 0;
    for (int i = 0; i < text.GetLength(); ++i) count += text[i] == '"';
    return count;
}

// The operator that occurs first in text, the longer one on a tie; -1 when none.
int FirstOperator(const CString& text, const char* const* operators, int& at)
{
    int found = -1;
    at = -1;
    for (int i = 0; operators && operators[i]; ++i) {
        const int here = text.Find(operators[i]);
        if (here < 0) continue;
        if (found < 0 || here < at || (here == at && strlen(operators[i]) > strlen(operators[found]))) {
            found = i;
            at = here;
        }
    }
    return found;
}

YLayoutItem* ItemAt(POSITION& at, const CObList& list) { return static_cast<YLayoutItem*>(list.GetNext(at)); }

}  // namespace

YLayout::YLayout()
    : m_groupTime(0), m_textTime(0), m_imageTime(0), m_controlTime(0), m_spriteTime(0), m_redoPasses(0),
      m_drawTime(0), m_depth(kDefaultDepth), m_refreshed(0), m_toolTips(new YToolTipCtrl), m_activeSet(&m_ownSet)
{
    m_clickSound = 0;
    m_drawBackground = 0;
}

YLayout::~YLayout()
{
    m_drawDepth = 0;
    DeleteItems();
    DeleteRetiredItems();
    // The own set's controls are deleted with it; they leave the tree first.
    m_ownSet.MarkAll(false);
    m_ownSet.PurgeUnused();
    delete m_toolTips;
    m_toolTips = nullptr;
}

// ------------------------------------------------------------------ script

void YLayout::SetScript(const char* text)
{
    DeleteItems();
    MarkResources(false);
    m_script = text ? text : "";
    m_ownSet.SetCatalog(GetCatalog());
    ParseScript();
    KeyboardOn(true);
}

void YLayout::DeleteItems()
{
    // A script set from inside a draw (a resolver running a command) must
    // not pull the items from under it.
    if (m_drawDepth > 0) {
        m_retiredItems.AddTail(&m_items);
        m_items.RemoveAll();
        return;
    }
    for (POSITION at = m_items.GetHeadPosition(); at;) delete ItemAt(at, m_items);
    m_items.RemoveAll();
}

void YLayout::DeleteRetiredItems()
{
    for (POSITION at = m_retiredItems.GetHeadPosition(); at;) delete ItemAt(at, m_retiredItems);
    m_retiredItems.RemoveAll();
}

void YLayout::ClearItems()
{
    DeleteItems();
    MarkResources(false);
    PurgeResources();
}

void YLayout::ReloadAll()
{
    for (POSITION at = m_items.GetHeadPosition(); at;) ItemAt(at, m_items)->Reload();
}

YLayoutItem* YLayout::CreateItem(const char* keyword)
{
    for (const Keyword& entry : kItemKeywords)
        if (keyword && _stricmp(keyword, entry.name) == 0) return entry.make();
    return nullptr;
}

void YLayout::ParseScript()
{
    YLayoutTokenizer tokens(m_script);
    YLayoutGroup* root = new YLayoutGroup;
    root->m_layout = this;
    root->m_blockKind = YLayoutGroup::Group;
    YLayoutGroup* current = root;
    CObList stack;

    for (CString token = Trimmed(tokens.Next(kKeywordSeparators)); !token.IsEmpty();
         token = Trimmed(tokens.Next(kKeywordSeparators))) {
        int context = -1;
        const int colon = token.Find(':');
        if (colon >= 0) {
            context = atoi(token.Mid(colon + 1));
            token = token.Left(colon);
        }
        const int blockKind = BlockKind(token);
        if (blockKind >= 0) {
            if (stack.GetCount() >= kMaxBlockDepth) {
                // The blocks draw, reload and free themselves recursively.
                CString message;
                message.Format("Layout blocks nest deeper than %d: the script is cut there", kMaxBlockDepth);
                AfxMessageBox(message);
                break;
            }
            stack.AddTail(current);
            YLayoutGroup* block = new YLayoutGroup;
            block->m_context = context;
            block->m_layout = this;
            block->m_parentGroup = current;
            block->m_blockKind = blockKind;
            current->AddChild(block);
            current = block;
            if (blockKind == YLayoutGroup::If) ReadItemArgs(block, tokens, YLayoutGroup::kOperators, true);
            else ReadItemArgs(block, tokens, YLayoutGroup::kSeparators, false);
            continue;
        }
        if (IsEndKeyword(token)) {
            // A surplus end keyword changes nothing.
            if (!stack.IsEmpty()) current = static_cast<YLayoutGroup*>(stack.RemoveTail());
            continue;
        }
        YLayoutItem* item = token.IsEmpty() ? nullptr : CreateItem(token);
        if (!item && !token.IsEmpty()) {
            const char last = token[token.GetLength() - 1];
            if (last == 'r' || last == 'R') {
                item = CreateItem(token.Left(token.GetLength() - 1));
                if (item) item->m_trailingR = 1;
            }
        }
        if (!item) item = CreateAppItem(token);
        if (!item) continue;
        ReadItemArgs(item, tokens, YLayoutGroup::kSeparators, false);
        item->m_context = context;
        item->m_parentGroup = current;
        item->m_layout = this;
        current->AddChild(item);
    }
    m_items.AddTail(root);
}

void YLayout::ReadItemArgs(YLayoutItem* item, YLayoutTokenizer& tokens, const char* const* operators,
                           bool keepOperators)
{
    CString followers;
    CString rest = tokens.Next(kArgSeparators, &followers);
    rest.TrimLeft();
    for (int pass = 0; pass < kMaxArgPieces && !rest.IsEmpty(); ++pass) {
        // Parentheses inside a quoted text belong to it.  The quotes are
        // counted once per piece: an unclosed quote stays linear.
        for (bool odd = CountQuotes(rest) % 2 == 1; odd && !tokens.AtEnd();) {
            CString more = followers;
            more += tokens.Next(kArgSeparators, &followers);
            rest += more;
            odd ^= CountQuotes(more) % 2 == 1;
        }
        if (rest[0] == '"') {
            const int close = rest.Find('"', 1);
            if (close < 0) {
                // A quote that never closes takes the rest.
                item->m_args.Add(rest);
                break;
            }
            item->m_args.Add(rest.Left(close + 1));
            rest = rest.Mid(close + 1);
            continue;
        }
        int at = -1;
        const int found = FirstOperator(rest, operators, at);
        if (found < 0) {
            const CString piece = Trimmed(rest);
            if (!piece.IsEmpty()) item->m_args.Add(piece);
            break;
        }
        const CString piece = Trimmed(rest.Left(at));
        if (!piece.IsEmpty()) {
            item->m_args.Add(piece);
            if (keepOperators) item->m_args.Add(operators[found]);
        }
        rest = rest.Mid(at + static_cast<int>(strlen(operators[found])));
    }
}

// ------------------------------------------------------------------ drawing

int YLayout::Draw(YDC* dc)
{
    const DWORD t0 = GetTickCount();
    if (!m_visible) return 0;
    m_drawTime = 0;
    m_redoPasses = 0;
    m_groupTime = m_textTime = m_imageTime = m_controlTime = m_spriteTime = 0;
    if (!m_refreshed) SetRefresh();
    m_drawTime += static_cast<int32_t>(GetTickCount() - t0);
    int result = 0, costs = 0;
    ++m_drawDepth;
    // Over a copy: an item may have the script set again while it draws.
    std::vector<YLayoutItem*> items;
    for (POSITION at = m_items.GetHeadPosition(); at;) items.push_back(ItemAt(at, m_items));
    for (YLayoutItem* item : items) {
        result |= item->Draw(dc);
        costs += item->m_cost;
    }
    if (--m_drawDepth == 0) DeleteRetiredItems();
    const DWORD t1 = GetTickCount();
    if (!m_activeSet->m_clean) PurgeResources();
    if (m_redoPasses > 0) {
        OnIdle();
        Draw(dc);
    } else {
        DrawToolTip(dc);
    }
    m_drawTime += static_cast<int32_t>(GetTickCount() - t1) + costs;
    return result;
}

void YLayout::DrawToolTip(YDC* dc)
{
    if (!m_toolTips) return;
    for (int i = m_toolTips->GetTipCount() - 1; i >= 0; --i) {
        YWindow* window = m_toolTips->GetTipWindow(i);
        if (!m_activeSet->FindControlRecord(window)) m_toolTips->RemoveTip(window);
    }
    YWindow* hovered = GetHoverWindow();
    if (hovered && !hovered->m_visible) return;
    m_toolTips->DrawOverlay(dc);
}

void YLayout::SetToolTipColour(COLORREF colour)
{
    if (m_toolTips) m_toolTips->SetBackground(colour);
}

void YLayout::DrawControl(YWindow* window, YDC* dc)
{
    if (window && m_redoPasses == 0) window->Draw(dc);
}

void YLayout::SetRefresh() { m_refreshed = 1; }

int YLayout::SetDepth(int depth)
{
    m_depth = depth;
    return m_depth;
}

int YLayout::GetDepth() { return m_depth; }

void YLayout::PlaySecondSound() {}

// ------------------------------------------------------------------ resources

YLayoutResSet* YLayout::GetResourceSet() { return m_activeSet; }

YLayoutResSet* YLayout::SetResourceSet(YLayoutResSet* set)
{
    YLayoutResSet* previous = m_activeSet;
    m_activeSet = set ? set : &m_ownSet;
    return previous;
}

namespace {
enum { kImageType = 1, kSpriteType = 3, kButtonType = 9, kFontType = 17, kSliderType = 26 };
enum { kPathLength = 512 };

void Clear(bool* created)
{
    if (created) *created = false;
}

void Set(bool* created)
{
    if (created) *created = true;
}
}  // namespace

YDXDraw* YLayout::GetDisplay() { return GetGraphics(); }

YResource* YLayout::CatalogResource(int type, const char* name)
{
    const char* colon = name ? strchr(name, ':') : nullptr;
    YCatalog* catalog = GetCatalog();
    if (!catalog) catalog = m_activeSet->m_catalog;
    if (!colon || !catalog) return nullptr;
    const CString section(name, static_cast<int>(colon - name));
    return catalog->GetResource(type, section, CString(colon + 1), reinterpret_cast<DWORD_PTR>(GetDisplay()));
}

template <class T>
T* YLayout::CatalogGet(CObList& list, int type, const char* name, bool* created)
{
    Clear(created);
    if (CObject* found = m_activeSet->FindResource(list, name)) return dynamic_cast<T*>(found);
    YResource* resource = CatalogResource(type, name);
    if (!resource) return nullptr;
    T* typed = dynamic_cast<T*>(resource);
    if (!typed) {
        // An entry of the type that holds something else: given back.
        YCatalog* catalog = GetCatalog() ? GetCatalog() : m_activeSet->m_catalog;
        if (catalog) catalog->ReleaseResource(resource);
        return nullptr;
    }
    m_activeSet->Add(list, name, resource, nullptr)->m_fromCatalog = 1;
    Set(created);
    return typed;
}

YSprite* YLayout::GetSprite(const char* name, bool* created)
{
    return CatalogGet<YSprite>(GetSpriteList(), kSpriteType, name, created);
}

YFont* YLayout::GetFont(const char* name, bool* created)
{
    return CatalogGet<YFont>(GetFontList(), kFontType, name, created);
}

YDIB* YLayout::LoadDIB(const char* name, bool search, CString* path, bool* fromCatalog)
{
    *fromCatalog = false;
    if (!name || !*name) return nullptr;
    if (strchr(name, ':')) {
        YDIB* dib = dynamic_cast<YDIB*>(CatalogResource(kImageType, name));
        *fromCatalog = dib != nullptr;
        return dib;
    }
    CString file = name;
    YCatalog* catalog = GetCatalog();
    if (!catalog) catalog = m_activeSet->m_catalog;
    if (search && catalog) {
        char found[kPathLength] = "";
        if (!catalog->FindFile(name, found, sizeof found)) return nullptr;
        file = found;
    }
    YDIB* dib = new YDIB;
    try {
        CFile input(file, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
        if (!dib->Load(input)) {
            delete dib;
            return nullptr;
        }
    } catch (CException* e) {
        e->Delete();
        delete dib;
        return nullptr;
    }
    if (path) *path = file;
    return dib;
}

YDIB* YLayout::GetDIB(const char* name, bool* created)
{
    Clear(created);
    CObList& list = GetImageList();
    if (CObject* found = m_activeSet->FindResource(list, name)) return dynamic_cast<YDIB*>(found);
    CString path;
    bool fromCatalog = false;
    YDIB* dib = LoadDIB(name, true, &path, &fromCatalog);
    if (!dib) return nullptr;
    YLayoutRes* record = m_activeSet->Add(list, name, dib, nullptr);
    record->m_fromCatalog = fromCatalog ? 1 : 0;
    record->m_path = path;
    Set(created);
    return dib;
}

YDXSurface* YLayout::GetImage(const char* name, bool* created)
{
    Clear(created);
    CObList& list = GetSurfaceList();
    if (CObject* found = m_activeSet->FindSurface(list, name)) return dynamic_cast<YDXSurface*>(found);
    YDXDraw* display = GetDisplay();
    if (!display) return nullptr;
    bool fromCatalog = false;
    YDIB* dib = LoadDIB(name, false, nullptr, &fromCatalog);
    if (!dib) return nullptr;
    const LONG width = dib->GetWidth(), height = dib->GetHeight();
    const bool alpha = dib->GetHeader() && dib->GetHeader()->biBitCount == 32;
    YDXSurface* surface = new YDXSurface(name);
    int made = 0;
    if (width > 0 && height > 0) {
        if (alpha) {
            made = surface->CreateAlphaSource(display, static_cast<DWORD>(width), static_cast<DWORD>(height));
            if (made) made = dib->CopyToLockedSurface(surface, 0, 0);
        } else {
            made = surface->CreateSurface(display, static_cast<DWORD>(width), static_cast<DWORD>(height),
                                          DDSCAPS_SYSTEMMEMORY, nullptr, 0, nullptr);
            if (made) made = dib->Draw(surface, 0, 0, SRCCOPY);
        }
    }
    YCatalog* catalog = GetCatalog() ? GetCatalog() : m_activeSet->m_catalog;
    if (!fromCatalog) delete dib;
    else if (catalog) catalog->ReleaseResource(dib);
    if (!made) {
        delete surface;
        return nullptr;
    }
    m_activeSet->Add(list, name, surface, nullptr);
    Set(created);
    return surface;
}

YDXSurface* YLayout::GetSurface(const char* name, int width, int height, bool* created)
{
    Clear(created);
    CObList& list = GetSurfaceList();
    if (CObject* found = m_activeSet->FindSurface(list, name)) return dynamic_cast<YDXSurface*>(found);
    YDXDraw* display = GetDisplay();
    if (!display || width <= 0 || height <= 0) return nullptr;
    YDXSurface* surface = new YDXSurface(name);
    if (!surface->CreateSurface(display, static_cast<DWORD>(width), static_cast<DWORD>(height), DDSCAPS_SYSTEMMEMORY,
                                nullptr, 0, nullptr)) {
        delete surface;
        return nullptr;
    }
    m_activeSet->Add(list, name, surface, nullptr);
    Set(created);
    return surface;
}

void YLayout::Adopt(YWindow* control)
{
    YWindow* parent = GetControlParent();
    if (control && control->GetParent() != parent) control->SetParent(parent);
}

YWindow* YLayout::MakeControl(CObList& list, int type, const char* name, YLayoutItem* owner, CObject* model,
                              bool button, bool* created)
{
    YWindow* control = nullptr;
    bool fromCatalog = false;
    if (YResource* original = CatalogResource(type, name)) {
        control = dynamic_cast<YWindow*>(original->CopyTo(nullptr));
        YCatalog* catalog = GetCatalog() ? GetCatalog() : m_activeSet->m_catalog;
        if (catalog) catalog->ReleaseResource(original);
        fromCatalog = control != nullptr;
    }
    YWindow* modelWindow = dynamic_cast<YWindow*>(model);
    if (!control && modelWindow) control = dynamic_cast<YWindow*>(modelWindow->CopyTo(nullptr));
    if (!control) return nullptr;
    if (button && control->GetResourceCount() > 0 && control->GetResourceAt(0)) {
        YResource* first = control->GetResourceAt(0);
        RECT rect = {0, 0, first->GetWidth(), first->GetHeight()};
        control->MoveTo(&rect);
        control->SetPrivateSource(true);
    }
    control->m_visible = 0;
    YLayoutRes* record = m_activeSet->Add(list, name, control, owner);
    record->m_fromCatalog = fromCatalog ? 1 : 0;
    record->m_privateCopy = fromCatalog ? 1 : 0;
    Set(created);
    ++m_redoPasses;
    return control;
}

YWindow* YLayout::GetCopiedControl(CObList& list, int type, const char* name, YLayoutItem* owner, bool button,
                                   bool* created)
{
    Clear(created);
    CObject* model = nullptr;
    YWindow* control = dynamic_cast<YWindow*>(m_activeSet->FindControl(list, name, owner, &model));
    if (!control) control = MakeControl(list, type, name, owner, model, button, created);
    Adopt(control);
    return control;
}

YButton* YLayout::GetButton(const char* name, YLayoutItem* owner, bool* created)
{
    return dynamic_cast<YButton*>(GetCopiedControl(GetButtonList(), kButtonType, name, owner, true, created));
}

YSlider* YLayout::GetSlider(const char* name, YLayoutItem* owner, bool* created)
{
    return dynamic_cast<YSlider*>(GetCopiedControl(GetSliderList(), kSliderType, name, owner, false, created));
}

YEditBox* YLayout::GetEditBox(const char* name, YLayoutItem* owner, bool* created)
{
    Clear(created);
    CObList& list = GetEditBoxList();
    YWindow* control = dynamic_cast<YWindow*>(m_activeSet->FindControl(list, name, owner, nullptr));
    if (!control) {
        control = new YEditBox;
        control->m_visible = 0;
        m_activeSet->Add(list, name, control, owner);
        Set(created);
    }
    Adopt(control);
    return dynamic_cast<YEditBox*>(control);
}

YWindow* YLayout::GetMiscWindow(const char* name, YLayoutItem* owner, int kind, bool* created)
{
    Clear(created);
    CObList& list = GetMiscWindowList();
    YWindow* control = dynamic_cast<YWindow*>(m_activeSet->FindControl(list, name, owner, nullptr));
    if (!control) {
        switch (kind) {
        case 0: control = new YTextCtrl; break;
        case 1: control = new YListBox; break;
        case 2: control = new YListCtrl; break;
        default: return nullptr;
        }
        control->m_visible = 0;
        m_activeSet->Add(list, name, control, owner);
        Set(created);
    }
    Adopt(control);
    return control;
}

CObList& YLayout::GetSpriteList() { return m_activeSet->m_resources[YLayoutResSet::Sprites]; }

CObList& YLayout::GetFontList() { return m_activeSet->m_resources[YLayoutResSet::Fonts]; }

CObList& YLayout::GetImageList() { return m_activeSet->m_resources[YLayoutResSet::Images]; }

CObList& YLayout::GetSurfaceList() { return m_activeSet->m_surfaces; }

CObList& YLayout::GetButtonList() { return m_activeSet->m_controls[YLayoutResSet::Buttons]; }

CObList& YLayout::GetSliderList() { return m_activeSet->m_controls[YLayoutResSet::Sliders]; }

CObList& YLayout::GetEditBoxList() { return m_activeSet->m_controls[YLayoutResSet::EditBoxes]; }

CObList& YLayout::GetMiscWindowList() { return m_activeSet->m_controls[YLayoutResSet::ListWindows]; }

BOOL YLayout::ReleaseSurfaces()
{
    m_activeSet->ReleaseSurfaces();
    return TRUE;
}

void YLayout::MarkResources(bool inUse)
{
    if (OwnsResourceSet()) m_ownSet.MarkAll(inUse);
}

void YLayout::PurgeResources()
{
    if (OwnsResourceSet()) m_ownSet.PurgeUnused();
}

void YLayout::SetControlCommand(YWindow* window, const char* text)
{
    if (YLayoutRes* record = m_activeSet->FindControlRecord(window)) record->m_command = text ? text : "";
}

void YLayout::SetControlTip(YWindow* window, const char* text)
{
    if (m_toolTips && window && m_activeSet->FindControlRecord(window)) m_toolTips->SetTip(window, text);
}

void YLayout::DetachChildren()
{
    while (GetChildCount() > 0) GetChild(0)->SetParent(nullptr);
}

YWindow* YLayout::GetControlParent() { return this; }

void YLayout::OnOpen() {}

void YLayout::OnClose() {}

void YLayout::OnStep() {}

// ------------------------------------------------------------------ messages

YWindow* YLayout::ChildFromPoint(int x, int y, int flags)
{
    if (!m_visible) return nullptr;
    for (int i = GetChildCount() - 1; i >= 0; --i)
        if (YWindow* hit = GetChild(i)->ChildFromPoint(x, y, flags)) return hit;
    if (!OwnsResourceSet()) {
        POINT point = {x, y};
        return PtInRect(&m_rect, point) ? this : nullptr;
    }
    if (!m_parent) return nullptr;
    for (int i = m_parent->GetChildCount() - 1; i >= 0; --i) {
        YWindow* sibling = m_parent->GetChild(i);
        if (sibling->IsKindOf(RUNTIME_CLASS(YLayout))) continue;
        if (YWindow* hit = sibling->ChildFromPoint(x, y, flags)) return hit;
    }
    return nullptr;
}

CString YLayout::EditCommand(int context, CString& typedText, bool& typed)
{
    typed = false;
    CObList& edits = GetEditBoxList();
    for (POSITION at = edits.GetHeadPosition(); at;) {
        YLayoutRes* record = static_cast<YLayoutRes*>(edits.GetNext(at));
        YLayoutItemEdit* item = dynamic_cast<YLayoutItemEdit*>(record->m_owner);
        if (!item || item->m_context != context || item->m_kind != 0) continue;
        YWindow* window = static_cast<YWindow*>(record->m_resource);
        CString command;
        // The keys as of the key message, not as they are once the whole
        // frame's input was pumped (a quick tap is up by then).
        const bool enter = GetKeyState(VK_RETURN) < 0, escape = !enter && GetKeyState(VK_ESCAPE) < 0;
        if ((enter || escape) && m_editKeyDone) return command;
        m_editKeyDone = enter || escape;
        if (enter) {
            CString text;
            window->GetName(text);
            if (item->m_hideOnEnter) {
                window->SetName(text);
                window->m_visible = 0;
            }
            // Without a command of its own the typed text runs nothing.
            if (!record->m_command.IsEmpty()) {
                command = record->m_command;
                typedText = text;
                typed = true;
            }
            KeyboardOn(true);
        } else if (escape) {
            window->SetName("");
            command = "+exit";
            KeyboardOn(true);
        }
        return command;
    }
    return CString();
}

CString YLayout::ClickCommand(int context, bool& clickSound)
{
    auto find = [&](CObList& list) -> YLayoutRes* {
        for (POSITION at = list.GetHeadPosition(); at;) {
            YLayoutRes* record = static_cast<YLayoutRes*>(list.GetNext(at));
            if (record->m_owner && record->m_owner->m_context == context) return record;
        }
        return nullptr;
    };
    CString command;
    YLayoutRes* record = find(GetButtonList());
    if (record) {
        command = record->m_command;
    } else if ((record = find(GetSliderList())) != nullptr) {
        YSlider* slider = dynamic_cast<YSlider*>(record->m_resource);
        command.Format("%s %d", (const char*)record->m_command, slider ? slider->GetPos() : 0);
    }
    if (record && record->m_resource) clickSound = static_cast<YWindow*>(record->m_resource)->m_clickSound != 0;
    return command;
}

void YLayout::OnKeyDown(int key, int repeat, int keyFlags)
{
    m_editKeyDone = 0;
    YWindow::OnKeyDown(key, repeat, keyFlags);
}

void YLayout::OnNotify(int id, int code)
{
    m_clickSound = 0;
    CString command, text;
    bool typed = false;
    const int context = m_activeSet->ContextOf(id);
    if (code == kNotifyEditBox) {
        command = EditCommand(context, text, typed);
    } else if (code == kNotifyClicked) {
        bool clickSound = false;
        command = ClickCommand(context, clickSound);
        if (OwnsResourceSet()) m_clickSound = clickSound ? 1 : 0;
    }
    YWindow::OnNotify(id, code);
    if (typed) ExecuteCommandWithText(command, text);
    else if (!command.IsEmpty()) ExecuteCommand(command);
}

#include "platform/mfc/TreeCtrl.h"

#include <algorithm>

struct _TREEITEM {
    CString text;
    HTREEITEM parent = nullptr;
    std::vector<HTREEITEM> children;
};

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

CTreeCtrl::CTreeCtrl() = default;

CTreeCtrl::~CTreeCtrl() = default;

bool CTreeCtrl::Owns(HTREEITEM item) const
{
    return std::any_of(m_items.begin(), m_items.end(), [item](const auto& owned) { return owned.get() == item; });
}

std::vector<HTREEITEM>& CTreeCtrl::ChildrenOf(HTREEITEM parent)
{
    return parent ? parent->children : m_roots;
}

const std::vector<HTREEITEM>* CTreeCtrl::SiblingsOf(HTREEITEM item) const
{
    if (!Owns(item)) return nullptr;
    return item->parent ? &item->parent->children : &m_roots;
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR text, HTREEITEM parent, HTREEITEM after)
{
    if (parent == TVI_ROOT) parent = nullptr;
    if (parent && !Owns(parent)) return nullptr;
    auto item = std::make_unique<_TREEITEM>();
    item->text = text ? text : "";
    item->parent = parent;
    std::vector<HTREEITEM>& siblings = ChildrenOf(parent);
    auto place = siblings.end();
    if (after == TVI_FIRST) {
        place = siblings.begin();
    } else if (after != TVI_LAST) {
        auto found = std::find(siblings.begin(), siblings.end(), after);
        if (found != siblings.end()) place = found + 1;
    }
    siblings.insert(place, item.get());
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

BOOL CTreeCtrl::DeleteAllItems()
{
    m_roots.clear();
    m_items.clear();
    return TRUE;
}

HTREEITEM CTreeCtrl::GetRootItem() const { return m_roots.empty() ? nullptr : m_roots.front(); }

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const
{
    if (!Owns(item) || item->children.empty()) return nullptr;
    return item->children.front();
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const
{
    const std::vector<HTREEITEM>* siblings = SiblingsOf(item);
    if (!siblings) return nullptr;
    auto found = std::find(siblings->begin(), siblings->end(), item);
    return found + 1 < siblings->end() ? *(found + 1) : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const { return Owns(item) ? item->parent : nullptr; }

CString CTreeCtrl::GetItemText(HTREEITEM item) const { return Owns(item) ? item->text : CString(); }

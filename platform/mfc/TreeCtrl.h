// A tree control: items of text under items, kept by the object itself (there
// are no common controls to hold them). Diagnostics fill one and read it back.
#pragma once

#include <memory>
#include <vector>

#include "platform/mfc/String.h"
#include "platform/mfc/WinApp.h"

struct _TREEITEM;
typedef _TREEITEM* HTREEITEM;
#define TVI_ROOT (reinterpret_cast<HTREEITEM>(ULONG_PTR(-0x10000)))
#define TVI_FIRST (reinterpret_cast<HTREEITEM>(ULONG_PTR(-0x0FFFF)))
#define TVI_LAST (reinterpret_cast<HTREEITEM>(ULONG_PTR(-0x0FFFE)))

class CTreeCtrl : public CWnd {
    DECLARE_DYNAMIC(CTreeCtrl)

public:
    CTreeCtrl();
    ~CTreeCtrl() override;

    // Under parent (TVI_ROOT: at the top), first, last or after a sibling;
    // null when parent is not an item of this tree.
    HTREEITEM InsertItem(LPCTSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    BOOL DeleteAllItems();
    UINT GetCount() const { return UINT(m_items.size()); }

    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM item) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    HTREEITEM GetParentItem(HTREEITEM item) const;
    CString GetItemText(HTREEITEM item) const;

private:
    bool Owns(HTREEITEM item) const;
    std::vector<HTREEITEM>& ChildrenOf(HTREEITEM parent);
    const std::vector<HTREEITEM>* SiblingsOf(HTREEITEM item) const;

    std::vector<std::unique_ptr<_TREEITEM>> m_items;
    std::vector<HTREEITEM> m_roots;
};

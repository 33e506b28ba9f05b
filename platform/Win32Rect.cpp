// Rectangle helpers of the Win32 stand-in.
#include "platform/win32.h"

#include <algorithm>
#include <limits>

BOOL SetRect(LPRECT rc, int left, int top, int right, int bottom)
{
    if (!rc) return FALSE;
    rc->left = left;
    rc->top = top;
    rc->right = right;
    rc->bottom = bottom;
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rc)
{
    return SetRect(rc, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT dst, const RECT* src)
{
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rc)
{
    return !rc || rc->right <= rc->left || rc->bottom <= rc->top;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    if (!a || !b) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rc, POINT pt)
{
    return rc && pt.x >= rc->left && pt.x < rc->right && pt.y >= rc->top && pt.y < rc->bottom;
}

namespace {
// An edge moved by d, held at the ends of its range instead of wrapping.
LONG Moved(LONG edge, long long d)
{
    const long long v = static_cast<long long>(edge) + d;
    const long long lo = std::numeric_limits<LONG>::min(), hi = std::numeric_limits<LONG>::max();
    return static_cast<LONG>(v < lo ? lo : v > hi ? hi : v);
}
}  // namespace

BOOL OffsetRect(LPRECT rc, int dx, int dy)
{
    if (!rc) return FALSE;
    rc->left = Moved(rc->left, dx);
    rc->right = Moved(rc->right, dx);
    rc->top = Moved(rc->top, dy);
    rc->bottom = Moved(rc->bottom, dy);
    return TRUE;
}

BOOL InflateRect(LPRECT rc, int dx, int dy)
{
    if (!rc) return FALSE;
    rc->left = Moved(rc->left, -static_cast<long long>(dx));
    rc->right = Moved(rc->right, dx);
    rc->top = Moved(rc->top, -static_cast<long long>(dy));
    rc->bottom = Moved(rc->bottom, dy);
    return TRUE;
}

BOOL IntersectRect(LPRECT dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b) return FALSE;
    RECT r;
    r.left = std::max(a->left, b->left);
    r.top = std::max(a->top, b->top);
    r.right = std::min(a->right, b->right);
    r.bottom = std::min(a->bottom, b->bottom);
    if (IsRectEmpty(&r)) {
        SetRectEmpty(dst);
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

BOOL UnionRect(LPRECT dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b) return FALSE;
    bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
    if (ea && eb) {
        SetRectEmpty(dst);
        return FALSE;
    }
    if (ea) { *dst = *b; return TRUE; }
    if (eb) { *dst = *a; return TRUE; }
    RECT r;
    r.left = std::min(a->left, b->left);
    r.top = std::min(a->top, b->top);
    r.right = std::max(a->right, b->right);
    r.bottom = std::max(a->bottom, b->bottom);
    *dst = r;
    return TRUE;
}

BOOL SubtractRect(LPRECT dst, const RECT* a, const RECT* b)
{
    if (!dst || !a || !b) return FALSE;
    RECT r = *a;
    RECT cut;
    if (IntersectRect(&cut, a, b)) {
        // Only a cut that spans a whole side shrinks the rectangle.
        if (cut.top == a->top && cut.bottom == a->bottom) {
            if (cut.left == a->left) r.left = cut.right;
            else if (cut.right == a->right) r.right = cut.left;
        } else if (cut.left == a->left && cut.right == a->right) {
            if (cut.top == a->top) r.top = cut.bottom;
            else if (cut.bottom == a->bottom) r.bottom = cut.top;
        }
    }
    *dst = r;
    return !IsRectEmpty(&r);
}

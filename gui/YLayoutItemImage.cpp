#include "gui/YLayoutItemImage.h"

#include <algorithm>

#include "foundation/YVector.h"
#include "graphics2d/YDXSurface.h"
#include "gui/YDC.h"
#include "gui/YLayout.h"
#include "gui/YLayoutGroup.h"

IMPLEMENT_DYNAMIC(YLayoutItemImage, YLayoutItem)

namespace {

COLORREF Colour(int red, int green, int blue)
{
    return static_cast<COLORREF>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

LONG Clamp(int64_t value)
{
    return static_cast<LONG>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, value)));
}

RECT Box(int64_t left, int64_t top, int64_t width, int64_t height)
{
    return RECT{Clamp(left), Clamp(top), Clamp(left + width), Clamp(top + height)};
}

// Whole part of a float, kept within 32 bits.
int64_t Whole(double value)
{
    if (!(value == value)) return 0;
    return static_cast<int64_t>(std::max(-2147483648.0, std::min(2147483647.0, value)));
}

}  // namespace

YLayoutItemImage::YLayoutItemImage(int kind)
    : m_kind(kind), m_rect{0, 0, 0, 0}, m_keyColour(kKeyColour), m_dialRadius(0), m_scaleSize(0), m_sizeIsWidth(0),
      m_dialAngle(0.0f), m_centred(0), m_image(nullptr)
{
}

int YLayoutItemImage::Value(int index, YDC* dc) { return m_layout->ResolveValue(m_args[index], dc, m_parentGroup); }

void YLayoutItemImage::Load(YDC* dc)
{
    m_keyColour = kKeyColour;
    m_centred = 0;
    m_image = nullptr;
    m_rect = RECT{0, 0, 0, 0};
    m_dialRadius = m_scaleSize = 0;
    m_sizeIsWidth = 0;
    m_dialAngle = 0.0f;
    const int count = GetArgCount();
    if (!m_layout || count < 3) {
        m_loaded = 1;
        return;
    }
    m_imageName = m_layout->ResolveText(m_args[0], dc);
    m_rect.left = Value(1, dc);
    m_rect.top = Value(2, dc);
    switch (m_kind) {
    case Plain:
        if (count > 3) m_centred = Value(3, dc);
        if (count == 7) m_keyColour = Colour(Value(4, dc), Value(5, dc), Value(6, dc));
        break;
    case Tile:
    case Stretch:
        if (count > 4) {
            m_rect.right = Value(3, dc);
            m_rect.bottom = Value(4, dc);
        }
        if (count > 7) m_keyColour = Colour(Value(5, dc), Value(6, dc), Value(7, dc));
        break;
    case Dial:
        if (count > 4) {
            m_dialRadius = Value(3, dc);
            m_dialAngle = m_layout->ResolveFloat(m_args[4], dc, m_parentGroup);
        }
        if (count > 5) m_centred = Value(5, dc);
        if (count == 9) m_keyColour = Colour(Value(6, dc), Value(7, dc), Value(8, dc));
        break;
    case Scale:
        if (count > 3) m_scaleSize = Value(3, dc);
        if (count > 4) m_sizeIsWidth = Value(4, dc) != 0;
        if (count > 5) m_centred = Value(5, dc);
        if (count > 8) m_keyColour = Colour(Value(6, dc), Value(7, dc), Value(8, dc));
        break;
    default: break;
    }
    m_image = m_layout->GetImage(m_imageName, nullptr);
    if (m_image) m_image->SetTransparentColor(m_keyColour);
    m_loaded = 1;
}

int YLayoutItemImage::Draw(YDC* dc)
{
    const DWORD start = GetTickCount();
    if (!m_loaded || m_trailingR) Load(dc);
    if (m_layout && dc) {
        RECT group;
        const RECT rect = PlaceInGroup(dc, m_rect, &group);
        if (!m_image) {
            // The name stands in for a picture the layout cannot supply.
            dc->TextOut(rect.left, rect.top, m_imageName, m_imageName.GetLength());
        } else {
            switch (m_kind) {
            case Plain:
            case Dial: DrawPlaced(dc, group, rect); break;
            case Tile: DrawTiled(dc, rect); break;
            case Scale:
            case Stretch: DrawStretched(dc, group, rect); break;
            default: break;
            }
        }
    }
    m_cost = static_cast<int32_t>(GetTickCount() - start);
    if (m_layout) m_layout->m_imageTime += m_cost;
    return 0;
}

void YLayoutItemImage::Put(YDXSurface* target, RECT destination, RECT source)
{
    if (m_image->IsAlphaSource()) target->BltAlpha(m_image, destination.left, destination.top, &source);
    else target->Blt(m_image, &destination, &source, 1, 0, 0);
}

void YLayoutItemImage::DrawPlaced(YDC* dc, const RECT& group, RECT rect)
{
    int64_t x = rect.left, y = rect.top;
    if (m_kind == Dial) {
        if (GetArgCount() >= 5) m_dialAngle = m_layout->ResolveFloat(m_args[4], dc, m_parentGroup);
        YVector offset(0.0f, 0.0f, static_cast<float>(m_dialRadius));
        offset.Rotate(YVector(0.0f, m_dialAngle, 0.0f));
        x += Whole(offset.x);
        y -= Whole(offset.z);
    }
    const int64_t width = m_image->GetWidth(), height = m_image->GetHeight();
    if (width <= 0 || height <= 0) return;
    if (m_centred) {
        x -= width / 2;
        y -= height / 2;
    }
    const RECT destination = Box(x, y, width, height);
    RECT shown;
    if (!IntersectRect(&shown, &destination, &group)) return;
    // The source loses as much on each side as the group cut off.
    const RECT source = {static_cast<LONG>(static_cast<int64_t>(shown.left) - destination.left),
                         static_cast<LONG>(static_cast<int64_t>(shown.top) - destination.top),
                         static_cast<LONG>(width - (static_cast<int64_t>(destination.right) - shown.right)),
                         static_cast<LONG>(height - (static_cast<int64_t>(destination.bottom) - shown.bottom))};
    if (YDXSurface* target = dc->GetSurface()) Put(target, shown, source);
}

void YLayoutItemImage::DrawTiled(YDC* dc, const RECT& rect)
{
    const int64_t width = m_image->GetWidth(), height = m_image->GetHeight();
    // A zero-sized picture would never advance.
    if (width <= 0 || height <= 0 || IsRectEmpty(&rect)) return;
    YDXSurface* target = dc->GetSurface();
    if (!target) return;
    // Copies off the target cannot show: start and stop where it does.
    const RECT surface = {0, 0, static_cast<LONG>(target->GetWidth()), static_cast<LONG>(target->GetHeight())};
    RECT visible;
    if (!IntersectRect(&visible, &rect, &surface)) return;

    const int64_t firstRow = std::max<int64_t>(0, (static_cast<int64_t>(rect.bottom) - visible.bottom) / height);
    const int64_t firstColumn = std::max<int64_t>(0, (static_cast<int64_t>(visible.left) - rect.left) / width);
    for (int64_t bottom = rect.bottom - firstRow * height; bottom > visible.top; bottom -= height) {
        for (int64_t x = rect.left + firstColumn * width; x < static_cast<int64_t>(rect.right) - 1 && x < visible.right;
             x += width) {
            const RECT copy = Box(x, bottom - height, width, height);
            RECT piece;
            if (!IntersectRect(&piece, &copy, &rect)) continue;
            const LONG pieceWidth = piece.right - piece.left, pieceHeight = piece.bottom - piece.top;
            Put(target, piece, RECT{0, static_cast<LONG>(height - pieceHeight), pieceWidth, static_cast<LONG>(height)});
        }
    }
}

void YLayoutItemImage::DrawStretched(YDC* dc, const RECT& group, const RECT& placed)
{
    const int64_t width = m_image->GetWidth(), height = m_image->GetHeight();
    // A zero-sized picture has nothing to scale.
    if (width <= 0 || height <= 0) return;
    RECT rect = placed;
    if (m_kind == Scale) {
        int64_t w, h;
        if (m_sizeIsWidth) {
            w = m_scaleSize;
            h = Whole(static_cast<double>(height) / static_cast<double>(width) * m_scaleSize);
        } else {
            h = m_scaleSize;
            w = Whole(static_cast<double>(width) / static_cast<double>(height) * m_scaleSize);
        }
        int64_t x = placed.left, y = placed.top;
        if (m_centred) {
            x -= w / 2;
            y -= h / 2;
        }
        rect = Box(x, y, w, h);
    }
    const int64_t rectWidth = static_cast<int64_t>(rect.right) - rect.left;
    const int64_t rectHeight = static_cast<int64_t>(rect.bottom) - rect.top;
    if (rectWidth <= 0 || rectHeight <= 0) return;
    const double sx = static_cast<double>(width) / rectWidth, sy = static_cast<double>(height) / rectHeight;
    RECT shown;
    if (!IntersectRect(&shown, &rect, &group)) return;
    RECT source;
    source.left = shown.left == rect.left ? 0 : static_cast<LONG>(Whole((static_cast<int64_t>(shown.left) - rect.left) * sx));
    source.right = shown.right == rect.right ? static_cast<LONG>(width)
                                             : static_cast<LONG>(Whole(width - (static_cast<int64_t>(rect.right) - shown.right) * sx));
    source.top = shown.top == rect.top ? 0 : static_cast<LONG>(Whole((static_cast<int64_t>(shown.top) - rect.top) * sy));
    source.bottom = shown.bottom == rect.bottom ? static_cast<LONG>(height)
                                                : static_cast<LONG>(Whole(height - (static_cast<int64_t>(rect.bottom) - shown.bottom) * sy));
    if (YDXSurface* target = dc->GetSurface()) target->Blt(m_image, &shown, &source, 1, 0, 0);
}

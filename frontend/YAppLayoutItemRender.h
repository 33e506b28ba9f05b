// "renderframe": the world drawn into a screen.  Each draw points the
// renderer's view at the item's rectangle and field of view and has it draw
// one frame there; with the restore flag the renderer's view is put back
// afterwards.
#pragma once

#include <cstdint>

#include "gui/YLayoutItem.h"

class YAppLayoutItemRender : public YLayoutItem {
    DECLARE_DYNAMIC(YAppLayoutItemRender)
public:
    static constexpr float kDefaultFieldOfView = 75.0f;

    YAppLayoutItemRender();
    int Draw(YDC* dc) override;
    // The restore flag: a sixth argument that resolves to non-zero.
    void Load(YDC* dc) override;

    uint8_t m_bRestoreView;
};

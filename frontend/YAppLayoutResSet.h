// The resource set every screen shares: the set's own, except that it
// purges its resources through the marks before its lists go.
#pragma once

#include "gui/YLayoutResSet.h"

class YAppLayoutResSet : public YLayoutResSet {
public:
    YAppLayoutResSet() = default;
    ~YAppLayoutResSet() override;
};

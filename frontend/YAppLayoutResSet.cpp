#include "frontend/YAppLayoutResSet.h"

YAppLayoutResSet::~YAppLayoutResSet()
{
    MarkAll(false);
    PurgeUnused();
}

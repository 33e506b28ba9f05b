// Unchecks the buttons of one radio group that it visits.
#pragma once

#include "foundation/YResourceVisitor.h"

class YButtonOff : public YResourceVisitor {
public:
    explicit YButtonOff(int group) : m_group(group) {}

    // A button of the group goes up; always 0.
    LONG VisitButton(YButton* button) override;

    int m_group;
};

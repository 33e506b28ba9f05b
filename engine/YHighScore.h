// One row of a high-score table.
#pragma once

#include "foundation/YString.h"

struct YHighScore {
    YString m_name;
    YString m_value;    // the score as decimal text
    YString m_picture;  // image name of the layout resources
};

// The parameters of a weather element: which particles it draws and how.
// So far a record the weather hands to its element.
#pragma once

#include "foundation/YString.h"

struct WeatherElementParams {
    YString m_name;
};

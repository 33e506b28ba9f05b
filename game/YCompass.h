// The compass of the game view.
#pragma once

class YCompass {
public:
    YCompass() = default;
    virtual ~YCompass() = default;
};

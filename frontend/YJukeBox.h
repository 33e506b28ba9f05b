// The music play list.
#pragma once

class YJukeBox {
public:
    YJukeBox() = default;
    virtual ~YJukeBox() = default;
};

// A pilot's record: its id and its plane.
#pragma once

class YPlane;

class YClientInfo {
public:
    YClientInfo() = default;
    virtual ~YClientInfo() = default;

    int m_id = 0;
    YPlane* m_plane = nullptr;  // reference; the world owns the plane
};

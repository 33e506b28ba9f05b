// A named group of frames of a "YFMF" mesh set; each frame holds mesh nodes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct YFMFMeshNode;

class YFMFFrame {
public:
    YFMFFrame();
    ~YFMFFrame();

    void SetName(const char* name) { m_name = name ? name : ""; }
    const char* GetName() const { return m_name.c_str(); }
    void SetId(uint32_t id) { m_id = id; }
    uint32_t GetId() const { return m_id; }
    void SetTime(float time) { m_time = time; }
    float GetTime() const { return m_time; }
    int AddNode(YFMFMeshNode* node);
    int RemoveNodeAt(int index);
    int FindNode(uint32_t id) const;
    YFMFMeshNode* GetNodeAt(int index) const;
    int GetNodeCount() const { return static_cast<int>(m_nodes.size()); }

private:
    std::string m_name;
    uint32_t m_id = 0xFFFFFFFFu;
    float m_time = 0.05f;
    std::vector<std::unique_ptr<YFMFMeshNode>> m_nodes;
};

class YFMFGroup {
public:
    enum : uint32_t { kFrames = 1001 };

    YFMFGroup();
    ~YFMFGroup();

    int AddFrame(YFMFFrame* frame);
    int RemoveFrameAt(int index);
    int FindFrame(const char* name) const;
    YFMFFrame* GetFrameAt(int index) const;
    int GetFrameCount() const { return static_cast<int>(m_frames.size()); }
    float TotalTime() const;

    std::string m_name;
    uint32_t m_type = 0;
    std::vector<std::unique_ptr<YFMFFrame>> m_frames;
};

// A pilot's record: the plane and actors its controls drive, a few control
// settings, the objects it owns and a ring of samples the HUD averages.
#pragma once

#include <cstdint>

#include "foundation/YString.h"
#include "platform/mfc.h"

class YActor;
class YPlane;

class YClientInfo : public CObject {
    DECLARE_DYNCREATE(YClientInfo)
public:
    enum { SampleCount = 20, ExtraSampleCount = 3, WordCount = 12, ByteCount = 2 };

    YClientInfo();
    ~YClientInfo() override;
    YClientInfo(const YClientInfo&) = delete;
    YClientInfo& operator=(const YClientInfo&) = delete;

    // Every field back to its reset value; the owned objects are destroyed.
    // The name is kept.
    void Reset();
    // Drops every pointer to an actor that is going away.
    void ForgetActor(YActor* actor);
    // The mean of the non-zero samples, recomputed only after they changed;
    // with none the previous mean stays.
    int32_t GetAveragePing();
    // Destroys the owned objects, head first; the list count goes to 0.
    void ClearItems();

    YPlane* m_plane;            // the pilot's plane; the world owns it
    YActor* m_secondActor;
    YPlane* m_controlledPlane;  // the plane the roll, pitch and axis verbs read
    YActor* m_aimActor;         // turned by the axis verbs, levelled by "center"
    YActor* m_bodyActor;        // moved by the walk and run verbs
    YActor* m_furtherActor;
    int32_t m_indexA;  // -1 none
    int32_t m_indexB;  // -1 none
    float m_valueA;
    int32_t m_listCount;  // 0 whenever the owned list is emptied
    int32_t m_handlingIndex;  // the engine's handling block for an actor that is not a plane
    float m_range;
    YString m_name;
    uint8_t m_active;
    uint8_t m_flagB;
    void* m_auxPointerA;
    int32_t m_auxWordA;
    int32_t m_auxWordB;
    uint32_t m_auxVector[3];
    float m_factor;
    int32_t m_words[WordCount];
    uint8_t m_bytes[ByteCount];
    CObList* m_owned;  // owned, and so are its objects
    int32_t m_samples[SampleCount];  // a ring
    int32_t m_extraSamples[ExtraSampleCount];
    int32_t m_averagePing;
    int32_t m_averageDirty;  // set when the samples change; the reader clears it
    void* m_auxPointerB;
};

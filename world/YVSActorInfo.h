// A serialisable description of an actor: a property collection, one vector
// and four float sequences, carried by archives.
#pragma once

#include "foundation/YDataCollection.h"
#include "foundation/YVector.h"
#include "platform/mfc.h"

class YVSActorInfo : public CObject {
    DECLARE_SERIAL(YVSActorInfo)
public:
    YVSActorInfo();
    ~YVSActorInfo() override;
    YVSActorInfo(const YVSActorInfo&) = delete;
    YVSActorInfo& operator=(const YVSActorInfo&) = delete;

    // Loading replaces what the record held; a short archive throws
    // end-of-file and changes nothing.
    void Serialize(CArchive& ar) override;

    YDataCollection* m_properties;  // owned
    YVector m_vector;
    CArray<float, float> m_floatsA;
    CArray<float, float> m_floatsB;
    CArray<float, float> m_floatsC;
    CArray<float, float> m_floatsD;
};

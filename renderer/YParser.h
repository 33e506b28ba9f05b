// The renderer interface: the game reaches the renderer only through these
// operations, and the renderer calls back through four functions.
#pragma once

#include "platform/win32.h"

class YParser {
public:
    typedef DWORD_PTR (*ObjectTest)(void* object, DWORD flags);
    typedef void* (*ModelEnumerator)(int* cursor);
    typedef void (*KeepAlive)();
    typedef float (*RangeTest)(LONG a, LONG b, LONG x);

    YParser() = default;
    virtual ~YParser() = default;

    void SetObjectTest(ObjectTest test) { m_objectTest = test; }
    void SetModelEnumerator(ModelEnumerator enumerator) { m_modelEnumerator = enumerator; }
    void SetKeepAlive(KeepAlive keepAlive) { m_keepAlive = keepAlive; }
    void SetRangeTest(RangeTest test) { m_rangeTest = test; }
    ObjectTest GetObjectTest() const { return m_objectTest; }
    ModelEnumerator GetModelEnumerator() const { return m_modelEnumerator; }
    KeepAlive GetKeepAlive() const { return m_keepAlive; }
    RangeTest GetRangeTest() const { return m_rangeTest; }

    virtual int AttachDisplay(void* displayDescriptor) = 0;
    virtual int CreateDevice(void* deviceDescriptor) = 0;
    virtual void DestroyDevice() = 0;
    virtual void ReleaseModels() = 0;
    virtual void EvictTextures() = 0;
    virtual void SetWorldScale(float scale) = 0;
    // The current session, null when none.
    virtual void* GetSession() { return nullptr; }
    virtual int PollSession(void*) { return 0; }
    virtual void EndSession(int) {}

private:
    ObjectTest m_objectTest = nullptr;
    ModelEnumerator m_modelEnumerator = nullptr;
    KeepAlive m_keepAlive = nullptr;
    RangeTest m_rangeTest = nullptr;
};

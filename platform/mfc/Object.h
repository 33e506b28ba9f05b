// CObject and its run-time class records: dynamic type checks, creation by
// class name, schema numbers for archives, and the debug macros.
#pragma once

#include "platform/win32.h"

class CObject;
class CArchive;
class CDumpContext;

// Set in a class's schema when it reads older versions of itself: the
// archive then accepts any stored schema and hands it to GetObjectSchema.
#define VERSIONABLE_SCHEMA (0x80000000)

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  // 0xFFFF: not serialisable
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;  // chain of registered classes

    // A new object of this class, or null when it is not creatable.
    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // The registered class of that exact name (case-sensitive), or null.
    static CRuntimeClass* FromName(LPCSTR lpszClassName);

    // The class reference form of archives: WORD schema, WORD name length,
    // name bytes.  Load returns null for a name no class carries.
    void Store(CArchive& ar) const;
    static CRuntimeClass* Load(CArchive& ar, UINT* pwSchemaNum);
};

// Links a class into the registry; one static instance per class.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

class CObject {
public:
    static CRuntimeClass classCObject;
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    BOOL IsSerializable() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

protected:
    CObject() = default;
    // CObject carries no data, so copying a derived object is the derived
    // class's business.
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

// Reads one object for the operator>> that DECLARE_SERIAL provides.
CObject* AfxReadObjectFromArchive(CArchive& ar, const CRuntimeClass* pClass);

// Null when pObject is null; otherwise asserts that it is of that class.
CObject* AfxStaticDownCast(CRuntimeClass* pClass, CObject* pObject);
// Null unless pObject is of that class.
CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject);

// ---------------------------------------------------------------- macros
#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name) \
public:                             \
    static CRuntimeClass class##class_name; \
    virtual CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name)                                               \
    DECLARE_DYNCREATE(class_name)                                                \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb)                  \
    {                                                                            \
        pOb = static_cast<class_name*>(AfxReadObjectFromArchive(ar, RUNTIME_CLASS(class_name))); \
        return ar;                                                               \
    }

#define RCV_MFC_CAT2(a, b) a##b
#define RCV_MFC_CAT(a, b) RCV_MFC_CAT2(a, b)

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                              \
    CRuntimeClass class_name::class##class_name = {#class_name,        sizeof(class_name), (wSchema),     \
                                                   pfnNew,             RUNTIME_CLASS(base_class_name), \
                                                   nullptr};                                              \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }              \
    static AFX_CLASSINIT RCV_MFC_CAT(_init_##class_name, __LINE__)(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                  \
    CObject* class_name::CreateObject() { return new class_name; }        \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)            \
    CObject* class_name::CreateObject() { return new class_name; }        \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject)

// Class templates: the template declares DECLARE_xxx(TemplateName) as usual;
// a .cpp then implements each instance it needs, naming the instance (a
// typedef when its arguments hold commas), the template and the base:
//   IMPLEMENT_SERIAL_T(YTypedList<YActor>, YTypedList, CObject, 1)
// The class is registered under the instance's spelling, "YTypedList<YActor>".
#define IMPLEMENT_RUNTIMECLASS_T(instance, template_name, base_class_name, wSchema, pfnNew)              \
    template <>                                                                                          \
    CRuntimeClass instance::class##template_name = {#instance, sizeof(instance), (wSchema), pfnNew,      \
                                                    RUNTIME_CLASS(base_class_name), nullptr};            \
    template <>                                                                                          \
    CRuntimeClass* instance::GetRuntimeClass() const { return &instance::class##template_name; }          \
    static AFX_CLASSINIT RCV_MFC_CAT(_init_##template_name, __LINE__)(&instance::class##template_name);

#define IMPLEMENT_DYNAMIC_T(instance, template_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS_T(instance, template_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE_T(instance, template_name, base_class_name)  \
    template <>                                                          \
    CObject* instance::CreateObject() { return new instance; }           \
    IMPLEMENT_RUNTIMECLASS_T(instance, template_name, base_class_name, 0xFFFF, instance::CreateObject)

#define IMPLEMENT_SERIAL_T(instance, template_name, base_class_name, wSchema) \
    template <>                                                               \
    CObject* instance::CreateObject() { return new instance; }                \
    IMPLEMENT_RUNTIMECLASS_T(instance, template_name, base_class_name, wSchema, instance::CreateObject)

#define STATIC_DOWNCAST(class_name, object) \
    (static_cast<class_name*>(AfxStaticDownCast(RUNTIME_CLASS(class_name), (object))))
#define DYNAMIC_DOWNCAST(class_name, object) \
    (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), (object))))

// ---------------------------------------------------------------- diagnostics
// Debugger text for Dump; it goes to OutputDebugString.
class CDumpContext {
public:
    CDumpContext& operator<<(LPCSTR text);
    CDumpContext& operator<<(const void* pointer);
    CDumpContext& operator<<(int value);
    CDumpContext& operator<<(unsigned value);
    CDumpContext& operator<<(double value);
    CDumpContext& operator<<(const CObject* object);
    CDumpContext& operator<<(const CObject& object);
    void Flush() {}
    int GetDepth() const { return 0; }
    void SetDepth(int) {}
};
extern CDumpContext afxDump;

// Formats with the Windows size modifiers and sends the text to
// OutputDebugString; long texts are sent whole.
void AfxTrace(LPCSTR lpszFormat, ...);
// Reports a failed ASSERT (debugger output and standard error) and carries on.
BOOL AfxAssertFailedLine(LPCSTR lpszFileName, int nLine);
void AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine);

#define TRACE AfxTrace
#define TRACE0(sz) AfxTrace("%s", sz)
#define TRACE1(sz, p1) AfxTrace(sz, p1)
#define TRACE2(sz, p1, p2) AfxTrace(sz, p1, p2)
#define TRACE3(sz, p1, p2, p3) AfxTrace(sz, p1, p2, p3)

#ifdef NDEBUG
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define ASSERT_VALID(pOb) ((void)0)
#define ASSERT_KINDOF(class_name, object) ((void)0)
#else
#define ASSERT(f) ((void)((f) || AfxAssertFailedLine(__FILE__, __LINE__)))
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(pOb) (AfxAssertValidObject((pOb), __FILE__, __LINE__))
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#endif

#define DEBUG_NEW new

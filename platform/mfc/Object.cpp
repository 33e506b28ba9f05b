#include "platform/mfc/Object.h"

#include <string>

#include "platform/mfc/Archive.h"

// Zero-initialised before any class registers itself.
static CRuntimeClass* g_pFirstClass = nullptr;

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr, nullptr};
static AFX_CLASSINIT _init_CObject(&CObject::classCObject);

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    for (CRuntimeClass* p = g_pFirstClass; p; p = p->m_pNextClass)
        if (p == pNewClass) return;
    pNewClass->m_pNextClass = g_pFirstClass;
    g_pFirstClass = pNewClass;
}

CObject* CRuntimeClass::CreateObject()
{
    if (!m_pfnCreateObject) {
        AfxTrace("Error: Trying to create object which is not DECLARE_DYNCREATE\nor DECLARE_SERIAL: %hs.\n",
                 m_lpszClassName);
        return nullptr;
    }
    return m_pfnCreateObject();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBaseClass) return TRUE;
    return FALSE;
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR lpszClassName)
{
    if (!lpszClassName) return nullptr;
    for (CRuntimeClass* p = g_pFirstClass; p; p = p->m_pNextClass)
        if (std::strcmp(p->m_lpszClassName, lpszClassName) == 0) return p;
    return nullptr;
}

void CRuntimeClass::Store(CArchive& ar) const
{
    WORD nLen = static_cast<WORD>(std::strlen(m_lpszClassName));
    ar << static_cast<WORD>(m_wSchema) << nLen;
    ar.Write(m_lpszClassName, nLen);
}

CRuntimeClass* CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum)
{
    WORD wSchema = 0, nLen = 0;
    ar >> wSchema >> nLen;
    if (pwSchemaNum) *pwSchemaNum = wSchema;
    ar.EnsureCanRead(nLen);
    std::string name(nLen, '\0');
    if (nLen && ar.Read(&name[0], nLen) != nLen)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    if (name.find('\0') != std::string::npos) return nullptr;
    return FromName(name.c_str());
}

CRuntimeClass* CObject::GetRuntimeClass() const { return &CObject::classCObject; }

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

void CObject::Serialize(CArchive&) {}
void CObject::AssertValid() const {}
void CObject::Dump(CDumpContext& dc) const
{
    dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<const void*>(this) << "\n";
}

CObject* AfxStaticDownCast(CRuntimeClass* pClass, CObject* pObject)
{
    ASSERT(pObject == nullptr || pObject->IsKindOf(pClass));
    (void)pClass;
    return pObject;
}

CObject* AfxDynamicDownCast(CRuntimeClass* pClass, CObject* pObject)
{
    if (pObject && pObject->IsKindOf(pClass)) return pObject;
    return nullptr;
}

// ---------------------------------------------------------------- diagnostics
CDumpContext afxDump;

CDumpContext& CDumpContext::operator<<(LPCSTR text)
{
    OutputDebugStringA(text ? text : "(null)");
    return *this;
}

CDumpContext& CDumpContext::operator<<(const void* pointer)
{
    char text[32];
    rcv_snprintf(text, sizeof text, "$%p", pointer);
    return *this << text;
}

CDumpContext& CDumpContext::operator<<(int value)
{
    char text[16];
    rcv_snprintf(text, sizeof text, "%d", value);
    return *this << text;
}

CDumpContext& CDumpContext::operator<<(unsigned value)
{
    char text[16];
    rcv_snprintf(text, sizeof text, "%u", value);
    return *this << text;
}

CDumpContext& CDumpContext::operator<<(double value)
{
    char text[64];
    rcv_snprintf(text, sizeof text, "%g", value);
    return *this << text;
}

CDumpContext& CDumpContext::operator<<(const CObject* object)
{
    if (!object) return *this << "NULL";
    object->Dump(*this);
    return *this;
}

CDumpContext& CDumpContext::operator<<(const CObject& object)
{
    object.Dump(*this);
    return *this;
}

void AfxTrace(LPCSTR lpszFormat, ...)
{
    if (!lpszFormat) return;
    char small[512];
    va_list args;
    va_start(args, lpszFormat);
    va_list again;
    va_copy(again, args);
    int need = rcv_vsnprintf(small, sizeof small, lpszFormat, args);
    va_end(args);
    if (need < 0) {
        va_end(again);
        return;
    }
    if (static_cast<size_t>(need) < sizeof small) {
        OutputDebugStringA(small);
    } else {
        std::string text(static_cast<size_t>(need) + 1, '\0');
        rcv_vsnprintf(&text[0], text.size(), lpszFormat, again);
        text.resize(static_cast<size_t>(need));
        OutputDebugStringA(text.c_str());
    }
    va_end(again);
}

BOOL AfxAssertFailedLine(LPCSTR lpszFileName, int nLine)
{
    char text[MAX_PATH + 64];
    rcv_snprintf(text, sizeof text, "Assertion failed: %s(%d)\n", lpszFileName ? lpszFileName : "?", nLine);
    OutputDebugStringA(text);
    std::fputs(text, stderr);
    return FALSE;
}

void AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine)
{
    if (!pOb) {
        AfxAssertFailedLine(lpszFileName, nLine);
        return;
    }
    pOb->AssertValid();
}

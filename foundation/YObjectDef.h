// A named set of text properties describing a kind of game object, with
// an optional base it was copied from and nested child definitions.
#pragma once

#include "foundation/YDataCollection.h"
#include "foundation/YObjectDefList.h"

class YObjectParser;

class YObjectDef : public YDataCollection {
    DECLARE_SERIAL(YObjectDef)
public:
    YObjectDef();
    ~YObjectDef() override;

    void Serialize(CArchive& ar) override;

    // Takes every pair, the names, parent and base, and copies of the children.
    virtual void Copy(const YObjectDef* source);
    virtual void CopyUnique(const YObjectDef* source, const YObjectDef* reference);
    // Becomes a copy of the base under its own name.
    virtual void InheritFrom(YObjectDef* base);
    virtual BOOL IsDerivedFrom(const CString& name) const;
    virtual BOOL IsDerivedFrom(const YObjectDef* definition) const;
    // Appends the script text to an existing file; nothing when it cannot be opened.
    virtual void SaveToFile(LPCTSTR fileName);
    virtual void OnSpare();
    virtual BOOL LoadScript(LPCTSTR fileName, YObjectParser* parser);

    void GetName(CString& name) const { name = m_name; }
    const CString& GetName() const { return m_name; }
    void SetName(const CString& name) { m_name = name; }
    const CString& GetBaseName() const { return m_baseName; }
    YObjectDef* GetBase() const { return m_base; }
    YObjectDef* GetParent() const { return m_parent; }
    void SetParent(YObjectDef* parent) { m_parent = parent; }
    YObjectDefList& GetChildren() { return *m_children; }
    const YObjectDefList& GetChildren() const { return *m_children; }
    BYTE IsRegistered() const { return m_registered; }
    void SetRegistered(BYTE registered) { m_registered = registered; }
    LONG GetRefCount() const { return m_refCount; }

    // Definitions alive in the program.
    static LONG GetLiveCount();

    LONG AddRef();
    // Deletes the definition when the count reaches 0.
    LONG Release();
    CString ToScript(int indent) const;

    // The pair accessors of the collection beside the name accessors above.
    using YDataCollection::GetName;
    using YDataCollection::SetName;

private:
    YObjectDef* m_parent;
    CString m_name;
    YObjectDef* m_base;
    CString m_baseName;
    YObjectDefList* m_children;
    BYTE m_registered;
    LONG m_refCount;
};

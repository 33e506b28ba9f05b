// An ordered list of name/value pairs; values are text, converted on demand.
// Names are found without regard to case; the first match wins.
#pragma once

#include "foundation/YDataElement.h"

struct YIntQuad {
    int32_t x;
    int32_t y;
    int32_t z;
    int32_t w;
};

class YDataCollection : public CObject {
    DECLARE_SERIAL(YDataCollection)
public:
    YDataCollection();  // (0, 1), for dynamic creation
    YDataCollection(int initialSize, int growBy);
    ~YDataCollection() override;

    void Serialize(CArchive& ar) override;

    virtual void Reset();
    virtual void SetSize(int size);
    virtual int GetSize() const;
    virtual uint32_t Checksum() const;

    virtual void SetName(int index, const char* name);
    virtual void SetName(int index, const YString& name);
    virtual void SetInt(int index, int value);
    virtual void SetFloat(int index, float value);
    virtual void SetValue(int index, const char* value);
    virtual void SetValue(int index, const YString& value);
    virtual void SetUser(int index, uint32_t user);
    virtual int SetAt(int index, const char* name, const char* value, uint32_t user);
    virtual int SetAt(int index, const YString& name, const YString& value, uint32_t user);

    virtual const YString& GetName(int index) const;
    virtual const YString& GetValue(const char* name) const;
    virtual const YString& GetValue(const YString& name) const;
    virtual const YString& GetValue(int index) const;
    virtual double GetFloat(const char* name) const;
    virtual double GetFloat(int index) const;
    virtual int GetInt(const char* name) const;
    virtual int GetInt(int index) const;
    virtual uint32_t GetHex(const char* name) const;
    virtual uint32_t GetHex(int index) const;
    virtual uint32_t GetUser(int index) const;
    virtual uint32_t GetUser(const char* name) const;
    virtual YIntQuad GetInts(const char* name) const;
    virtual YIntQuad GetInts(int index) const;
    virtual YDataElement* GetElement(int index);

    virtual int IndexOf(const char* name) const;
    virtual int IndexOf(const YString& name) const;
    virtual int IndexOfValue(const YString& value) const;

    virtual int Set(const char* name, const char* value, uint32_t user = 0);
    virtual int SetFloat(const char* name, float value);
    virtual int SetInt(const char* name, int value);
    virtual void Merge(const YDataCollection* other);
    virtual void StoreDifferences(const YDataCollection* a, const YDataCollection* b);
    virtual int MarkUsed(int index);
    virtual int GetLastIndex() const;

    void RemoveAt(int index);
    void RemoveByName(const YString& name);

protected:
    bool InRange(int index) const { return index >= 0 && index < m_elements.GetSize(); }
    // The array's const subscript returns a copy; these reach the element itself.
    const YDataElement& At(int index) const { return m_elements.GetData()[index]; }
    YDataElement& At(int index) { return m_elements.GetData()[index]; }

    CArray<YDataElement, YDataElement&> m_elements;
    int m_initialSize;
    int m_growBy;
    int m_lastUsed;
};

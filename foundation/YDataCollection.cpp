#include "foundation/YDataCollection.h"

#include "foundation/YStringParser.h"

#include <cstdlib>

IMPLEMENT_SERIAL(YDataCollection, CObject, 1)

namespace {
// Out-of-range look-ups answer with this one string.
const YString& SharedEmpty()
{
    static const YString empty;
    return empty;
}

// Smallest stored element: three 32-bit words.
const DWORD kMinElementBytes = 12;
}  // namespace

YDataCollection::YDataCollection() : YDataCollection(0, 1) {}

YDataCollection::YDataCollection(int initialSize, int growBy)
    : m_initialSize(initialSize), m_growBy(growBy), m_lastUsed(-1)
{
    Reset();
}

YDataCollection::~YDataCollection() {}

void YDataCollection::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<DWORD>(m_elements.GetSize());
        ar << static_cast<LONG>(m_lastUsed);
        for (int i = 0; i < m_elements.GetSize(); ++i) At(i).Serialize(ar);
        return;
    }
    DWORD size = 0;
    LONG lastUsed = -1;
    ar >> size;
    if (size > 0x7fffffffu / kMinElementBytes || !ar.CanRead(static_cast<ULONGLONG>(size) * kMinElementBytes))
        AfxThrowArchiveException(CArchiveException::endOfFile);
    m_elements.SetSize(static_cast<int>(size));
    ar >> lastUsed;
    if (lastUsed > static_cast<LONG>(size) - 1) lastUsed = static_cast<LONG>(size) - 1;
    m_lastUsed = lastUsed;
    for (int i = 0; i < m_elements.GetSize(); ++i) At(i).Serialize(ar);
}

void YDataCollection::Reset()
{
    if (m_growBy != -1) m_elements.SetSize(m_elements.GetSize(), m_growBy);
    m_elements.SetSize(m_initialSize);
    for (int i = 0; i < m_elements.GetSize(); ++i) At(i).Clear();
    m_lastUsed = -1;
}

void YDataCollection::SetSize(int size)
{
    m_elements.SetSize(size < 0 ? 0 : size);
}

int YDataCollection::GetSize() const
{
    return static_cast<int>(m_elements.GetSize());
}

uint32_t YDataCollection::Checksum() const
{
    uint32_t sum = 0;
    for (int i = 0; i < m_elements.GetSize(); ++i) {
        const YDataElement& e = At(i);
        uint32_t pair = static_cast<uint32_t>(HashKey(e.m_value)) * 256u + HashKey(e.m_name);
        sum += e.m_user + (pair << (i % 16));
    }
    return sum;
}

// ---------------------------------------------------------------- by index

void YDataCollection::SetName(int index, const char* name)
{
    SetName(index, YString(name));
}

void YDataCollection::SetName(int index, const YString& name)
{
    if (!InRange(index)) return;
    YDataElement& e = At(index);
    e.m_name = name;
    e.m_nameHash = 0;
    e.m_valueHash = 0;
    MarkUsed(index);
}

void YDataCollection::SetInt(int index, int value)
{
    YString text;
    text.Format("%d", value);
    SetValue(index, text);
}

void YDataCollection::SetFloat(int index, float value)
{
    YString text;
    text.Format("%f", static_cast<double>(value));
    SetValue(index, text);
}

void YDataCollection::SetValue(int index, const char* value)
{
    SetValue(index, YString(value));
}

void YDataCollection::SetValue(int index, const YString& value)
{
    if (!InRange(index)) return;
    YDataElement& e = At(index);
    e.m_value = value;
    e.m_nameHash = 0;
    e.m_valueHash = 0;
    MarkUsed(index);
}

void YDataCollection::SetUser(int index, uint32_t user)
{
    if (!InRange(index)) return;
    At(index).m_user = user;
    MarkUsed(index);
}

int YDataCollection::SetAt(int index, const char* name, const char* value, uint32_t user)
{
    return SetAt(index, YString(name), YString(value), user);
}

int YDataCollection::SetAt(int index, const YString& name, const YString& value, uint32_t user)
{
    if (index < 0) return index;
    if (index >= m_elements.GetSize()) {
        m_elements.SetSize(index + 1);
        YDataElement& e = At(index);
        e.m_name = name;
        e.m_value = value;
        e.m_user = user;
        e.Rehash();
    } else {
        YDataElement& e = At(index);
        e.m_name = name;
        e.m_value = value;
        e.m_user = user;
        e.m_nameHash = 0;
        e.m_valueHash = 0;
    }
    return MarkUsed(index);
}

const YString& YDataCollection::GetName(int index) const
{
    return InRange(index) ? At(index).m_name : SharedEmpty();
}

const YString& YDataCollection::GetValue(const char* name) const
{
    return GetValue(IndexOf(name));
}

const YString& YDataCollection::GetValue(const YString& name) const
{
    return GetValue(IndexOf(name));
}

const YString& YDataCollection::GetValue(int index) const
{
    return InRange(index) ? At(index).m_value : SharedEmpty();
}

double YDataCollection::GetFloat(const char* name) const
{
    return GetFloat(IndexOf(name));
}

double YDataCollection::GetFloat(int index) const
{
    return InRange(index) ? std::atof(At(index).m_value) : 0.0;
}

int YDataCollection::GetInt(const char* name) const
{
    return rcv_atoi(GetValue(name));
}

int YDataCollection::GetInt(int index) const
{
    return InRange(index) ? rcv_atoi(At(index).m_value) : 0;
}

uint32_t YDataCollection::GetHex(const char* name) const
{
    return GetHex(IndexOf(name));
}

// Eight hexadecimal digits, most significant first; a stray character counts 0.
uint32_t YDataCollection::GetHex(int index) const
{
    if (!InRange(index)) return 0xFFFFFFFFu;
    YString text = At(index).m_value;
    if (text.GetLength() != 8) return 0xFFFFFFFFu;
    text.MakeUpper();
    uint32_t value = 0;
    for (int i = 0; i < 8; ++i) {
        char c = text[i];
        uint32_t digit = 0;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        value = (value << 4) | digit;
    }
    return value;
}

uint32_t YDataCollection::GetUser(int index) const
{
    return InRange(index) ? At(index).m_user : 0;
}

uint32_t YDataCollection::GetUser(const char* name) const
{
    return GetUser(IndexOf(name));
}

YIntQuad YDataCollection::GetInts(const char* name) const
{
    return GetInts(IndexOf(name));
}

YIntQuad YDataCollection::GetInts(int index) const
{
    YIntQuad result = {0, 0, 0, 0};
    if (!InRange(index)) return result;
    YStringParser parser;
    parser.SetText(At(index).m_value);
    int32_t* fields[4] = {&result.x, &result.y, &result.z, &result.w};
    for (int32_t* field : fields) {
        int kind = -1;
        CString word = parser.GetNextWord(&kind);
        if (kind == -1) break;
        *field = rcv_atoi(word);
    }
    return result;
}

YDataElement* YDataCollection::GetElement(int index)
{
    return InRange(index) ? &At(index) : nullptr;
}

// ---------------------------------------------------------------- by name

int YDataCollection::IndexOf(const char* name) const
{
    return IndexOf(YString(name));
}

int YDataCollection::IndexOf(const YString& name) const
{
    uint8_t h = HashKey(name);
    if (m_lastUsed < 0) return -1;
    YDataCollection* self = const_cast<YDataCollection*>(this);  // hashes are cached lazily
    for (int i = 0; i <= m_lastUsed && i < m_elements.GetSize(); ++i) {
        YDataElement& e = self->At(i);
        if (e.m_nameHash == 0) e.m_nameHash = HashKey(e.m_name);
        if (e.m_nameHash == h && lstrcmpiA(name, e.m_name) == 0) return i;
    }
    return -1;
}

int YDataCollection::IndexOfValue(const YString& value) const
{
    uint8_t h = HashKey(value);
    if (m_lastUsed < 0) return -1;
    YDataCollection* self = const_cast<YDataCollection*>(this);  // hashes are cached lazily
    for (int i = 0; i <= m_lastUsed && i < m_elements.GetSize(); ++i) {
        YDataElement& e = self->At(i);
        if (e.m_valueHash == 0) e.m_valueHash = HashKey(e.m_value);
        if (e.m_valueHash == h && lstrcmpiA(value, e.m_value) == 0) return i;
    }
    return -1;
}

int YDataCollection::Set(const char* name, const char* value, uint32_t user)
{
    if (m_lastUsed >= m_elements.GetSize()) m_lastUsed = static_cast<int>(m_elements.GetSize()) - 1;
    int index;
    if (name && *name) {
        index = IndexOf(name);
    } else {
        index = IndexOfValue(YString(value));
    }
    if (index == -1) index = m_lastUsed + 1;
    return SetAt(index, name, value, user);
}

int YDataCollection::SetFloat(const char* name, float value)
{
    YString text;
    text.Format("%f", static_cast<double>(value));
    return Set(name, text, 0);
}

int YDataCollection::SetInt(const char* name, int value)
{
    YString text;
    text.Format("%d", value);
    return Set(name, text, 0);
}

void YDataCollection::Merge(const YDataCollection* other)
{
    if (!other) return;
    for (int i = 0; i < other->GetSize(); ++i) {
        // The texts are copied first: other may be this collection.
        YString name = other->GetName(i);
        YString value = other->GetValue(i);
        Set(name, value, 0);
    }
}

void YDataCollection::StoreDifferences(const YDataCollection* a, const YDataCollection* b)
{
    if (!a) return;
    for (int i = 0; i <= a->GetLastIndex(); ++i) {
        YString name = a->GetName(i);
        YString value = a->GetValue(i);
        const YString& known = b ? b->GetValue(name) : SharedEmpty();
        if (known.Compare(value) != 0) Set(name, value, 0);
    }
}

int YDataCollection::MarkUsed(int index)
{
    if (index > m_lastUsed) m_lastUsed = index;
    return index;
}

int YDataCollection::GetLastIndex() const
{
    return m_lastUsed;
}

void YDataCollection::RemoveAt(int index)
{
    if (InRange(index)) m_elements.RemoveAt(index);
}

void YDataCollection::RemoveByName(const YString& name)
{
    RemoveAt(IndexOf(name));
}

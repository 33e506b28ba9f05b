#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>
#include <unistd.h>

#include "platform/mfc.h"

namespace {

typedef std::vector<BYTE> Bytes;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// What a storing archive writes into a memory file.
Bytes Stored(const std::function<void(CArchive&)>& write, int bufSize = 4096)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store, bufSize);
        write(ar);
        ar.Close();
    }
    Bytes out(file.GetLength());
    file.SeekToBegin();
    if (!out.empty()) file.Read(out.data(), static_cast<UINT>(out.size()));
    return out;
}

// Runs read on a loading archive over a copy of bytes.
void Loaded(Bytes bytes, const std::function<void(CArchive&)>& read, int bufSize = 4096)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load, bufSize);
    read(ar);
}

// The cause of the CArchiveException that read throws, or -1.
int ArchiveFailure(const Bytes& bytes, const std::function<void(CArchive&)>& read)
{
    int cause = -1;
    try {
        Loaded(bytes, read);
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    return cause;
}

// ---------------------------------------------------------------- classes
class TArcItem : public CObject {
    DECLARE_SERIAL(TArcItem)
public:
    TArcItem(LONG value = 0, CObject* ref = nullptr) : m_value(value), m_pRef(ref) { ++s_live; }
    ~TArcItem() override { --s_live; }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_value;
            ar << m_pRef;
        } else {
            ar >> m_value;
            ar >> m_pRef;
        }
    }
    LONG m_value;
    CObject* m_pRef;  // not owned
    static int s_live;
};
int TArcItem::s_live = 0;
IMPLEMENT_SERIAL(TArcItem, CObject, 1)

class TArcOther : public CObject {
    DECLARE_SERIAL(TArcOther)
public:
    TArcOther() = default;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_w;
        else
            ar >> m_w;
    }
    WORD m_w = 0;
};
IMPLEMENT_SERIAL(TArcOther, CObject, 2)

// Reads schemas 1 to 3: the extra value exists from schema 2 on.
class TArcVersioned : public CObject {
    DECLARE_SERIAL(TArcVersioned)
public:
    TArcVersioned() = default;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_value << m_extra;
            return;
        }
        m_schema = ar.GetObjectSchema();
        m_schemaAgain = ar.GetObjectSchema();
        ar >> m_value;
        if (m_schema >= 2) ar >> m_extra;
    }
    LONG m_value = 0;
    LONG m_extra = -1;
    UINT m_schema = 0;
    UINT m_schemaAgain = 0;
};
IMPLEMENT_SERIAL(TArcVersioned, CObject, VERSIONABLE_SCHEMA | 3)

class TArcFixed : public CObject {
    DECLARE_SERIAL(TArcFixed)
public:
    TArcFixed() = default;
};
IMPLEMENT_SERIAL(TArcFixed, CObject, 2)

class TArcPlain : public CObject {
    DECLARE_DYNAMIC(TArcPlain)
};
IMPLEMENT_DYNAMIC(TArcPlain, CObject)

const Bytes kItemClass = Join({{0xFF, 0xFF, 0x01, 0x00, 0x08, 0x00}, Text("TArcItem")});

// A (1, ref B), B (2, no ref), then A, B again and C (3, ref A).  B is first
// met inside A's Serialize, so it is written there in full.
const Bytes kObjectStream = Join({
    kItemClass,                                // class TArcItem: index 1
    {0x01, 0x00, 0x00, 0x00},                  // A: index 2
    {0x01, 0x80, 0x02, 0x00, 0x00, 0x00},      // B by class tag: index 3
    {0x00, 0x00},                              // B's null reference
    {0x03, 0x00},                              // B again
    {0x02, 0x00},                              // A again
    {0x01, 0x80, 0x03, 0x00, 0x00, 0x00},      // C: index 4
    {0x02, 0x00},                              // C's reference to A
});

// ---------------------------------------------------------------- values
TEST(MfcArchive, ValuesAreFixedWidthLittleEndian)
{
    const Bytes golden = {0x01, 0x03, 0x02, 0xFE, 0xFF, 0xFF, 0xFF, 0x07, 0x06, 0x05, 0x04, 0xFD, 0xFF, 0x63,
                          0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x40, 0xFB, 0xFF,
                          0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
                          0x07, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00};
    Bytes stored = Stored([](CArchive& ar) {
        ar << static_cast<BYTE>(1) << static_cast<WORD>(0x0203) << static_cast<LONG>(-2)
           << static_cast<DWORD>(0x04050607) << static_cast<short>(-3) << 'c' << 1.5f << 2.25
           << static_cast<LONGLONG>(-5) << static_cast<ULONGLONG>(0x0102030405060708ull) << 7 << 8u;
    });
    EXPECT_EQ(golden, stored);

    Loaded(golden, [](CArchive& ar) {
        BYTE by;
        WORD w;
        LONG l;
        DWORD dw;
        short s;
        char c;
        float f;
        double d;
        LONGLONG ll;
        ULONGLONG ull;
        int i;
        unsigned u;
        ar >> by >> w >> l >> dw >> s >> c >> f >> d >> ll >> ull >> i >> u;
        EXPECT_EQ(1, by);
        EXPECT_EQ(0x0203, w);
        EXPECT_EQ(-2, l);
        EXPECT_EQ(0x04050607u, dw);
        EXPECT_EQ(-3, s);
        EXPECT_EQ('c', c);
        EXPECT_EQ(1.5f, f);
        EXPECT_EQ(2.25, d);
        EXPECT_EQ(-5, ll);
        EXPECT_EQ(0x0102030405060708ull, ull);
        EXPECT_EQ(7, i);
        EXPECT_EQ(8u, u);
    });
}

TEST(MfcArchive, StringLengthForms)
{
    struct Case {
        DWORD length;
        Bytes header;
    } cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        std::string text;
        for (DWORD i = 0; i < c.length; ++i) text += static_cast<char>('a' + i % 26);
        Bytes golden = Join({c.header, Text(text)});
        CString s(text.c_str());
        EXPECT_EQ(golden, Stored([&](CArchive& ar) { ar << s; })) << c.length;
        Loaded(golden, [&](CArchive& ar) {
            CString back("old");
            ar >> back;
            EXPECT_EQ(text, std::string(back)) << c.length;
            EXPECT_TRUE(ar.IsBufferEmpty());
        });
    }
}

TEST(MfcArchive, SixteenBitStringsReadAsEightBit)
{
    const Bytes golden = {0xFF, 0xFE, 0xFF, 0x03, 'a', 0x00, 'b', 0x00, 0x3A, 0x26, 0x05};
    Loaded(golden, [](CArchive& ar) {
        CString s;
        BYTE after = 0;
        ar >> s >> after;
        EXPECT_STREQ("ab?", static_cast<LPCTSTR>(s));
        EXPECT_EQ(5, after);
    });
}

TEST(MfcArchive, CountForms)
{
    struct Case {
        DWORD count;
        Bytes golden;
    } cases[] = {
        {0, {0x00, 0x00}},
        {0xFFFE, {0xFE, 0xFF}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {0x12345, {0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.golden, Stored([&](CArchive& ar) { ar.WriteCount(c.count); })) << c.count;
        // A count is only believed when that many bytes follow.
        Bytes withData = c.golden;
        withData.resize(withData.size() + c.count, 0);
        Loaded(withData, [&](CArchive& ar) { EXPECT_EQ(c.count, ar.ReadCount()); });
    }
}

// ---------------------------------------------------------------- objects
TEST(MfcArchive, ObjectStreamWithClassTagsBackAndForwardReferences)
{
    TArcItem b(2);
    TArcItem a(1, &b);
    TArcItem c(3, &a);
    Bytes stored = Stored([&](CArchive& ar) { ar << &a << &b << &a << &c; });
    EXPECT_EQ(kObjectStream, stored);

    TArcItem::s_live = 0;
    Loaded(kObjectStream, [](CArchive& ar) {
        TArcItem *pa, *pb, *pa2, *pc;
        ar >> pa >> pb >> pa2 >> pc;
        ASSERT_TRUE(pa && pb && pc);
        EXPECT_EQ(1, pa->m_value);
        EXPECT_EQ(2, pb->m_value);
        EXPECT_EQ(3, pc->m_value);
        EXPECT_EQ(pb, pa->m_pRef);
        EXPECT_EQ(nullptr, pb->m_pRef);
        EXPECT_EQ(pa, pa2);
        EXPECT_EQ(pa, pc->m_pRef);
        EXPECT_EQ(3, TArcItem::s_live);
        delete pa;
        delete pb;
        delete pc;
    });
    EXPECT_EQ(0, TArcItem::s_live);
}

TEST(MfcArchive, OwnedReadsRefuseReferencesToObjectsReadBefore)
{
    // a (holding b), then a again, then c: the second a and b are owned already.
    TArcItem::s_live = 0;
    std::vector<CObject*> owned;
    int cause = ArchiveFailure(kObjectStream, [&](CArchive& ar) {
        owned.push_back(ar.ReadOwnedObject(RUNTIME_CLASS(TArcItem)));
        owned.push_back(ar.ReadOwnedObject(RUNTIME_CLASS(TArcItem)));
    });
    EXPECT_EQ(CArchiveException::badIndex, cause);
    ASSERT_EQ(1u, owned.size());
    TArcItem* a = static_cast<TArcItem*>(owned[0]);
    ASSERT_NE(nullptr, a);
    delete a->m_pRef;
    delete a;
    EXPECT_EQ(0, TArcItem::s_live);

    // New objects and null references are taken as they come.
    const Bytes fresh = Join({kItemClass, {0x05, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x00, 0x00}});
    Loaded(fresh, [](CArchive& ar) {
        CObject* x = ar.ReadOwnedObject(RUNTIME_CLASS(TArcItem));
        EXPECT_NE(nullptr, x);
        EXPECT_EQ(nullptr, ar.ReadOwnedObject(RUNTIME_CLASS(TArcItem)));
        delete x;
    });
}

TEST(MfcArchive, TwoClassesShareTheIndexSequence)
{
    TArcOther y;
    y.m_w = 0x1234;
    TArcItem x(5);
    TArcItem z(6, &y);
    const Bytes golden = Join({kItemClass,
                               {0x05, 0x00, 0x00, 0x00, 0x00, 0x00},  // x: index 2
                               {0x00, 0x00},                          // a null object
                               {0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00},
                               Text("TArcOther"),                     // class: index 3
                               {0x34, 0x12},                          // y: index 4
                               {0x01, 0x80, 0x06, 0x00, 0x00, 0x00},  // z: index 5
                               {0x04, 0x00}});                        // z's reference to y
    EXPECT_EQ(golden, Stored([&](CArchive& ar) {
                  ar.WriteObject(&x);
                  ar.WriteObject(nullptr);
                  ar << &y << &z;
              }));

    Loaded(golden, [](CArchive& ar) {
        CObject* px = ar.ReadObject(RUNTIME_CLASS(TArcItem));
        EXPECT_EQ(nullptr, ar.ReadObject(RUNTIME_CLASS(TArcItem)));
        CObject* py = ar.ReadObject(nullptr);
        TArcItem* pz = nullptr;
        ar >> pz;
        ASSERT_TRUE(px && py && pz);
        EXPECT_EQ(RUNTIME_CLASS(TArcOther), py->GetRuntimeClass());
        EXPECT_EQ(0x1234, static_cast<TArcOther*>(py)->m_w);
        EXPECT_EQ(py, pz->m_pRef);
        delete px;
        delete py;
        delete pz;
    });
}

TEST(MfcArchive, LargeIndexesUseTheBigObjectTag)
{
    // 0x7FFD mapped objects take indexes 1..0x7FFD, so the item class gets
    // 0x7FFE, i 0x7FFF (the first index too big for a plain WORD), j 0x8000,
    // the other class 0x8001, y 0x8002 and y2 0x8003.
    std::vector<TArcOther> dummies(0x7FFD);
    TArcItem i(7);
    TArcItem j(8, &i);
    TArcOther y, y2;
    y.m_w = 0x1234;
    y2.m_w = 0x5678;
    const Bytes tail = Join({kItemClass,
                             {0x07, 0x00, 0x00, 0x00, 0x00, 0x00},  // i
                             {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00},  // i again
                             {0xFE, 0xFF},                          // class tag 0x8000 | 0x7FFE
                             {0x08, 0x00, 0x00, 0x00},              // j
                             {0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00},  // j's reference to i
                             {0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00},
                             Text("TArcOther"),
                             {0x34, 0x12},                          // y
                             {0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80},  // big class tag 0x8001
                             {0x78, 0x56}});                        // y2
    Bytes stored = Stored([&](CArchive& ar) {
        for (const TArcOther& d : dummies) ar.MapObject(&d);
        ar << &i << &i << &j << &y << &y2;
    });
    EXPECT_EQ(tail, stored);

    Loaded(tail, [&](CArchive& ar) {
        for (const TArcOther& d : dummies) ar.MapObject(&d);
        CObject *pi, *pi2, *pj, *py, *py2;
        ar >> pi >> pi2 >> pj >> py >> py2;
        ASSERT_TRUE(pi && pj && py && py2);
        EXPECT_EQ(pi, pi2);
        EXPECT_EQ(pi, static_cast<TArcItem*>(pj)->m_pRef);
        EXPECT_EQ(8, static_cast<TArcItem*>(pj)->m_value);
        EXPECT_EQ(0x5678, static_cast<TArcOther*>(py2)->m_w);
        delete pi;
        delete pj;
        delete py;
        delete py2;
    });
}

TEST(MfcArchive, MappedObjectsAreWrittenAsReferences)
{
    TArcOther document;
    TArcItem item(1, &document);
    const Bytes golden = Join({{0x01, 0x00}, kItemClass, {0x01, 0x00, 0x00, 0x00, 0x01, 0x00}});
    EXPECT_EQ(golden, Stored([&](CArchive& ar) {
                  ar.MapObject(&document);
                  ar << &document << &item;
              }));
    Loaded(golden, [&](CArchive& ar) {
        ar.MapObject(&document);
        CObject *first, *second;
        ar >> first >> second;
        EXPECT_EQ(&document, first);
        ASSERT_NE(nullptr, second);
        EXPECT_EQ(&document, static_cast<TArcItem*>(second)->m_pRef);
        delete second;
    });
}

TEST(MfcArchive, VersionableSchemaHandsTheStoredSchemaToSerialize)
{
    TArcVersioned v;
    v.m_value = 42;
    v.m_extra = 9;
    const Bytes name = Text("TArcVersioned");
    EXPECT_EQ(Join({{0xFF, 0xFF, 0x03, 0x00, 0x0D, 0x00}, name, {42, 0, 0, 0, 9, 0, 0, 0}}),
              Stored([&](CArchive& ar) { ar << &v; }));

    struct Case {
        Bytes stream;
        UINT schema;
        LONG extra;
    } cases[] = {
        {Join({{0xFF, 0xFF, 0x01, 0x00, 0x0D, 0x00}, name, {42, 0, 0, 0}, {0x01, 0x80, 43, 0, 0, 0}}), 1, -1},
        {Join({{0xFF, 0xFF, 0x03, 0x00, 0x0D, 0x00}, name, {42, 0, 0, 0, 9, 0, 0, 0},
               {0x01, 0x80, 43, 0, 0, 0, 9, 0, 0, 0}}),
         3, 9},
    };
    for (const Case& c : cases) {
        Loaded(c.stream, [&](CArchive& ar) {
            for (LONG expected : {42, 43}) {
                TArcVersioned* p = nullptr;
                ar >> p;
                ASSERT_NE(nullptr, p);
                EXPECT_EQ(c.schema, p->m_schema);
                EXPECT_EQ(static_cast<UINT>(-1), p->m_schemaAgain) << "the schema is given once";
                EXPECT_EQ(expected, p->m_value);
                EXPECT_EQ(c.extra, p->m_extra);
                delete p;
            }
            EXPECT_EQ(static_cast<UINT>(-1), ar.GetObjectSchema());
        });
    }
}

TEST(MfcArchive, BadStreamsRaiseArchiveExceptions)
{
    auto readThree = [](const CRuntimeClass* request) {
        return [request](CArchive& ar) {
            std::vector<CObject*> got;
            try {
                for (int n = 0; n < 3; ++n) got.push_back(ar.ReadObject(request));
            } catch (...) {
                for (CObject* p : std::set<CObject*>(got.begin(), got.end())) delete p;
                throw;
            }
            for (CObject* p : std::set<CObject*>(got.begin(), got.end())) delete p;
        };
    };
    const Bytes fixedName = Text("TArcFixed");
    struct Case {
        const char* what;
        Bytes stream;
        const CRuntimeClass* request;
        int cause;
    } cases[] = {
        {"schema mismatch", Join({{0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00}, fixedName}), nullptr,
         CArchiveException::badSchema},
        {"unknown class", Join({{0xFF, 0xFF, 0x01, 0x00, 0x0C, 0x00}, Text("TArcNoSuchCl")}), nullptr,
         CArchiveException::badClass},
        {"class not serialisable", Join({{0xFF, 0xFF, 0xFF, 0xFF, 0x09, 0x00}, Text("TArcPlain")}), nullptr,
         CArchiveException::badClass},
        {"wrong class requested", Join({{0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00}, Text("TArcOther"), {1, 0}}),
         RUNTIME_CLASS(TArcItem), CArchiveException::badClass},
        {"back reference past the map", {0x05, 0x00}, nullptr, CArchiveException::badIndex},
        {"class tag past the map", {0x05, 0x80}, nullptr, CArchiveException::badIndex},
        {"class tag zero", {0x00, 0x80}, nullptr, CArchiveException::badIndex},
        {"big back reference", {0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F}, nullptr, CArchiveException::badIndex},
        {"object tag naming a class", Join({kItemClass, {1, 0, 0, 0, 0, 0}, {0x01, 0x00}}), nullptr,
         CArchiveException::badIndex},
        {"class tag naming an object", Join({kItemClass, {1, 0, 0, 0, 0, 0}, {0x02, 0x80}}), nullptr,
         CArchiveException::badIndex},
        {"name longer than the data", Join({{0xFF, 0xFF, 0x01, 0x00, 0xFF, 0x00}, Text("TArc")}), nullptr,
         CArchiveException::endOfFile},
        {"empty stream", {}, nullptr, CArchiveException::endOfFile},
    };
    TArcItem::s_live = 0;
    for (const Case& c : cases) EXPECT_EQ(c.cause, ArchiveFailure(c.stream, readThree(c.request))) << c.what;
    EXPECT_EQ(0, TArcItem::s_live);

    // A known object of the wrong class.
    Bytes otherTwice = Join({{0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00}, Text("TArcOther"), {1, 0}, {0x02, 0x00}});
    EXPECT_EQ(CArchiveException::badClass, ArchiveFailure(otherTwice, [](CArchive& ar) {
                  CObject* first = ar.ReadObject(nullptr);
                  try {
                      ar.ReadObject(RUNTIME_CLASS(TArcItem));
                  } catch (...) {
                      delete first;
                      throw;
                  }
              }));
}

TEST(MfcArchive, EveryTruncationRaisesEndOfFileAndLeaksNothing)
{
    for (size_t cut = 0; cut < kObjectStream.size(); ++cut) {
        TArcItem::s_live = 0;
        Bytes part(kObjectStream.begin(), kObjectStream.begin() + static_cast<long>(cut));
        int cause = ArchiveFailure(part, [](CArchive& ar) {
            std::set<CObject*> got;
            try {
                for (int n = 0; n < 4; ++n) {
                    TArcItem* p = nullptr;
                    ar >> p;
                    got.insert(p);
                    if (p && p->m_pRef) got.insert(p->m_pRef);
                }
            } catch (...) {
                for (CObject* p : got) delete p;
                throw;
            }
            for (CObject* p : got) delete p;
        });
        EXPECT_EQ(CArchiveException::endOfFile, cause) << "cut at " << cut;
        EXPECT_EQ(0, TArcItem::s_live) << "cut at " << cut;
    }
}

TEST(MfcArchive, HostileLengthsAreRefusedBeforeAllocating)
{
    struct Case {
        const char* what;
        Bytes stream;
        std::function<void(CArchive&)> read;
    } cases[] = {
        {"string of 2 GB", {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b'},
         [](CArchive& ar) {
             CString s;
             ar >> s;
         }},
        {"string of 4 GB", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         [](CArchive& ar) {
             CString s;
             ar >> s;
         }},
        {"16-bit string", {0xFF, 0xFE, 0xFF, 0x05, 'a', 0, 'b', 0, 'c', 0},
         [](CArchive& ar) {
             CString s;
             ar >> s;
         }},
        {"count", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3}, [](CArchive& ar) { ar.ReadCount(); }},
        {"short count", {0x10, 0x00, 1, 2, 3}, [](CArchive& ar) { ar.ReadCount(); }},
    };
    for (const Case& c : cases) EXPECT_EQ(CArchiveException::endOfFile, ArchiveFailure(c.stream, c.read)) << c.what;

    Loaded(Bytes(10, 0), [](CArchive& ar) {
        LONG first;
        ar >> first;
        EXPECT_TRUE(ar.CanRead(6));
        EXPECT_FALSE(ar.CanRead(7));
        EXPECT_FALSE(ar.CanRead(0xFFFFFFFFFFull));
    });
}

TEST(MfcArchive, ModesAreEnforced)
{
    int cause = -1;
    try {
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        LONG l;
        ar >> l;
    } catch (CArchiveException* e) {
        cause = e->m_cause;
        e->Delete();
    }
    EXPECT_EQ(CArchiveException::writeOnly, cause);

    EXPECT_EQ(CArchiveException::readOnly, ArchiveFailure(Bytes(4, 0), [](CArchive& ar) { ar << 1; }));

    bool notSupported = false;
    try {
        TArcPlain plain;
        Stored([&](CArchive& ar) { ar << &plain; });
    } catch (CNotSupportedException* e) {
        notSupported = true;
        e->Delete();
    }
    EXPECT_TRUE(notSupported);
}

TEST(MfcArchive, SerializeClassWritesAndChecksTheClassReference)
{
    TArcItem item(4);
    const Bytes golden = Join({kItemClass, {0x01, 0x80, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00}});
    EXPECT_EQ(golden, Stored([&](CArchive& ar) {
                  ar.SerializeClass(RUNTIME_CLASS(TArcItem));
                  ar << &item;
              }));
    Loaded(golden, [](CArchive& ar) {
        ar.SerializeClass(RUNTIME_CLASS(TArcItem));
        EXPECT_EQ(1u, ar.GetObjectSchema());
        TArcItem* p = nullptr;
        ar >> p;
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(4, p->m_value);
        delete p;
    });
    EXPECT_EQ(CArchiveException::badClass,
              ArchiveFailure(golden, [](CArchive& ar) { ar.SerializeClass(RUNTIME_CLASS(TArcOther)); }));
}

TEST(MfcArchive, TextLines)
{
    Bytes stored = Stored([](CArchive& ar) {
        ar.WriteString("line one\r\n");
        ar.WriteString("two\n");
        ar.WriteString("last");
    });
    EXPECT_EQ(Text("line one\r\ntwo\nlast"), stored);
    Loaded(stored, [](CArchive& ar) {
        CString line;
        EXPECT_TRUE(ar.ReadString(line));
        EXPECT_STREQ("line one", static_cast<LPCTSTR>(line));
        char buf[4];
        EXPECT_EQ(buf, ar.ReadString(buf, sizeof buf));
        EXPECT_STREQ("two", buf);
        EXPECT_EQ(buf, ar.ReadString(buf, sizeof buf));
        EXPECT_STREQ("", buf) << "the rest of the line";
        EXPECT_TRUE(ar.ReadString(line));
        EXPECT_STREQ("last", static_cast<LPCTSTR>(line));
        EXPECT_FALSE(ar.ReadString(line));
        EXPECT_EQ(nullptr, ar.ReadString(buf, sizeof buf));
    });
}

TEST(MfcArchive, ClosingALoadingArchiveLeavesTheFileAtItsPosition)
{
    Bytes data(100);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i);
    CMemFile file(data.data(), static_cast<UINT>(data.size()));
    {
        CArchive ar(&file, CArchive::load);
        LONG first;
        ar >> first;
        EXPECT_EQ(0x03020100, first);
        ar.Close();
    }
    EXPECT_EQ(4u, file.GetPosition());
    BYTE next = 0;
    EXPECT_EQ(1u, file.Read(&next, 1));
    EXPECT_EQ(4, next);
}

TEST(MfcArchive, SmallBuffersOverARealFile)
{
    char dir[] = "/tmp/rcv_mfcarchive_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    std::string name = std::string(dir) + "/strings.bin";
    std::vector<CString> texts;
    for (int i = 0; i < 300; ++i) texts.push_back(CString('a' + static_cast<char>(i % 26), i * 3));
    std::string big(5000, 'B');
    {
        CFile file(name.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 16);
        for (const CString& t : texts) ar << t;
        ar.Write(big.data(), static_cast<UINT>(big.size()));
        ar << static_cast<DWORD>(0xCAFEF00D);
    }  // the destructor flushes
    {
        CFile file(name.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load, 16);
        for (const CString& t : texts) {
            CString back;
            ar >> back;
            ASSERT_EQ(t, back);
        }
        std::string bigBack(big.size(), '\0');
        EXPECT_EQ(big.size(), ar.Read(&bigBack[0], static_cast<UINT>(bigBack.size())));
        EXPECT_EQ(big, bigBack);
        DWORD tail = 0;
        ar >> tail;
        EXPECT_EQ(0xCAFEF00Du, tail);
        EXPECT_FALSE(ar.CanRead(1));
        BYTE extra;
        EXPECT_EQ(0u, ar.Read(&extra, 1));
    }
    std::remove(name.c_str());
    rmdir(dir);
}

}  // namespace

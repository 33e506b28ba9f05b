#include "platform/mfc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// ------------------------------------------------------------ test types

// An element that notices being moved bitwise or destroyed twice, and counts
// the live instances.
struct Tracked {
    static int live;
    static constexpr unsigned kAlive = 0xA11CEu;
    static constexpr unsigned kDead = 0xDEADu;

    Tracked() : self(this), state(kAlive) { live++; }
    Tracked(const char* text) : self(this), state(kAlive), name(text) { live++; }
    Tracked(const Tracked& o) : self(this), state(kAlive), name(o.Name()) { live++; }
    Tracked& operator=(const Tracked& o) {
        Check();
        name = o.Name();
        return *this;
    }
    ~Tracked() {
        Check();
        state = kDead;
        live--;
    }
    void Check() const {
        EXPECT_EQ(self, this) << "element was moved bitwise";
        EXPECT_EQ(state, kAlive) << "element used after destruction";
    }
    const std::string& Name() const {
        Check();
        return name;
    }
    bool operator==(const Tracked& o) const { return Name() == o.Name(); }

    const Tracked* self;
    unsigned state;
    // Long enough to live on the heap, and a short one kept inline.
    std::string name;
};
int Tracked::live = 0;

template <class ARRAY>
std::string Join(const ARRAY& a) {
    std::string out;
    for (int i = 0; i < a.GetSize(); i++) out += (i ? "," : "") + a.GetAt(i).Name();
    return out;
}

template <class LIST>
std::string JoinList(const LIST& l) {
    std::string out;
    for (POSITION pos = l.GetHeadPosition(); pos != nullptr;) {
        if (!out.empty()) out += ",";
        out += std::to_string(l.GetNext(pos));
    }
    return out;
}

// Serialisable objects for the archive tests.
class CCollItem : public CObject {
    DECLARE_SERIAL(CCollItem)
public:
    CCollItem() = default;
    CCollItem(LONG id, const char* label) : m_id(id), m_label(label) {}
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring())
            ar << m_id << m_label;
        else
            ar >> m_id >> m_label;
    }
    LONG m_id = 0;
    CString m_label;
};
IMPLEMENT_SERIAL(CCollItem, CObject, 1)

class CCollOther : public CObject {
    DECLARE_SERIAL(CCollOther)
public:
    static int live;
    CCollOther() { live++; }
    ~CCollOther() override { live--; }
    void Serialize(CArchive&) override {}
};
int CCollOther::live = 0;
IMPLEMENT_SERIAL(CCollOther, CObject, 1)

std::vector<BYTE> Bytes(CMemFile& file) {
    std::vector<BYTE> out(file.GetLength());
    file.SeekToBegin();
    if (!out.empty()) file.Read(out.data(), UINT(out.size()));
    file.SeekToBegin();
    return out;
}

template <class F>
std::vector<BYTE> Store(F write) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
    }
    return Bytes(file);
}

template <class F>
void Load(std::vector<BYTE> bytes, F read) {
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}

// The cause of the CArchiveException that f throws, or -1 when none.
int ArchiveCause(const std::function<void()>& f) {
    try {
        f();
    } catch (CArchiveException* e) {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

// ------------------------------------------------------------ CArray growth

struct GrowCase {
    const char* what;
    int firstSize;   // SetSize(firstSize, growBy) on an empty array
    int growBy;
    int nextSize;    // then SetSize(nextSize)
    int wantAlloc;
};

TEST(CArrayGrowth, CapacityFollowsTheGrowthRule) {
    const GrowCase cases[] = {
        {"first block is exact", 0, 0, 1, 1},
        {"first block of 9 is exact", 0, 0, 9, 9},
        {"default step is at least 4", 1, 0, 2, 5},
        {"size 9: an eighth is 1, so 4", 9, 0, 10, 13},
        {"size 100: an eighth is 12", 100, 0, 101, 112},
        {"size 10000: an eighth is capped at 1024", 10000, 0, 10001, 11024},
        {"the step is an eighth of the current size", 100, 0, 104, 112},
        {"a big request beats the step", 100, 0, 500, 500},
        {"explicit step", 5, 10, 6, 15},
        {"explicit step loses to a big request", 5, 10, 40, 40},
        {"step of 1 grows by one", 5, 1, 6, 6},
        {"shrinking keeps the block", 100, 0, 10, 100},
        {"regrowing inside the block", 100, 0, 80, 100},
    };
    for (const GrowCase& c : cases) {
        CArray<int, int> a;
        a.SetSize(c.firstSize, c.growBy);
        a.SetSize(c.nextSize);
        EXPECT_EQ(a.GetSize(), c.nextSize) << c.what;
        EXPECT_EQ(a.GetAllocSize(), c.wantAlloc) << c.what;
    }
}

TEST(CArrayGrowth, AddGoesThroughTheSameRule) {
    CArray<int, int> a;
    std::vector<int> allocs;
    for (int i = 0; i < 20; i++) {
        a.Add(i);
        if (allocs.empty() || allocs.back() != a.GetAllocSize()) allocs.push_back(a.GetAllocSize());
    }
    // The first block is exact, then the step stays 4 while size / 8 < 4.
    EXPECT_EQ(allocs, (std::vector<int>{1, 5, 9, 13, 17, 21}));
    for (int i = 0; i < 20; i++) EXPECT_EQ(a[i], i);
}

TEST(CArrayGrowth, GrowByMinusOneKeepsTheStoredStep) {
    CArray<int, int> a;
    a.SetSize(2, 3);
    a.SetSize(3, -1);
    EXPECT_EQ(a.GetAllocSize(), 5);
    a.SetSize(6);
    EXPECT_EQ(a.GetAllocSize(), 8);
}

TEST(CArrayGrowth, RegrownElementsAreFreshAndSetSizeZeroFrees) {
    CArray<int, int> a;
    a.SetSize(50);
    for (int i = 0; i < 50; i++) a[i] = 7;
    const int* block = a.GetData();
    a.SetSize(10);
    a.SetSize(50);
    EXPECT_EQ(a.GetData(), block);  // no new block
    for (int i = 10; i < 50; i++) ASSERT_EQ(a[i], 0) << i;
    EXPECT_EQ(a[9], 7);

    a.SetSize(0);
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_EQ(a.GetAllocSize(), 0);
    EXPECT_EQ(a.GetUpperBound(), -1);
    a.SetSize(3);
    EXPECT_EQ(a.GetAllocSize(), 3);
}

TEST(CArrayGrowth, FreeExtraAndRemoveAllGiveMemoryBack) {
    CArray<int, int> a;
    a.SetSize(10, 20);
    a.SetSize(11);
    ASSERT_EQ(a.GetAllocSize(), 30);
    a[10] = 42;
    a.FreeExtra();
    EXPECT_EQ(a.GetAllocSize(), 11);
    EXPECT_EQ(a[10], 42);
    a.RemoveAll();
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.GetData(), nullptr);
}

// ------------------------------------------------- CArray of non-trivial types

class TrackedArray : public ::testing::Test {
protected:
    void SetUp() override {
        Tracked::live = 0;
        for (const char* s : {"a", "b", "c", "d"}) arr.Add(Tracked(s));
    }
    void TearDown() override {
        arr.RemoveAll();
        EXPECT_EQ(Tracked::live, 0) << "elements leaked or destroyed twice";
    }
    CArray<Tracked> arr;
};

TEST_F(TrackedArray, InsertAndRemoveKeepOrderAndLifetimes) {
    const std::string kLong(40, 'x');  // heap-allocated text
    struct Case {
        const char* what;
        std::function<void(CArray<Tracked>&)> op;
        std::string want;
    };
    const Case cases[] = {
        {"insert in the middle", [](CArray<Tracked>& a) { a.InsertAt(1, Tracked("n")); }, "a,n,b,c,d"},
        {"insert several", [](CArray<Tracked>& a) { a.InsertAt(0, Tracked("n"), 3); }, "n,n,n,a,b,c,d"},
        {"insert at the end", [](CArray<Tracked>& a) { a.InsertAt(4, Tracked("n")); }, "a,b,c,d,n"},
        {"insert past the end pads", [](CArray<Tracked>& a) { a.InsertAt(6, Tracked("n")); }, "a,b,c,d,,,n"},
        {"remove one", [](CArray<Tracked>& a) { a.RemoveAt(1); }, "a,c,d"},
        {"remove a range", [](CArray<Tracked>& a) { a.RemoveAt(1, 2); }, "a,d"},
        {"remove the tail", [](CArray<Tracked>& a) { a.RemoveAt(2, 2); }, "a,b"},
        {"remove everything", [](CArray<Tracked>& a) { a.RemoveAt(0, 4); }, ""},
        {"add one of its own elements while growing",
         [](CArray<Tracked>& a) {
             a.FreeExtra();
             a.Add(a[0]);
         },
         "a,b,c,d,a"},
        {"insert one of its own elements while growing",
         [](CArray<Tracked>& a) {
             a.FreeExtra();
             a.InsertAt(0, a[3], 2);
         },
         "d,d,a,b,c,d"},
        {"set past the end", [](CArray<Tracked>& a) { a.SetAtGrow(5, Tracked("z")); }, "a,b,c,d,,z"},
        {"insert an array", [](CArray<Tracked>& a) {
             CArray<Tracked> b;
             b.Add(Tracked("p"));
             b.Add(Tracked("q"));
             a.InsertAt(2, &b);
         },
         "a,b,p,q,c,d"},
        {"insert itself", [](CArray<Tracked>& a) { a.InsertAt(1, &a); }, "a,a,b,c,d,b,c,d"},
        {"append itself", [](CArray<Tracked>& a) { EXPECT_EQ(a.Append(a), 4); }, "a,b,c,d,a,b,c,d"},
    };
    for (const Case& c : cases) {
        arr.RemoveAll();
        for (const char* s : {"a", "b", "c", "d"}) arr.Add(Tracked(s));
        c.op(arr);
        EXPECT_EQ(Join(arr), c.want) << c.what;
        EXPECT_EQ(Tracked::live, arr.GetSize()) << c.what;
    }
    // Heap-held texts survive the moves as well.
    arr.RemoveAll();
    for (int i = 0; i < 40; i++) arr.Add(Tracked((kLong + std::to_string(i)).c_str()));
    arr.RemoveAt(0, 10);
    arr.InsertAt(5, Tracked(kLong.c_str()), 7);
    EXPECT_EQ(arr.GetSize(), 37);
    EXPECT_EQ(arr[0].Name(), kLong + "10");
    EXPECT_EQ(arr[12].Name(), kLong + "15");
    EXPECT_EQ(arr[36].Name(), kLong + "39");
}

TEST_F(TrackedArray, RemoveAtKeepsTheBlockAndCopyReplaces) {
    int alloc = arr.GetAllocSize();
    arr.RemoveAt(0, 4);
    EXPECT_EQ(arr.GetAllocSize(), alloc);
    EXPECT_EQ(Tracked::live, 0);

    CArray<Tracked> other;
    for (const char* s : {"x", "y"}) other.Add(Tracked(s));
    arr.Copy(other);
    EXPECT_EQ(Join(arr), "x,y");
    EXPECT_EQ(arr.Append(other), 2);
    EXPECT_EQ(Join(arr), "x,y,x,y");
    other.RemoveAll();
    EXPECT_EQ(Tracked::live, 4);
}

TEST(CStringArrayTest, AddingItsOwnTextWhileGrowing) {
    CStringArray a;
    a.Add("first entry that is long enough to need its own block");
    a.Add(a[0]);
    a.InsertAt(0, a.GetAt(1), 3);
    ASSERT_EQ(a.GetSize(), 5);
    for (int i = 0; i < 5; i++) EXPECT_STREQ(a[i], "first entry that is long enough to need its own block");
}

// ------------------------------------------------------------ CList

class IntList : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 1; i <= 6; i++) list.AddTail(i);
    }
    CList<int, int> list;
};

TEST_F(IntList, WalksBothWays) {
    EXPECT_EQ(JoinList(list), "1,2,3,4,5,6");
    std::string back;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;) back += std::to_string(list.GetPrev(pos));
    EXPECT_EQ(back, "654321");
    EXPECT_EQ(list.GetHead(), 1);
    EXPECT_EQ(list.GetTail(), 6);
    EXPECT_EQ(list.GetCount(), 6);
}

TEST_F(IntList, RemovingDuringIteration) {
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        POSITION current = pos;
        if (list.GetNext(pos) % 2 == 0) list.RemoveAt(current);
    }
    EXPECT_EQ(JoinList(list), "1,3,5");
    EXPECT_EQ(list.GetCount(), 3);
    // Head and tail removal fix up the ends.
    list.RemoveAt(list.GetHeadPosition());
    list.RemoveAt(list.GetTailPosition());
    EXPECT_EQ(JoinList(list), "3");
    EXPECT_EQ(list.GetHeadPosition(), list.GetTailPosition());
    list.RemoveAt(list.GetHeadPosition());
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.GetTailPosition(), nullptr);
    list.AddHead(9);
    EXPECT_EQ(JoinList(list), "9");
}

TEST_F(IntList, InsertsAndEditsInPlace) {
    struct Case {
        const char* what;
        std::function<void(CList<int, int>&)> op;
        const char* want;
    };
    const Case cases[] = {
        {"before the head", [](CList<int, int>& l) { l.InsertBefore(l.GetHeadPosition(), 0); }, "0,1,2,3,4,5,6"},
        {"after the tail", [](CList<int, int>& l) { l.InsertAfter(l.GetTailPosition(), 7); }, "1,2,3,4,5,6,7"},
        {"before a middle node", [](CList<int, int>& l) { l.InsertBefore(l.FindIndex(2), 9); }, "1,2,9,3,4,5,6"},
        {"after a middle node", [](CList<int, int>& l) { l.InsertAfter(l.FindIndex(2), 9); }, "1,2,3,9,4,5,6"},
        {"before nothing is the head", [](CList<int, int>& l) { l.InsertBefore(nullptr, 0); }, "0,1,2,3,4,5,6"},
        {"after nothing is the tail", [](CList<int, int>& l) { l.InsertAfter(nullptr, 7); }, "1,2,3,4,5,6,7"},
        {"set through a position", [](CList<int, int>& l) { l.SetAt(l.Find(4), 40); }, "1,2,3,40,5,6"},
        {"edit through a reference", [](CList<int, int>& l) { l.GetTail() = 60; }, "1,2,3,4,5,60"},
        {"remove both ends",
         [](CList<int, int>& l) {
             EXPECT_EQ(l.RemoveHead(), 1);
             EXPECT_EQ(l.RemoveTail(), 6);
         },
         "2,3,4,5"},
        {"add a list to the tail",
         [](CList<int, int>& l) {
             CList<int, int> m;
             m.AddTail(7);
             m.AddTail(8);
             l.AddTail(&m);
         },
         "1,2,3,4,5,6,7,8"},
        {"add a list to the head",
         [](CList<int, int>& l) {
             CList<int, int> m;
             m.AddTail(7);
             m.AddTail(8);
             l.AddHead(&m);
         },
         "7,8,1,2,3,4,5,6"},
        {"add itself to the tail", [](CList<int, int>& l) { l.AddTail(&l); }, "1,2,3,4,5,6,1,2,3,4,5,6"},
        {"add itself to the head", [](CList<int, int>& l) { l.AddHead(&l); }, "1,2,3,4,5,6,1,2,3,4,5,6"},
    };
    for (const Case& c : cases) {
        list.RemoveAll();
        for (int i = 1; i <= 6; i++) list.AddTail(i);
        c.op(list);
        EXPECT_EQ(JoinList(list), c.want) << c.what;
        // The backward links agree with the forward ones.
        int n = 0;
        for (POSITION pos = list.GetTailPosition(); pos != nullptr; list.GetPrev(pos)) n++;
        EXPECT_EQ(n, list.GetCount()) << c.what;
    }
}

TEST_F(IntList, FindAndFindIndex) {
    list.AddTail(3);
    POSITION first = list.Find(3);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(list.Find(3, first), list.GetTailPosition());
    EXPECT_EQ(list.Find(3, list.GetTailPosition()), nullptr);
    EXPECT_EQ(list.Find(42), nullptr);
    EXPECT_EQ(list.FindIndex(2), first);
    EXPECT_EQ(list.FindIndex(7), nullptr);
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    EXPECT_EQ(list.GetAt(list.FindIndex(6)), 3);
}

TEST(CListTest, OwnsNonTrivialElements) {
    Tracked::live = 0;
    {
        CList<Tracked> l;
        for (const char* s : {"one", "two", "three"}) l.AddTail(Tracked(s));
        l.AddHead(l.GetTail());
        EXPECT_EQ(l.RemoveTail().Name(), "three");
        l.RemoveAt(l.Find(Tracked("two")));
        EXPECT_EQ(Tracked::live, 2);
        EXPECT_EQ(l.GetHead().Name(), "three");
        EXPECT_EQ(l.GetTail().Name(), "one");
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(CStringListTest, FindsByText) {
    CStringList l;
    l.AddTail("alpha");
    l.AddTail(CString("beta"));
    char text[] = "beta";
    POSITION pos = l.Find(text);
    ASSERT_NE(pos, nullptr);
    EXPECT_EQ(l.GetAt(pos), "beta");
    EXPECT_EQ(l.Find("BETA"), nullptr);
}

// ------------------------------------------------------------ typed pointers

TEST(TypedPtrCollections, ListAndArrayOfOwnedObjects) {
    CTypedPtrList<CObList, CCollItem*> items;
    for (LONG i = 0; i < 3; i++) items.AddTail(new CCollItem(i, "item"));
    POSITION pos = items.GetHeadPosition();
    items.GetNext(pos);
    CCollItem* second = items.GetNext(pos);
    EXPECT_EQ(second->m_id, 1);
    EXPECT_EQ(items.Find(second), items.FindIndex(1));

    CTypedPtrArray<CObArray, CCollItem*> array;
    for (POSITION p = items.GetHeadPosition(); p != nullptr;) array.Add(items.GetNext(p));
    array.ElementAt(0) = second;
    EXPECT_EQ(array[0]->m_id, 1);
    EXPECT_EQ(array.GetAt(2)->m_id, 2);
    array.RemoveAll();

    while (!items.IsEmpty()) delete items.RemoveHead();
    EXPECT_EQ(items.GetCount(), 0);

    CTypedPtrList<CPtrList, int*> raw;
    int values[2] = {10, 20};
    raw.AddTail(&values[0]);
    raw.AddHead(&values[1]);
    EXPECT_EQ(*raw.GetHead(), 20);
    EXPECT_EQ(*raw.RemoveTail(), 10);
}

TEST(TypedPtrCollections, RuntimeClasses) {
    CObList list;
    CStringArray strings;
    CPtrArray pointers;
    EXPECT_TRUE(list.IsKindOf(RUNTIME_CLASS(CObList)));
    EXPECT_TRUE(list.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(list.IsKindOf(RUNTIME_CLASS(CObArray)));
    EXPECT_TRUE(strings.IsSerializable());
    EXPECT_FALSE(pointers.IsSerializable());
    CObject* made = CRuntimeClass::FromName("CObList")->CreateObject();
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CObList)));
    delete made;
}

// ------------------------------------------------------------ CMap

TEST(HashKeyTest, NumbersPointersAndText) {
    EXPECT_EQ(HashKey<int>(0x123), 0x12u);
    EXPECT_EQ(HashKey<WORD>(WORD(0xFFFF)), 0xFFFu);
    EXPECT_EQ(HashKey<void*>(reinterpret_cast<void*>(0x1230)), 0x123u);
    EXPECT_EQ(HashKey<LPCSTR>(""), 0u);
    EXPECT_EQ(HashKey<LPCSTR>("a"), 97u);
    EXPECT_EQ(HashKey<LPCSTR>("ab"), 97u * 33 + 98);
    EXPECT_EQ(HashKey<const CString&>(CString("ab")), HashKey<LPCSTR>("ab"));
}

TEST(CMapTest, LookupSetAndRemove) {
    CMap<int, int, CString, LPCTSTR> map;
    CString value;
    EXPECT_FALSE(map.Lookup(1, value));
    EXPECT_FALSE(map.RemoveKey(1));
    EXPECT_EQ(map.GetStartPosition(), nullptr);

    for (int i = 0; i < 100; i++) map.SetAt(i * 7, "v");
    map[14] = "fourteen";
    map.SetAt(21, "twenty-one");
    EXPECT_EQ(map.GetCount(), 100);
    ASSERT_TRUE(map.Lookup(14, value));
    EXPECT_EQ(value, "fourteen");
    EXPECT_FALSE(map.Lookup(15, value));
    EXPECT_TRUE(map[15].IsEmpty());  // operator[] adds a blank entry
    EXPECT_EQ(map.GetCount(), 101);

    EXPECT_TRUE(map.RemoveKey(14));
    EXPECT_FALSE(map.RemoveKey(14));
    EXPECT_FALSE(map.Lookup(14, value));
    ASSERT_TRUE(map.Lookup(21, value));
    EXPECT_EQ(value, "twenty-one");
    EXPECT_EQ(map.GetCount(), 100);

    map.RemoveAll();
    EXPECT_EQ(map.GetCount(), 0);
    EXPECT_FALSE(map.Lookup(21, value));
    map[3] = "again";
    EXPECT_EQ(map.GetCount(), 1);
}

TEST(CMapTest, IterationVisitsEachEntryOnceEvenWhileRemoving) {
    CMapStringToString map;
    map.InitHashTable(7);
    for (int i = 0; i < 40; i++) {
        CString key;
        key.Format("key%d", i);
        map[key] = key + "!";
    }
    std::vector<int> seen(40, 0);
    POSITION pos = map.GetStartPosition();
    while (pos != nullptr) {
        CString key, value;
        map.GetNextAssoc(pos, key, value);
        EXPECT_EQ(value, key + "!");
        int i = atoi(LPCTSTR(key) + 3);
        seen[i]++;
        if (i % 3 == 0) map.RemoveKey(key);
    }
    EXPECT_EQ(seen, std::vector<int>(40, 1));
    EXPECT_EQ(map.GetCount(), 26);
    CString value;
    EXPECT_FALSE(map.Lookup("key3", value));
    EXPECT_TRUE(map.Lookup("key4", value));
    EXPECT_FALSE(map.Lookup("KEY4", value));  // keys are case-sensitive
}

TEST(CMapTest, IterationOrderIsBucketOrderNewestFirst) {
    // Integer keys hash to key >> 4; 17 buckets by default.
    CMap<int, int, int, int> map;
    EXPECT_EQ(map.GetHashTableSize(), 17u);
    for (int bucket : {5, 1, 3}) map[bucket << 4] = bucket;
    map[18 << 4] = 18;  // bucket 1 again
    std::vector<int> order;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;) {
        int key, value;
        map.GetNextAssoc(pos, key, value);
        order.push_back(value);
    }
    EXPECT_EQ(order, (std::vector<int>{18, 1, 3, 5}));
}

TEST(CMapTest, ReadyMadePointerMaps) {
    int a = 1, b = 2;
    CMapPtrToPtr ptrs;
    ptrs[&a] = &b;
    void* found = nullptr;
    EXPECT_TRUE(ptrs.Lookup(&a, found));
    EXPECT_EQ(found, &b);
    EXPECT_FALSE(ptrs.Lookup(&b, found));

    CMapWordToPtr words;
    words.SetAt(7, &a);
    EXPECT_TRUE(words.Lookup(7, found));
    EXPECT_EQ(found, &a);

    CMapStringToPtr names;
    names.SetAt("a", &a);
    EXPECT_TRUE(names.Lookup(CString("a"), found));
    EXPECT_FALSE(names.Lookup("b", found));
}

// ------------------------------------------------------------ archives

TEST(CollectionArchive, DWordArrayCountForm) {
    CDWordArray a;
    a.Add(1);
    a.Add(0x12345678);
    std::vector<BYTE> bytes = Store([&](CArchive& ar) { a.Serialize(ar); });
    const std::vector<BYTE> golden = {0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(bytes, golden);

    CDWordArray b;
    Load(golden, [&](CArchive& ar) { b.Serialize(ar); });
    ASSERT_EQ(b.GetSize(), 2);
    EXPECT_EQ(b[0], 1u);
    EXPECT_EQ(b[1], 0x12345678u);
}

TEST(CollectionArchive, WordAndByteArraysAndLongCounts) {
    CWordArray w;
    w.Add(0xBEEF);
    CByteArray big;
    big.SetSize(0x10000);
    for (int i = 0; i < big.GetSize(); i++) big[i] = BYTE(i * 7);
    std::vector<BYTE> bytes = Store([&](CArchive& ar) {
        w.Serialize(ar);
        big.Serialize(ar);
    });
    ASSERT_EQ(bytes.size(), 4u + 6u + 0x10000u);
    EXPECT_EQ(bytes[2], 0xEF);
    EXPECT_EQ(bytes[3], 0xBE);

    CWordArray w2;
    CByteArray big2;
    big2.Add(99);  // loading replaces what was there
    Load(bytes, [&](CArchive& ar) {
        w2.Serialize(ar);
        big2.Serialize(ar);
    });
    ASSERT_EQ(w2.GetSize(), 1);
    EXPECT_EQ(w2[0], 0xBEEF);
    ASSERT_EQ(big2.GetSize(), 0x10000);
    EXPECT_EQ(0, memcmp(big.GetData(), big2.GetData(), 0x10000));
}

TEST(CollectionArchive, StringArrayListAndMapRoundTrip) {
    CStringArray a;
    a.Add("");
    a.Add("grass");
    a.Add(CString('x', 300));
    CStringList l;
    l.AddTail("head");
    l.AddTail("tail");
    CMapStringToString m;
    m["gfx_width"] = "640";
    m["snd_volume"] = "";
    std::vector<BYTE> bytes = Store([&](CArchive& ar) {
        a.Serialize(ar);
        l.Serialize(ar);
        m.Serialize(ar);
    });

    CStringArray a2;
    CStringList l2;
    CMapStringToString m2;
    Load(bytes, [&](CArchive& ar) {
        a2.Serialize(ar);
        l2.Serialize(ar);
        m2.Serialize(ar);
    });
    ASSERT_EQ(a2.GetSize(), 3);
    EXPECT_EQ(a2[0], "");
    EXPECT_EQ(a2[1], "grass");
    EXPECT_EQ(a2[2], CString('x', 300));
    ASSERT_EQ(l2.GetCount(), 2);
    EXPECT_EQ(l2.GetHead(), "head");
    EXPECT_EQ(l2.GetTail(), "tail");
    ASSERT_EQ(m2.GetCount(), 2);
    CString value;
    EXPECT_TRUE(m2.Lookup("gfx_width", value));
    EXPECT_EQ(value, "640");
    EXPECT_TRUE(m2.Lookup("snd_volume", value));
    EXPECT_EQ(value, "");
}

TEST(CollectionArchive, ObListKeepsObjectsSharedAndNull) {
    CCollItem seven(7, "seven");
    CCollItem eight(8, "eight");
    CObList list;
    list.AddTail(&seven);
    list.AddTail(&eight);
    list.AddTail(&seven);
    list.AddTail(static_cast<CObject*>(nullptr));
    CObArray array;
    array.Add(&seven);

    std::vector<BYTE> bytes = Store([&](CArchive& ar) {
        ar << &list;  // by reference: class tag, then the list
        array.Serialize(ar);
    });

    CObList* loaded = nullptr;
    CObArray array2;
    Load(bytes, [&](CArchive& ar) {
        ar >> loaded;
        array2.Serialize(ar);
    });
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->GetCount(), 4);
    POSITION pos = loaded->GetHeadPosition();
    auto* first = dynamic_cast<CCollItem*>(loaded->GetNext(pos));
    auto* second = dynamic_cast<CCollItem*>(loaded->GetNext(pos));
    CObject* third = loaded->GetNext(pos);
    CObject* fourth = loaded->GetNext(pos);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->m_id, 7);
    EXPECT_EQ(first->m_label, "seven");
    EXPECT_EQ(second->m_id, 8);
    EXPECT_EQ(second->m_label, "eight");
    EXPECT_EQ(third, first);
    EXPECT_EQ(fourth, nullptr);
    ASSERT_EQ(array2.GetSize(), 1);
    EXPECT_EQ(array2[0], first);  // same archive, same object

    delete first;
    delete second;
    delete loaded;
}

TEST(CollectionArchive, TypedArrayRejectsObjectsOfAnotherClass) {
    CCollOther other;
    struct Case {
        const char* what;
        std::function<void(CArchive&)> read;
    };
    const Case cases[] = {
        {"serial element class", [](CArchive& ar) { CArray<CCollItem*, CCollItem*> a; a.Serialize(ar); }},
        {"typed list", [](CArchive& ar) { CList<CCollItem*, CCollItem*> l; l.Serialize(ar); }},
    };
    for (const Case& c : cases) {
        CObArray mixed;
        mixed.Add(&other);
        std::vector<BYTE> bytes = Store([&](CArchive& ar) { mixed.Serialize(ar); });
        int before = CCollOther::live;
        EXPECT_EQ(ArchiveCause([&] { Load(bytes, c.read); }), CArchiveException::badClass) << c.what;
        EXPECT_EQ(CCollOther::live, before) << c.what;
    }
}

TEST(CollectionArchive, HostileCountsAreRefusedBeforeAllocating) {
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
        std::function<void(CArchive&)> read;
    };
    const std::vector<BYTE> hugeCount = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4};
    // Ten DWORDs announced, twelve bytes present: enough bytes for a count
    // of ten, not for ten DWORDs.
    std::vector<BYTE> shortDwords = {10, 0};
    shortDwords.resize(14, 0xAB);
    const Case cases[] = {
        {"dword array, huge", hugeCount, [](CArchive& ar) { CDWordArray a; a.Serialize(ar); }},
        {"dword array, short", shortDwords, [](CArchive& ar) { CDWordArray a; a.Serialize(ar); }},
        {"string array", hugeCount, [](CArchive& ar) { CStringArray a; a.Serialize(ar); }},
        {"object list", hugeCount, [](CArchive& ar) { CObList l; l.Serialize(ar); }},
        {"string map", hugeCount, [](CArchive& ar) { CMapStringToString m; m.Serialize(ar); }},
        {"word array", {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}, [](CArchive& ar) { CWordArray a; a.Serialize(ar); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ArchiveCause([&] { Load(c.bytes, c.read); }), CArchiveException::endOfFile) << c.what;
    }
}

TEST(CollectionArchive, RefusedCountLeavesTheArrayAlone) {
    // Enough bytes for ReadCount's one byte per element, not for the DWORDs.
    std::vector<BYTE> bytes = {0x00, 0x01};
    bytes.resize(2 + 0x100, 0);
    CDWordArray a;
    a.Add(5);
    EXPECT_EQ(ArchiveCause([&] { Load(bytes, [&](CArchive& ar) { a.Serialize(ar); }); }),
              CArchiveException::endOfFile);
    ASSERT_EQ(a.GetSize(), 1);
    EXPECT_EQ(a.GetAllocSize(), 1);
    EXPECT_EQ(a[0], 5u);
}

TEST(CollectionArchive, TruncatedElementsEndTheLoad) {
    CStringArray a;
    a.Add("complete");
    a.Add("cut short");
    std::vector<BYTE> bytes = Store([&](CArchive& ar) { a.Serialize(ar); });
    bytes.resize(bytes.size() - 3);
    CStringArray b;
    EXPECT_EQ(ArchiveCause([&] { Load(bytes, [&](CArchive& ar) { b.Serialize(ar); }); }),
              CArchiveException::endOfFile);
}

TEST(CollectionArchive, PointerCollectionsHaveNoArchiveForm) {
    int x = 0;
    CPtrArray a;
    a.Add(&x);
    bool refused = false;
    try {
        Store([&](CArchive& ar) { a.Serialize(ar); });
    } catch (CNotSupportedException* e) {
        refused = true;
        e->Delete();
    }
    EXPECT_TRUE(refused);
}

}  // namespace

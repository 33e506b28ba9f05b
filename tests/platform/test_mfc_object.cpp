#include <gtest/gtest.h>

#include <string>

#include "platform/mfc.h"

namespace {

class TObjShape : public CObject {
    DECLARE_SERIAL(TObjShape)
public:
    TObjShape() = default;
    int m_sides = 0;
};
IMPLEMENT_SERIAL(TObjShape, CObject, 1)

class TObjCircle : public TObjShape {
    DECLARE_SERIAL(TObjCircle)
public:
    TObjCircle() = default;
};
IMPLEMENT_SERIAL(TObjCircle, TObjShape, VERSIONABLE_SCHEMA | 2)

class TObjPlain : public CObject {
    DECLARE_DYNAMIC(TObjPlain)
};
IMPLEMENT_DYNAMIC(TObjPlain, CObject)

class TObjMade : public CObject {
    DECLARE_DYNCREATE(TObjMade)
public:
    TObjMade() = default;
};
IMPLEMENT_DYNCREATE(TObjMade, CObject)

template <class T>
class TObjBox : public CObject {
    DECLARE_SERIAL(TObjBox)
public:
    TObjBox() = default;
    T m_value{};
};
typedef TObjBox<int> TObjIntBox;
IMPLEMENT_SERIAL_T(TObjBox<int>, TObjBox, CObject, 4)
IMPLEMENT_SERIAL_T(TObjBox<double>, TObjBox, TObjShape, 5)

TEST(MfcObject, IsKindOfFollowsTheBaseChain)
{
    TObjShape shape;
    TObjCircle circle;
    TObjPlain plain;
    struct Case {
        const CObject* object;
        CRuntimeClass* cls;
        bool expected;
    } cases[] = {
        {&shape, RUNTIME_CLASS(CObject), true},   {&shape, RUNTIME_CLASS(TObjShape), true},
        {&shape, RUNTIME_CLASS(TObjCircle), false}, {&circle, RUNTIME_CLASS(TObjShape), true},
        {&circle, RUNTIME_CLASS(CObject), true},  {&circle, RUNTIME_CLASS(TObjPlain), false},
        {&plain, RUNTIME_CLASS(TObjShape), false}, {&plain, RUNTIME_CLASS(TObjPlain), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.object->IsKindOf(c.cls) != FALSE)
            << c.object->GetRuntimeClass()->m_lpszClassName << " of " << c.cls->m_lpszClassName;
    // Through a base pointer the run-time class is the object's own.
    const CObject* base = &circle;
    EXPECT_EQ(RUNTIME_CLASS(TObjCircle), base->GetRuntimeClass());
}

TEST(MfcObject, RuntimeClassRecordsCarryNameSizeAndSchema)
{
    struct Case {
        CRuntimeClass* cls;
        const char* name;
        int size;
        UINT schema;
        CRuntimeClass* base;
    } cases[] = {
        {RUNTIME_CLASS(TObjShape), "TObjShape", sizeof(TObjShape), 1, RUNTIME_CLASS(CObject)},
        {RUNTIME_CLASS(TObjCircle), "TObjCircle", sizeof(TObjCircle), VERSIONABLE_SCHEMA | 2, RUNTIME_CLASS(TObjShape)},
        {RUNTIME_CLASS(TObjPlain), "TObjPlain", sizeof(TObjPlain), 0xFFFF, RUNTIME_CLASS(CObject)},
        {RUNTIME_CLASS(TObjMade), "TObjMade", sizeof(TObjMade), 0xFFFF, RUNTIME_CLASS(CObject)},
        {RUNTIME_CLASS(CObject), "CObject", sizeof(CObject), 0xFFFF, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.name, c.cls->m_lpszClassName);
        EXPECT_EQ(c.size, c.cls->m_nObjectSize) << c.name;
        EXPECT_EQ(c.schema, c.cls->m_wSchema) << c.name;
        EXPECT_EQ(c.base, c.cls->m_pBaseClass) << c.name;
    }
    TObjShape shape;
    TObjPlain plain;
    EXPECT_TRUE(shape.IsSerializable());
    EXPECT_FALSE(plain.IsSerializable());
}

TEST(MfcObject, CreationByClassName)
{
    struct Case {
        const char* name;
        CRuntimeClass* cls;  // null: not registered
        bool creatable;
    } cases[] = {
        {"TObjShape", RUNTIME_CLASS(TObjShape), true},
        {"TObjCircle", RUNTIME_CLASS(TObjCircle), true},
        {"TObjMade", RUNTIME_CLASS(TObjMade), true},
        {"TObjPlain", RUNTIME_CLASS(TObjPlain), false},
        {"TObjBox<int>", &TObjIntBox::classTObjBox, true},
        {"CFileException", RUNTIME_CLASS(CFileException), false},
        {"CObject", RUNTIME_CLASS(CObject), false},
        {"tobjshape", nullptr, false},  // names are case-sensitive
        {"TObjNoSuchClass", nullptr, false},
        {"", nullptr, false},
    };
    for (const Case& c : cases) {
        CRuntimeClass* found = CRuntimeClass::FromName(c.name);
        EXPECT_EQ(c.cls, found) << c.name;
        if (!found) continue;
        CObject* made = found->CreateObject();
        EXPECT_EQ(c.creatable, made != nullptr) << c.name;
        if (made) {
            EXPECT_EQ(found, made->GetRuntimeClass()) << c.name;
            delete made;
        }
    }
    EXPECT_EQ(nullptr, CRuntimeClass::FromName(nullptr));
}

TEST(MfcObject, TemplateInstancesAreSeparateClasses)
{
    TObjBox<int> intBox;
    TObjBox<double> doubleBox;
    EXPECT_STREQ("TObjBox<int>", intBox.GetRuntimeClass()->m_lpszClassName);
    EXPECT_STREQ("TObjBox<double>", doubleBox.GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(4u, intBox.GetRuntimeClass()->m_wSchema);
    EXPECT_TRUE(doubleBox.IsKindOf(RUNTIME_CLASS(TObjShape)));
    EXPECT_FALSE(intBox.IsKindOf(RUNTIME_CLASS(TObjShape)));
    CObject* made = CRuntimeClass::FromName("TObjBox<double>")->CreateObject();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(&TObjBox<double>::classTObjBox, made->GetRuntimeClass());
    delete made;
}

TEST(MfcObject, DowncastsCheckTheClass)
{
    TObjCircle circle;
    TObjPlain plain;
    CObject* a = &circle;
    CObject* b = &plain;
    EXPECT_EQ(&circle, DYNAMIC_DOWNCAST(TObjShape, a));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(TObjShape, b));
    EXPECT_EQ(nullptr, DYNAMIC_DOWNCAST(TObjShape, static_cast<CObject*>(nullptr)));
    EXPECT_EQ(&circle, STATIC_DOWNCAST(TObjCircle, a));
}

std::string g_debugText;
void CollectDebugText(const char* text) { g_debugText += text; }

TEST(MfcObject, TraceFormatsLongTextsWhole)
{
    auto old = platform::SetDebugOutputHook(CollectDebugText);
    g_debugText.clear();
    std::string longText(3000, 'x');
    TRACE("[%s] %d %I64d|%s\n", "YTest::Run", 42, static_cast<LONGLONG>(1) << 40, longText.c_str());
    platform::SetDebugOutputHook(old);
    EXPECT_EQ("[YTest::Run] 42 1099511627776|" + longText + "\n", g_debugText);
}

// ---------------------------------------------------------------- exceptions
int g_liveExceptions = 0;
class TObjCountedException : public CUserException {
public:
    TObjCountedException() { ++g_liveExceptions; }
    ~TObjCountedException() override { --g_liveExceptions; }
};

TEST(MfcException, ThrownAsPointersAndCaughtThroughTheBase)
{
    struct Case {
        void (*thrower)();
        CRuntimeClass* cls;
    } cases[] = {
        {[] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException)},
        {[] { AfxThrowNotSupportedException(); }, RUNTIME_CLASS(CNotSupportedException)},
        {[] { AfxThrowUserException(); }, RUNTIME_CLASS(CUserException)},
        {[] { AfxThrowFileException(CFileException::diskFull, 112, "a.bin"); }, RUNTIME_CLASS(CFileException)},
        {[] { AfxThrowArchiveException(CArchiveException::badClass, "b.cat"); }, RUNTIME_CLASS(CArchiveException)},
    };
    for (const Case& c : cases) {
        bool caught = false;
        try {
            c.thrower();
        } catch (CException* e) {
            caught = true;
            EXPECT_EQ(c.cls, e->GetRuntimeClass());
            e->Delete();
        }
        EXPECT_TRUE(caught) << c.cls->m_lpszClassName;
    }
}

TEST(MfcException, MessagesNameTheFileAndFitTheBuffer)
{
    CFileException fileError(CFileException::fileNotFound, 2, "maps\\alpha.zon");
    char text[256];
    UINT help = 99;
    ASSERT_TRUE(fileError.GetErrorMessage(text, sizeof text, &help));
    EXPECT_STREQ("maps\\alpha.zon was not found.", text);
    EXPECT_EQ(0u, help);

    CArchiveException archiveError(CArchiveException::badSchema, "RC Volaro.cat");
    ASSERT_TRUE(archiveError.GetErrorMessage(text, sizeof text));
    EXPECT_STREQ("RC Volaro.cat contains an incorrect schema.", text);

    char tiny[8];
    std::memset(tiny, 'z', sizeof tiny);
    ASSERT_TRUE(archiveError.GetErrorMessage(tiny, sizeof tiny));
    EXPECT_STREQ("RC Vola", tiny) << "truncated and terminated";
    EXPECT_FALSE(archiveError.GetErrorMessage(tiny, 0));
    EXPECT_EQ(0, CUserException().ReportError());
}

TEST(MfcException, CatchMacrosDeleteTheExceptionAtTheEnd)
{
    g_liveExceptions = 0;
    bool inCatch = false;
    TRY
    {
        throw new TObjCountedException;
    }
    CATCH(CFileException, e)
    {
        ADD_FAILURE() << "wrong handler";
    }
    AND_CATCH(CUserException, e)
    {
        inCatch = true;
        EXPECT_EQ(1, g_liveExceptions);
    }
    END_CATCH
    EXPECT_TRUE(inCatch);
    EXPECT_EQ(0, g_liveExceptions);
}

TEST(MfcException, ThrowLastPassesTheSameExceptionOutward)
{
    g_liveExceptions = 0;
    CException* inner = nullptr;
    CException* outer = nullptr;
    try {
        TRY
        {
            throw new TObjCountedException;
        }
        CATCH_ALL(e)
        {
            inner = e;
            THROW_LAST();
        }
        END_CATCH_ALL
    } catch (CException* e) {
        outer = e;
        EXPECT_EQ(1, g_liveExceptions) << "rethrown exception must still be alive";
        e->Delete();
    }
    EXPECT_EQ(inner, outer);
    EXPECT_EQ(0, g_liveExceptions);
}

TEST(MfcException, DeleteKeepsExceptionsMadeWithoutAutoDelete)
{
    g_liveExceptions = 0;
    TObjCountedException* kept = new TObjCountedException;
    kept->m_bAutoDelete = FALSE;
    kept->Delete();
    EXPECT_EQ(1, g_liveExceptions);
    delete kept;
    EXPECT_EQ(0, g_liveExceptions);
}

}  // namespace

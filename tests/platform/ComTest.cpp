#include "Com.h"

#include "Bstr.h"

#include <gtest/gtest.h>

using namespace mailvane::platform;

namespace {

class IGreeter : public virtual IUnknown
{
public:
    virtual int greet() = 0;
};

class IOther : public virtual IUnknown
{};

class Greeter final : public ComObject, public IGreeter
{
public:
    explicit Greeter(int* alive) : m_alive(alive) { ++*m_alive; }
    ~Greeter() override { --*m_alive; }
    int greet() override { return 42; }

private:
    int* m_alive;
};

} // namespace

TEST(ComStandIn, registeredClassIsCreatedAndReleasedWithItsLastReference)
{
    int alive = 0;
    registerClass("Test.Greeter", [&alive]() -> IUnknown* { return new Greeter(&alive); });
    {
        ComPtr<IGreeter> first;
        ASSERT_EQ(CoCreateInstance("Test.Greeter", nullptr, CLSCTX_INPROC_SERVER, first.put()),
                  S_OK);
        EXPECT_EQ(first->greet(), 42);
        ComPtr<IGreeter> copy = first;
        first.reset();
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
    revokeClass("Test.Greeter");
}

TEST(ComStandIn, missingClassOrInterfaceLeavesTheOutParameterNull)
{
    int alive = 0;
    registerClass("Test.Greeter", [&alive]() -> IUnknown* { return new Greeter(&alive); });
    IOther* other = reinterpret_cast<IOther*>(0x1);
    EXPECT_EQ(CoCreateInstance("Test.Greeter", nullptr, CLSCTX_INPROC_SERVER, &other),
              E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(alive, 0); // the object made for the failed request is gone again

    ComPtr<IGreeter> greeter;
    EXPECT_EQ(CoCreateInstance("Test.Greeter", nullptr, 0x4 /* local server */, greeter.put()),
              REGDB_E_CLASSNOTREG);
    revokeClass("Test.Greeter");
    EXPECT_EQ(CoCreateInstance("Test.Greeter", nullptr, CLSCTX_INPROC_SERVER, greeter.put()),
              REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(greeter);

    // A class whose server is not configured declines to make objects.
    registerClass("Test.Unconfigured", [] { return static_cast<IUnknown*>(nullptr); });
    EXPECT_EQ(CoCreateInstance("Test.Unconfigured", nullptr, CLSCTX_INPROC_SERVER, greeter.put()),
              REGDB_E_CLASSNOTREG);
    revokeClass("Test.Unconfigured");
}

TEST(BstrStandIn, convertsBetweenUtf8Latin1AndUtf16)
{
    EXPECT_EQ(bstrFromLatin1("Gr\xFC\xDF"), u"Grüß");
    EXPECT_EQ(bstrFromUtf8("Zoë 🙂"), u"Zoë 🙂");
    EXPECT_EQ(bstrToUtf8(u"Zoë 🙂"), "Zoë 🙂");
    // Broken input becomes replacement characters, never a crash or a lost tail.
    EXPECT_EQ(bstrFromUtf8("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(bstrFromUtf8("\xE0\x80\x80z"), u"\uFFFDz"); // overlong
    EXPECT_EQ(bstrToUtf8(std::u16string(u"x") + char16_t(0xD800)), "x\xEF\xBF\xBD");
}

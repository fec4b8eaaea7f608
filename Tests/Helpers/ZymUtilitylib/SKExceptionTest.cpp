#include <windows.h>

#include "SKException.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class CodedException : public SKException
{
public:
    CodedException(const char* message, int code) : SKException(message), m_nOwnCode(code) {}
    int GetCode() const override { return m_nOwnCode; }

private:
    int m_nOwnCode;
};
}

TEST(SKException, CopiesOwnTheirMessage)
{
    char text[] = "x";
    SKException original(text);
    text[0] = 'z';
    SKException copy(original);
    EXPECT_STREQ("x", original.GetMessage());
    EXPECT_STREQ("x", copy.GetMessage());
    EXPECT_NE(original.GetMessage(), copy.GetMessage());
    EXPECT_EQ(0, copy.GetCode());
}

TEST(SKException, MissingMessageReadsVoid)
{
    SKException none(nullptr);
    SKException copy(none);
    EXPECT_STREQ("*VOID*", none.GetMessage());
    EXPECT_STREQ("*VOID*", copy.GetMessage());
    EXPECT_EQ(0, copy.GetCode());
}

TEST(SKException, CopyTakesTheCodeThroughGetCode)
{
    CodedException coded("m", 7);
    SKException copy(coded);
    EXPECT_EQ(7, copy.GetCode());
    EXPECT_STREQ("m", copy.GetMessage());

    CodedException silent(nullptr, 7);
    SKException silentCopy(silent);
    EXPECT_EQ(0, silentCopy.GetCode());
}

TEST(SKException, ThrownByValueCaughtByReference)
{
    std::string caught;
    try
    {
        throw SKException("nickname already used");
    }
    catch (const SKException& e)
    {
        // <windows.h> is included above: the call still reaches the
        // operation, whatever the macro maps its name to.
        caught = e.GetMessage();
    }
    EXPECT_EQ("nickname already used", caught);
}

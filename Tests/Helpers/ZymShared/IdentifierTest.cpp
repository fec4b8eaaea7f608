#include "ZymShared.h"

#include "RegistryRedirect.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

const char kIdentifierKey[] = "Software\\QuillMarsh\\SkelvaneClient";

class IdentifierTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_redirect.active()); }

    RegistryRedirect m_redirect;
};

TEST_F(IdentifierTest, MissingKeyGivesZeroAndIsNotCreated)
{
    char buffer[64] = "untouched";
    EXPECT_EQ(GetZymGUID(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(SetZymGUID("{0000-1111}"), 0);
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_LOCAL_MACHINE, kIdentifierKey));
}

TEST_F(IdentifierTest, StoredIdentifierComesBackUnchanged)
{
    ASSERT_TRUE(RegistryRedirect::CreateKey(HKEY_LOCAL_MACHINE, kIdentifierKey));
    const char identifier[] = "{6F1A0C2E-77B4-4C1D-9A0E-5B3C2D1E0F9A}";
    EXPECT_EQ(SetZymGUID(identifier), 1);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIdentifierKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "UniqueID", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, sizeof(identifier)) << "the terminator is stored with the text";

    char buffer[64];
    memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(GetZymGUID(buffer, sizeof(buffer)), 1);
    EXPECT_STREQ(buffer, identifier);
}

TEST_F(IdentifierTest, IdentifierIsOnlyLookedForUnderTheMachineHive)
{
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_CURRENT_USER, kIdentifierKey, "UniqueID", "user"));
    char buffer[64];
    EXPECT_EQ(GetZymGUID(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(SetZymGUID("other"), 0);
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_CURRENT_USER, kIdentifierKey, "UniqueID"), "user");
}

TEST_F(IdentifierTest, BufferTooSmallGivesZero)
{
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_LOCAL_MACHINE, kIdentifierKey, "UniqueID",
                                            "0123456789"));
    char buffer[8];
    EXPECT_EQ(GetZymGUID(buffer, sizeof(buffer)), 0);
    EXPECT_EQ(GetZymGUID(buffer, 0), 0);
}

// A value written by some other tool without its terminator: the call may
// only report success with a terminated text inside the buffer.
TEST_F(IdentifierTest, UnterminatedValueIsTerminatedOrRefused)
{
    ASSERT_TRUE(RegistryRedirect::SetRaw(HKEY_LOCAL_MACHINE, kIdentifierKey, "UniqueID", REG_BINARY,
                                         "ABCD", 4));
    char roomy[16];
    memset(roomy, 'x', sizeof(roomy));
    EXPECT_EQ(GetZymGUID(roomy, sizeof(roomy)), 1);
    ASSERT_NE(memchr(roomy, '\0', sizeof(roomy)), nullptr) << "text left unterminated";
    EXPECT_STREQ(roomy, "ABCD");

    ASSERT_TRUE(RegistryRedirect::SetRaw(HKEY_LOCAL_MACHINE, kIdentifierKey, "UniqueID", REG_BINARY,
                                         "ABCDEFGH", 8));
    char exact[9];
    memset(exact, 'x', sizeof(exact));
    EXPECT_EQ(GetZymGUID(exact, 8), 0) << "eight bytes leave no room for the terminator";
    EXPECT_EQ(exact[8], 'x') << "nothing written past the given size";
}

} // namespace

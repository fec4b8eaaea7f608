#include "ZymStatic.h"

#include "RegistryRedirect.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kCompany[] = "SOFTWARE\\Quillmarsh";
const char kSoftware[] = "SOFTWARE";

// Marks a key with a value that names it, so a returned handle can be told
// apart from the other candidates.
void Mark(HKEY hive, const char* path, const char* marker)
{
    ASSERT_TRUE(RegistryRedirect::SetString(hive, path, "Marker", marker));
}

std::string MarkerOf(HKEY key)
{
    return RegistryRedirect::GetString(key, "Marker");
}

class GetZyBaseKeyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_redirect.active()); }

    // Calls the function and hands back the marker of the key it returned,
    // closing the key; "<null>" when it returned none.
    std::string Lookup(bool create, const char* subKey)
    {
        std::string text(subKey);
        HKEY key = GetZyBaseKey(create, &text[0]);
        if (key == nullptr)
            return "<null>";
        std::string marker = MarkerOf(key);
        RegCloseKey(key);
        return marker;
    }

    RegistryRedirect m_redirect;
};

TEST_F(GetZyBaseKeyTest, NoCompanyKeyAndNoCreateGivesNullAndCreatesNothing)
{
    EXPECT_EQ(Lookup(false, ""), "<null>");
    EXPECT_EQ(Lookup(false, kSoftware), "<null>");
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_LOCAL_MACHINE, kCompany));
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_CURRENT_USER, kCompany));
}

TEST_F(GetZyBaseKeyTest, CompanyKeyUnderEitherHive)
{
    Mark(HKEY_CURRENT_USER, kCompany, "user company");
    EXPECT_EQ(Lookup(false, ""), "user company");

    Mark(HKEY_LOCAL_MACHINE, kCompany, "machine company");
    EXPECT_EQ(Lookup(false, ""), "machine company") << "the machine hive comes first";
}

TEST_F(GetZyBaseKeyTest, SubKeyIsOpenedUnderTheHiveOfTheCompanyKey)
{
    Mark(HKEY_CURRENT_USER, kCompany, "user company");
    Mark(HKEY_CURRENT_USER, kSoftware, "user software");
    Mark(HKEY_LOCAL_MACHINE, kSoftware, "machine software");
    EXPECT_EQ(Lookup(false, kSoftware), "user software");

    Mark(HKEY_LOCAL_MACHINE, kCompany, "machine company");
    EXPECT_EQ(Lookup(false, kSoftware), "machine software");
}

TEST_F(GetZyBaseKeyTest, SubKeyIsRelativeToTheHiveNotToTheCompanyKey)
{
    Mark(HKEY_LOCAL_MACHINE, kCompany, "machine company");
    Mark(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\Inner", "inside company");
    Mark(HKEY_LOCAL_MACHINE, "Inner", "at hive root");
    EXPECT_EQ(Lookup(false, "Inner"), "at hive root");
}

TEST_F(GetZyBaseKeyTest, MissingOrEmptySubKeyGivesTheCompanyKey)
{
    Mark(HKEY_LOCAL_MACHINE, kCompany, "machine company");
    EXPECT_EQ(Lookup(false, "No\\Such\\Key"), "machine company");
    EXPECT_EQ(Lookup(true, "No\\Such\\Key"), "machine company");
    EXPECT_EQ(Lookup(false, ""), "machine company");
}

TEST_F(GetZyBaseKeyTest, CreateMakesTheCompanyKeyUnderTheMachineHive)
{
    char subKey[] = "SOFTWARE";
    HKEY key = GetZyBaseKey(true, subKey);
    ASSERT_NE(key, nullptr);
    // The fresh key is handed out for writing, and the sub-key is not applied.
    EXPECT_EQ(RegSetValueExA(key, "Marker", 0, REG_SZ, reinterpret_cast<const BYTE*>("new"), 4),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_LOCAL_MACHINE, kCompany, "Marker"), "new");
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_CURRENT_USER, kCompany));
}

TEST(GetZyBaseKeyFallbackTest, CreateFallsBackToTheUserHive)
{
    RegistryRedirect redirect(true);
    ASSERT_TRUE(redirect.active());
    ASSERT_FALSE(RegistryRedirect::CreateKey(HKEY_LOCAL_MACHINE, "Probe"))
        << "the machine hive was meant to refuse new keys";

    char noSubKey[] = "";
    HKEY key = GetZyBaseKey(true, noSubKey);
    ASSERT_NE(key, nullptr);
    RegCloseKey(key);
    EXPECT_TRUE(RegistryRedirect::KeyExists(HKEY_CURRENT_USER, kCompany));
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_LOCAL_MACHINE, kCompany));
}

} // namespace

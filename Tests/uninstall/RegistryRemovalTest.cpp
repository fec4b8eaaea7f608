#include "RegistryRedirect.h"
#include "RegistryRemoval.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
DWORD WINAPI RemoveOnThread(LPVOID)
{
    RemoveRegistryKeys();
    return 0;
}

// The removal works on hives of the test's making.
class RedirectedHives : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_Redirect.active()); }

    static void AddKey(HKEY root, const std::string& path, const char* valueName = nullptr)
    {
        if (valueName != nullptr)
            ASSERT_TRUE(RegistryRedirect::SetString(root, path.c_str(), valueName, "x"));
        else
            ASSERT_TRUE(RegistryRedirect::CreateKey(root, path.c_str()));
    }

    static bool Exists(HKEY root, const std::string& path)
    {
        return RegistryRedirect::KeyExists(root, path.c_str());
    }

    static DWORD CountOf(HKEY root, const std::string& path, bool values)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0xFFFFFFFF;
        DWORD subKeys = 0;
        DWORD valueCount = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &valueCount, nullptr, nullptr,
                         nullptr, nullptr);
        RegCloseKey(key);
        return values ? valueCount : subKeys;
    }

    // Makes path below the machine hive a registry link to userTarget below
    // the user hive.
    void AddLinkToUserKey(const std::string& path, const std::string& userTarget)
    {
        const std::wstring target = L"\\Registry\\User\\" + UserSid() + L"\\"
            + Wide(m_Redirect.scratchPath() + "\\user\\" + userTarget);
        HKEY link = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                                                 REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                                                 KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr));
        const LONG set = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                                        reinterpret_cast<const BYTE*>(target.c_str()),
                                        static_cast<DWORD>(target.size() * sizeof(wchar_t)));
        RegCloseKey(link);
        ASSERT_EQ(ERROR_SUCCESS, set);
        ASSERT_TRUE(Exists(HKEY_LOCAL_MACHINE, path + "\\Probe"));
    }

    // Runs RemoveRegistryKeys on a thread of its own: a walk that never ends
    // fails the test instead of hanging it.
    static bool RemoveWithin(DWORD milliseconds)
    {
        const HANDLE thread = CreateThread(nullptr, 0, RemoveOnThread, nullptr, 0, nullptr);
        if (thread == nullptr)
            return false;
        const bool ended = WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
        CloseHandle(thread);
        if (!ended)
        {
            ADD_FAILURE() << "RemoveRegistryKeys did not return";
            ExitProcess(1);
        }
        return ended;
    }

    RegistryRedirect m_Redirect;

private:
    static std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

    static std::wstring UserSid()
    {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return L"";
        BYTE buffer[256];
        DWORD size = 0;
        std::wstring text;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size))
        {
            LPWSTR sid = nullptr;
            if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid))
            {
                text = sid;
                LocalFree(sid);
            }
        }
        CloseHandle(token);
        return text;
    }
};

TEST_F(RedirectedHives, SecondProductKeepsTheCompanyKey)
{
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0", "InstallPath");
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\Inkwell\\1.0", "InstallPath");
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vendor");

    ASSERT_TRUE(RemoveWithin(10000));

    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\Inkwell\\1.0"));
    EXPECT_EQ(1u, CountOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\Inkwell\\1.0", true));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vendor"));
}

TEST_F(RedirectedHives, ProductAloneTakesTheCompanyKeyAlong)
{
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0", "InstallPath");
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vendor");

    ASSERT_TRUE(RemoveWithin(10000));

    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vendor"));
}

TEST_F(RedirectedHives, NeverDeletesTheSoftwareKeyItself)
{
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0", "InstallPath");

    ASSERT_TRUE(RemoveWithin(10000));

    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE"));
}

TEST_F(RedirectedHives, WalkEndsWhenTheProductKeyIsAlreadyGone)
{
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient", "Leftover");
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vendor");

    ASSERT_TRUE(RemoveWithin(10000));

    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient"));
    EXPECT_EQ(1u, CountOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient", true));
}

TEST_F(RedirectedHives, CompanyKeyOfTheUserHiveWhenTheMachineHasNone)
{
    AddKey(HKEY_CURRENT_USER, "Software\\Quillmarsh\\SkelvaneClient\\2.0", "InstallPath");
    AddKey(HKEY_CURRENT_USER, "Software\\Vendor");
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vendor");

    ASSERT_TRUE(RemoveWithin(10000));

    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Software\\Quillmarsh"));
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Software\\Vendor"));
}

TEST_F(RedirectedHives, DeleteKeyContentsEmptiesNestedKeysAndValuesButKeepsTheKey)
{
    const std::string product = "SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0";
    AddKey(HKEY_LOCAL_MACHINE, product, "InstallPath");
    AddKey(HKEY_LOCAL_MACHINE, product, "Version");
    AddKey(HKEY_LOCAL_MACHINE, product + "\\Components\\Chat\\Servers", "Primary");
    AddKey(HKEY_LOCAL_MACHINE, product + "\\Components\\Shared", "Path");
    AddKey(HKEY_LOCAL_MACHINE, product + "\\Window");
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient\\1.0", "InstallPath");

    EXPECT_TRUE(DeleteKeyContents(HKEY_LOCAL_MACHINE, product.c_str()));

    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, product));
    EXPECT_EQ(0u, CountOf(HKEY_LOCAL_MACHINE, product, false));
    EXPECT_EQ(0u, CountOf(HKEY_LOCAL_MACHINE, product, true));
    EXPECT_EQ(1u, CountOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\SkelvaneClient\\1.0", true));
    EXPECT_FALSE(DeleteKeyContents(HKEY_LOCAL_MACHINE, (product + "\\Missing").c_str()));
}

TEST_F(RedirectedHives, LinkBelowTheProductKeyLeavesItsTargetAlone)
{
    const std::string product = "SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0";
    AddKey(HKEY_LOCAL_MACHINE, product, "InstallPath");
    AddKey(HKEY_CURRENT_USER, "Elsewhere\\Probe", "Kept");
    AddKey(HKEY_CURRENT_USER, "Elsewhere", "Kept");
    AddLinkToUserKey(product + "\\Shortcut", "Elsewhere");

    ASSERT_TRUE(RemoveWithin(10000));

    EXPECT_EQ(1u, CountOf(HKEY_CURRENT_USER, "Elsewhere", true));
    EXPECT_EQ(1u, CountOf(HKEY_CURRENT_USER, "Elsewhere\\Probe", true));
    EXPECT_EQ(0u, CountOf(HKEY_LOCAL_MACHINE, product, true));
}

TEST_F(RedirectedHives, LinkOnThePathToTheProductKeyLeavesItsTargetAlone)
{
    AddKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\Inkwell\\1.0", "InstallPath");
    AddKey(HKEY_CURRENT_USER, "Elsewhere\\2.0", "Kept");
    AddKey(HKEY_CURRENT_USER, "Elsewhere\\Probe");
    AddLinkToUserKey("SOFTWARE\\Quillmarsh\\SkelvaneClient", "Elsewhere");

    ASSERT_TRUE(RemoveWithin(10000));

    EXPECT_EQ(1u, CountOf(HKEY_CURRENT_USER, "Elsewhere\\2.0", true));
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Elsewhere\\Probe"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmarsh\\Inkwell\\1.0"));
}
}

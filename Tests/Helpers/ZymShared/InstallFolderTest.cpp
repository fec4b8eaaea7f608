#include "RegistryRedirect.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

// Runs in the sandbox prefix, whose drives are C: and D: only. The folder is
// cached once per module, so every test loads its own instance of the DLL.
namespace {

const char kCompany[] = "SOFTWARE\\Quillmarsh";
const char kClient[] = "SOFTWARE\\Quillmarsh\\SkelvaneClient\\2.0";
const char kInstallPath[] = "InstallPath";
const std::string kDriveC = "c:\\Program Files\\QuillMarsh\\";

class LoadedShared {
public:
    LoadedShared() : m_module(LoadLibraryA("ZymShared.dll"))
    {
        if (m_module != nullptr)
            m_get = reinterpret_cast<char* (*)()>(
                reinterpret_cast<void*>(GetProcAddress(m_module, "GetZymDirectory")));
    }
    ~LoadedShared()
    {
        if (m_module != nullptr)
            FreeLibrary(m_module);
    }
    LoadedShared(const LoadedShared&) = delete;
    LoadedShared& operator=(const LoadedShared&) = delete;

    bool loaded() const { return m_get != nullptr; }
    char* GetZymDirectory() const { return m_get(); }

private:
    HMODULE m_module;
    char* (*m_get)() = nullptr;
};

// Moves a folder aside for one test, so the drive scan does not find it.
class HiddenFolder {
public:
    explicit HiddenFolder(const std::string& path) : m_path(path), m_aside(path + " (aside)")
    {
        m_bMoved = MoveFileA(m_path.c_str(), m_aside.c_str()) != FALSE;
    }
    ~HiddenFolder()
    {
        if (m_bMoved)
            MoveFileA(m_aside.c_str(), m_path.c_str());
    }
    HiddenFolder(const HiddenFolder&) = delete;
    HiddenFolder& operator=(const HiddenFolder&) = delete;

    bool hidden() const { return m_bMoved; }

private:
    std::string m_path;
    std::string m_aside;
    bool m_bMoved = false;
};

class SystemRootOverride {
public:
    explicit SystemRootOverride(const char* value)
    {
        const char* old = getenv("SystemRoot");
        m_bHad = old != nullptr;
        if (m_bHad)
            m_old = old;
        _putenv_s("SystemRoot", value);
    }
    ~SystemRootOverride() { _putenv_s("SystemRoot", m_bHad ? m_old.c_str() : ""); }
    SystemRootOverride(const SystemRootOverride&) = delete;
    SystemRootOverride& operator=(const SystemRootOverride&) = delete;

private:
    std::string m_old;
    bool m_bHad = false;
};

class InstallFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_redirect.active());
        ASSERT_TRUE(m_shared.loaded());
        ASSERT_TRUE(TestFiles::MakeFolders("D:\\inst"));
    }

    RegistryRedirect m_redirect;
    LoadedShared m_shared;
};

TEST_F(InstallFolderTest, ExistingFolderGetsABackslashAndTheRegistryIsLeftAlone)
{
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\inst\\existing"));
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath,
                                            "D:\\inst\\existing"));
    EXPECT_STREQ(m_shared.GetZymDirectory(), "D:\\inst\\existing\\");
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath),
              "D:\\inst\\existing");
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_CURRENT_USER, kCompany));
}

TEST_F(InstallFolderTest, TrailingBackslashIsNotDoubled)
{
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\inst\\slashed"));
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath,
                                            "D:\\inst\\slashed\\"));
    EXPECT_STREQ(m_shared.GetZymDirectory(), "D:\\inst\\slashed\\");
}

TEST_F(InstallFolderTest, CompanyKeyUnderTheUserHiveIsFound)
{
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_CURRENT_USER, kClient, kInstallPath,
                                            "D:\\inst\\user"));
    EXPECT_STREQ(m_shared.GetZymDirectory(), "D:\\inst\\user\\");
    EXPECT_TRUE(TestFiles::IsFolder("D:\\inst\\user")) << "one missing level is created";
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_LOCAL_MACHINE, kCompany));
}

TEST_F(InstallFolderTest, FolderThatCannotBeCreatedLeadsToTheDriveScan)
{
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath,
                                            "D:\\inst\\no\\such\\parent"));
    EXPECT_EQ(m_shared.GetZymDirectory(), kDriveC);
    EXPECT_TRUE(TestFiles::IsFolder(kDriveC));
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath), kDriveC);
}

TEST_F(InstallFolderTest, NoKeyAnywhereStoresTheScanResultAndTheCacheAnswersAfterwards)
{
    char* first = m_shared.GetZymDirectory();
    EXPECT_EQ(first, kDriveC);
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath), kDriveC);
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_CURRENT_USER, kCompany));

    // Neither the registry nor the folder is looked at again.
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, kCompany), ERROR_SUCCESS);
    ASSERT_TRUE(RemoveDirectoryA(kDriveC.c_str()));
    char* second = m_shared.GetZymDirectory();
    EXPECT_EQ(second, first);
    EXPECT_EQ(std::string(second), kDriveC);
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_LOCAL_MACHINE, kCompany));
    EXPECT_FALSE(TestFiles::Exists(kDriveC));
}

TEST(InstallFolderFallbackTest, ChoiceIsStoredUnderTheUserHiveWhenTheMachineRefuses)
{
    RegistryRedirect redirect(true);
    ASSERT_TRUE(redirect.active());
    LoadedShared shared;
    ASSERT_TRUE(shared.loaded());
    EXPECT_EQ(shared.GetZymDirectory(), kDriveC);
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_CURRENT_USER, kClient, kInstallPath), kDriveC);
}

TEST_F(InstallFolderTest, FirstDriveWithAProgramFilesFolderWins)
{
    HiddenFolder programFiles("C:\\Program Files");
    ASSERT_TRUE(programFiles.hidden());
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\Program Files"));
    const std::string driveD = "d:\\Program Files\\QuillMarsh\\";
    EXPECT_EQ(m_shared.GetZymDirectory(), driveD);
    EXPECT_TRUE(TestFiles::IsFolder(driveD));
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath), driveD);
    ASSERT_TRUE(RemoveDirectoryA(driveD.c_str()));
    ASSERT_TRUE(RemoveDirectoryA("D:\\Program Files"));
}

TEST_F(InstallFolderTest, WithoutADriveTheSystemFolderIsUsedWithoutBackslash)
{
    HiddenFolder programFiles("C:\\Program Files");
    ASSERT_TRUE(programFiles.hidden());
    const char* systemRoot = getenv("SystemRoot");
    ASSERT_NE(systemRoot, nullptr);
    const std::string expected = std::string(systemRoot) + "\\QuillMarsh";
    EXPECT_EQ(m_shared.GetZymDirectory(), expected);
    EXPECT_TRUE(TestFiles::IsFolder(expected));
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath), expected);
}

TEST_F(InstallFolderTest, SystemFolderThatCannotBeCreatedIsReturnedButNotStored)
{
    HiddenFolder programFiles("C:\\Program Files");
    ASSERT_TRUE(programFiles.hidden());
    SystemRootOverride root("D:\\inst\\missing\\deeper");
    EXPECT_STREQ(m_shared.GetZymDirectory(), "D:\\inst\\missing\\deeper\\QuillMarsh");
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_LOCAL_MACHINE, kCompany));
    EXPECT_FALSE(RegistryRedirect::KeyExists(HKEY_CURRENT_USER, kCompany));
}

TEST_F(InstallFolderTest, WithoutSystemRootTheWindowsFolderStandsIn)
{
    HiddenFolder programFiles("C:\\Program Files");
    ASSERT_TRUE(programFiles.hidden());
    SystemRootOverride root("");
    ASSERT_EQ(getenv("SystemRoot"), nullptr);
    char windows[MAX_PATH];
    ASSERT_NE(GetWindowsDirectoryA(windows, sizeof(windows)), 0u);
    EXPECT_EQ(m_shared.GetZymDirectory(), std::string(windows) + "\\QuillMarsh");
}

// The cache holds 512 bytes. A value that fills it, with or without its
// terminator, must neither run past it nor be cut into another folder.
TEST_F(InstallFolderTest, ValuesThatFillTheCacheAreNotUsed)
{
    const std::string text = "D:\\inst\\" + std::string(511 - 8, 'v');
    ASSERT_EQ(text.size(), 511u);
    ASSERT_TRUE(RegistryRedirect::SetRaw(HKEY_LOCAL_MACHINE, kClient, kInstallPath, REG_SZ,
                                         text.data(), 511));
    const char* folder = m_shared.GetZymDirectory();
    ASSERT_NE(memchr(folder, '\0', 512), nullptr);
    EXPECT_EQ(folder, kDriveC);
    // The drive scan rewrites only the front of the cache: a backslash left
    // in its last byte means the terminator went past it.
    EXPECT_EQ(folder[511], '\0');
}

TEST_F(InstallFolderTest, ValueOf511CharactersWithTerminatorIsNotUsed)
{
    const std::string text = "D:\\inst\\" + std::string(511 - 8, 'w');
    ASSERT_TRUE(RegistryRedirect::SetRaw(HKEY_LOCAL_MACHINE, kClient, kInstallPath, REG_SZ,
                                         text.c_str(), 512));
    const char* folder = m_shared.GetZymDirectory();
    ASSERT_NE(memchr(folder, '\0', 512), nullptr);
    EXPECT_EQ(folder, kDriveC);
    EXPECT_EQ(folder[511], '\0');
    EXPECT_EQ(RegistryRedirect::GetString(HKEY_LOCAL_MACHINE, kClient, kInstallPath), kDriveC);
}

TEST_F(InstallFolderTest, UnterminatedValueOfAnExistingFolderIsUsed)
{
    ASSERT_TRUE(TestFiles::MakeFolders("D:\\inst\\unterminated"));
    const std::string text = "D:\\inst\\unterminated";
    ASSERT_TRUE(RegistryRedirect::SetRaw(HKEY_LOCAL_MACHINE, kClient, kInstallPath, REG_SZ,
                                         text.data(), static_cast<DWORD>(text.size())));
    EXPECT_STREQ(m_shared.GetZymDirectory(), "D:\\inst\\unterminated\\");
}

} // namespace

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "ChatLogSetting.h"
#include "EventRecorder.h"
#include "RegistryRedirect.h"
#include "TestChat.h"

// Nothing listens on 127.0.1.254.

namespace
{
    const int kWait = 3000;

    std::string TempPath()
    {
        char folder[MAX_PATH];
        char path[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "zls", 0, path);
        return path;
    }

    std::string Read(const std::string& path)
    {
        std::ifstream in(path.c_str());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    class ChatLogSetting : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(m_Registry.active());
            m_Path = TempPath();
        }
        void TearDown() override { DeleteFileA(m_Path.c_str()); }

        RegistryRedirect m_Registry;
        std::string m_Path;
    };
}

TEST_F(ChatLogSetting, TheNamedFileIsOpenedForAppendingAndGetsTheEntries)
{
    {
        std::ofstream earlier(m_Path.c_str());
        earlier << "an earlier run\n";
    }
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_CURRENT_USER, kChatLogKey, "ChatLogFile",
                                            m_Path.c_str()));
    EventRecorder sink;
    std::unique_ptr<TestChat> chat(new TestChat());
    ASSERT_NE(nullptr, chat->m_pLogFile);
    chat->SetEventSink(&sink);
    chat->ConnectToServer("ircs://127.0.1.254");
    ASSERT_TRUE(sink.WaitForError(-1001, kWait));
    ASSERT_TRUE(chat->ThreadEnded(kWait));
    chat.reset();

    std::string log = Read(m_Path);
    EXPECT_EQ(0u, log.find("an earlier run\n")) << log;
    EXPECT_NE(std::string::npos, log.find("m_TCPSocket->Connect() returned 8810")) << log;
    EXPECT_NE(std::string::npos, log.find("In ~ZymChat()")) << log;
}

TEST_F(ChatLogSetting, NoValueAnEmptyOneAnotherTypeOrAnUnopenableFileMeanNoLog)
{
    std::unique_ptr<TestChat> chat(new TestChat());
    EXPECT_EQ(nullptr, chat->m_pLogFile) << "no value";

    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_CURRENT_USER, kChatLogKey, "ChatLogFile", ""));
    chat.reset(new TestChat());
    EXPECT_EQ(nullptr, chat->m_pLogFile) << "an empty value";

    std::string missingFolder = m_Path + ".missing\\chat.log";
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_CURRENT_USER, kChatLogKey, "ChatLogFile",
                                            missingFolder.c_str()));
    chat.reset(new TestChat());
    EXPECT_EQ(nullptr, chat->m_pLogFile) << "a file in a folder that does not exist";

    DWORD nNumber = 7;
    ASSERT_TRUE(RegistryRedirect::SetRaw(HKEY_CURRENT_USER, kChatLogKey, "ChatLogFile", REG_DWORD,
                                         &nNumber, sizeof(nNumber)));
    chat.reset(new TestChat());
    EXPECT_EQ(nullptr, chat->m_pLogFile) << "a number";
}

TEST_F(ChatLogSetting, AMalformedServerTextFailsLikeAnUnresolvableHostAndIsLogged)
{
    ASSERT_TRUE(RegistryRedirect::SetString(HKEY_CURRENT_USER, kChatLogKey, "ChatLogFile",
                                            m_Path.c_str()));
    EventRecorder sink;
    std::unique_ptr<TestChat> chat(new TestChat());
    chat->SetEventSink(&sink);
    const char* const texts[] = {"", "ircs://", "localhost:0", "localhost:65536", "irc://localhost"};
    size_t nReports = 0;
    for (const char* pszText : texts)
    {
        EXPECT_EQ(1, chat->ConnectToServer(pszText));
        ASSERT_TRUE(sink.WaitForCount(++nReports, kWait)) << pszText;
        ASSERT_TRUE(chat->ThreadEnded(kWait));
    }
    for (const RecordedEvent& event : sink.Events())
    {
        EXPECT_EQ(RecordedEvent::Error, event.kind);
        EXPECT_EQ(-1001, event.nCode);
        EXPECT_EQ("-1001 connection error occured", event.text);
    }
    chat.reset();
    std::string log = Read(m_Path);
    size_t nEntries = 0;
    for (size_t at = log.find("The server text is malformed"); at != std::string::npos;
         at = log.find("The server text is malformed", at + 1))
        ++nEntries;
    EXPECT_EQ(5u, nEntries) << log;
}

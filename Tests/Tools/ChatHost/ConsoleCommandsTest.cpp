#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ConsoleCommands.h"
#include "ConsoleWriter.h"
#include "RecordingChat.h"

namespace
{
class ConsoleCommandsTest : public ::testing::Test
{
protected:
    ConsoleCommandsTest() : m_pFile(std::tmpfile()), out(m_pFile), commands(chat, out) {}
    ~ConsoleCommandsTest() override { std::fclose(m_pFile); }

    // Everything the commands printed so far.
    std::string Printed()
    {
        std::fflush(m_pFile);
        std::rewind(m_pFile);
        std::string text;
        for (int c; (c = std::fgetc(m_pFile)) != EOF;)
        {
            text += static_cast<char>(c);
        }
        return text;
    }

    FILE* m_pFile;
    RecordingChat chat;
    ConsoleWriter out;
    ConsoleCommands commands;
};

typedef std::vector<std::string> Calls;

TEST_F(ConsoleCommandsTest, PlainLinesGoToTheChannelJoinedLast)
{
    EXPECT_TRUE(commands.Execute("hello?"));
    EXPECT_TRUE(chat.calls.empty());
    EXPECT_NE(std::string::npos, Printed().find("no channel"));

    commands.Execute("/join #a");
    commands.Execute("/join #b secret");
    commands.Execute("hello  there: you");
    commands.Execute("//slash first");
    EXPECT_EQ((Calls{"JoinChannel #a 0", "JoinChannel #b 3",
                     "SendChannelMessage #b hello  there: you", "SendChannelMessage #b /slash first"}),
              chat.calls);
    EXPECT_EQ("#b", commands.CurrentChannel());
}

TEST_F(ConsoleCommandsTest, LeavingTheCurrentChannelStopsPlainLines)
{
    commands.Execute("/join #a");
    commands.Execute("/channel #z");
    commands.Execute("/leave #a");
    EXPECT_EQ("#z", commands.CurrentChannel()) << "leaving another channel keeps the current one";
    commands.Execute("/leave");
    commands.Execute("lost");
    EXPECT_EQ((Calls{"JoinChannel #a 0", "LeaveChannel #a", "LeaveChannel #z"}), chat.calls);
    EXPECT_TRUE(commands.CurrentChannel().empty());
}

TEST_F(ConsoleCommandsTest, CommandArgumentsReachTheRightParameters)
{
    commands.Execute("/join #a");
    commands.Execute("/invite bob");
    commands.Execute("/invite carol #b");
    commands.Execute("/msg #c  two  words");
    commands.Execute("/notice #a ZYMATTRIBUPDATE k v");
    commands.Execute("/attr home http://a.test:8080/x");
    commands.Execute("/mode #a +k secret");
    commands.Execute("/mode #a +s");
    commands.Execute("/names");
    commands.Execute("/names #b");
    commands.Execute("/list");
    commands.Execute("/nick zed");
    EXPECT_EQ((Calls{"JoinChannel #a 0", "SendInvite #a bob", "SendInvite #b carol",
                     "SendChannelMessage #c two  words", "SendNotice #a ZYMATTRIBUPDATE k v (null)",
                     "SendAttributeUpdate home http://a.test:8080/x", "SetMode #a +k secret",
                     "SetMode #a +s (null)", "RequestNames #a", "RequestNames #b", "ListChannels",
                     "SetNickname zed"}),
              chat.calls);
}

TEST_F(ConsoleCommandsTest, IncompleteOrUnknownCommandsSendNothing)
{
    for (const char* line : {"/join", "/msg #a", "/attr key", "/nick", "/mode #a", "/frobnicate"})
    {
        EXPECT_TRUE(commands.Execute(line)) << line;
    }
    EXPECT_TRUE(chat.calls.empty());
    EXPECT_NE(std::string::npos, Printed().find("not understood: /frobnicate"));
}

TEST_F(ConsoleCommandsTest, RefusedMessagesAreExplained)
{
    commands.Execute("/join #a");
    chat.messageResult = -1;
    commands.Execute("first");
    chat.messageResult = 0;
    commands.Execute("second");
    std::string printed = Printed();
    EXPECT_NE(std::string::npos, printed.find("not in #a"));
    EXPECT_NE(std::string::npos, printed.find("could not be queued"));
}

TEST_F(ConsoleCommandsTest, LinesThatCannotBecomeOneProtocolLineAreRefused)
{
    commands.Execute("/join #a");
    commands.Execute(std::string(400, 'x'));
    commands.Execute(std::string(401, 'y'));
    commands.Execute("/msg #a " + std::string(393, 'z'));
    commands.Execute("hi\rQUIT :gone");
    commands.Execute("/notice #a hi\nNICK other");
    commands.Execute(std::string("cut\0short", 9));
    EXPECT_EQ((Calls{"JoinChannel #a 0", "SendChannelMessage #a " + std::string(400, 'x')}), chat.calls);
    std::string printed = Printed();
    EXPECT_NE(std::string::npos, printed.find("longer than 400 characters"));
    EXPECT_NE(std::string::npos, printed.find("CR, LF or NUL"));
}

TEST_F(ConsoleCommandsTest, QuitEndsTheSession)
{
    EXPECT_FALSE(commands.Execute("/quit"));
    EXPECT_EQ((Calls{"Quit"}), chat.calls);
}
}

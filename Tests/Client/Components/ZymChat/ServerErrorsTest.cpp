#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ChannelEntry.h"
#include "ChatUnderTest.h"

namespace
{
    struct Expected
    {
        int nNumeric;
        const char* pszText;
    };

    const Expected kListed[] = {
        {401, "401-No such nick"},
        {402, "402-No such server"},
        {403, "403-No such channel"},
        {404, "404-Cannot send to channel"},
        {405, "405-Too many channels"},
        {406, "406-No such nick"},
        {409, "409-No origin"},
        {411, "411-No recipient"},
        {412, "412-No text to send"},
        {421, "421-Unknown command"},
        {422, "422-No MOTD"},
        {424, "424-File error"},
        {431, "431-No nickname parameter given"},
        {432, "432-Invalid nickname"},
        {433, "433-Nickname in use"},
        {436, "436-Nickname collision"},
        {441, "441-User not in channel"},
        {442, "442-User not in channel (for channel op)"},
        {461, "461-Need more params"},
        {471, "471-Cannot Join Channel (Full)"},
        {482, "482-ERR_CHANOPRIVSNEEDED"},
    };

    std::string ErrorLine(int nNumeric)
    {
        return ":irc.test " + std::to_string(nNumeric) + " me #x :the server's own words";
    }
}

TEST(ServerErrors, HostAnsweringZeroHearsEachListedErrorOnceAndNothingChanges)
{
    EventRecorder sink(0);
    ChatUnderTest chat(sink);
    for (const Expected& listed : kListed)
        chat.Dispatch(ErrorLine(listed.nNumeric));

    std::vector<RecordedEvent> errors = sink.Errors();
    ASSERT_EQ(sizeof(kListed) / sizeof(kListed[0]), errors.size());
    for (size_t i = 0; i < errors.size(); ++i)
    {
        EXPECT_EQ(kListed[i].nNumeric, errors[i].nCode);
        EXPECT_EQ(kListed[i].pszText, errors[i].text);
    }
    EXPECT_EQ(errors.size(), sink.Events().size());
    EXPECT_EQ("me", chat.Nickname());
}

TEST(ServerErrors, UnlistedNumericsAreIgnored)
{
    EventRecorder sink(1);
    ChatUnderTest chat(sink);
    for (int nNumeric : {400, 407, 408, 410, 437, 450, 499, 500, 301, 1})
        chat.Dispatch(ErrorLine(nNumeric));
    chat.Dispatch(":irc.test 366 me #x :End of NAMES list");
    chat.Dispatch(":irc.test 376 me :End of MOTD command");
    chat.Dispatch(":irc.test ERROR :Closing link");
    EXPECT_TRUE(sink.Events().empty());
    EXPECT_EQ("me", chat.Nickname());
}

TEST(ServerErrors, NumericIsReadAsTheLeadingNumberOfTheCommandWord)
{
    EventRecorder sink(0);
    ChatUnderTest chat(sink);
    chat.Dispatch(":irc.test 433abc * me :Nickname is already in use");
    chat.Dispatch("404 me #x :Cannot send to channel");
    std::vector<RecordedEvent> errors = sink.Errors();
    ASSERT_EQ(2u, errors.size());
    EXPECT_EQ(433, errors[0].nCode);
    EXPECT_EQ(404, errors[1].nCode);
}

TEST(ServerErrors, NonzeroAnswerToNicknameInUseOrCollisionClearsTheNickname)
{
    for (int nNumeric : {433, 436})
    {
        EventRecorder sink(1);
        ChatUnderTest chat(sink);
        chat.Dispatch(":irc.test " + std::to_string(nNumeric) + " * me :Nickname is already in use");
        EXPECT_EQ("", chat.Nickname()) << nNumeric;
        ASSERT_EQ(1u, sink.Errors().size());

        // Dispatch goes on with the next line.
        chat.Dispatch("PING :still.here");
        EXPECT_EQ(std::vector<std::string>{"PONG :still.here"}, chat.TakeQueued());
    }
}

TEST(ServerErrors, NonzeroAnswerToOtherErrorsKeepsTheNickname)
{
    EventRecorder sink(1);
    ChatUnderTest chat(sink);
    chat.Dispatch(ErrorLine(401));
    chat.Dispatch(ErrorLine(432));
    EXPECT_EQ(2u, sink.Errors().size());
    EXPECT_EQ("me", chat.Nickname());
}

TEST(ServerErrors, ZeroAnswerToNicknameInUseKeepsTheNickname)
{
    EventRecorder sink(0);
    ChatUnderTest chat(sink);
    chat.Dispatch(":irc.test 433 * me :Nickname is already in use");
    EXPECT_EQ("me", chat.Nickname());
}

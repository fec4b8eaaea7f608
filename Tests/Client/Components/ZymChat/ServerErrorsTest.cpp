#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// What the host hears and what the component keeps, by the line and the
// host's answer; each line on a fresh component, which goes on with the next
// line afterwards.
TEST(ServerErrors, TheHostsAnswerDecidesWhatIsKept)
{
    struct Case
    {
        std::string line;
        int nAnswer;
        // The code reported, or 0 when the line is not reported at all.
        int nReported;
        const char* pszNicknameAfter;
    };
    std::vector<Case> cases = {
        // Read as the leading number of the command word, prefix or not.
        {":irc.test 433abc * me :Nickname is already in use", 0, 433, "me"},
        {"404 me #x :Cannot send to channel", 0, 404, "me"},
        // A refused nickname is kept unless the host answers nonzero.
        {":irc.test 433 * me :Nickname is already in use", 0, 433, "me"},
        {":irc.test 433 * me :Nickname is already in use", 1, 433, ""},
        {":irc.test 436 * me :Nickname collision", 1, 436, ""},
        {ErrorLine(401), 1, 401, "me"},
        {ErrorLine(432), 1, 432, "me"},
        {":irc.test 366 me #x :End of NAMES list", 1, 0, "me"},
        {":irc.test 376 me :End of MOTD command", 1, 0, "me"},
        {":irc.test ERROR :Closing link", 1, 0, "me"},
    };
    for (int nNumeric : {400, 407, 408, 410, 437, 450, 499, 500, 301, 1})
        cases.push_back({ErrorLine(nNumeric), 1, 0, "me"});

    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line + " answered " + std::to_string(c.nAnswer));
        EventRecorder sink(c.nAnswer);
        ChatUnderTest chat(sink);
        chat.Dispatch(c.line);
        std::vector<RecordedEvent> events = sink.Events();
        if (c.nReported == 0)
        {
            EXPECT_TRUE(events.empty());
        }
        else
        {
            ASSERT_EQ(1u, events.size());
            EXPECT_EQ(RecordedEvent::Error, events[0].kind);
            EXPECT_EQ(c.nReported, events[0].nCode);
        }
        EXPECT_EQ(c.pszNicknameAfter, chat.Nickname());

        chat.Dispatch("PING :still.here");
        EXPECT_EQ(std::vector<std::string>{"PONG :still.here"}, chat.TakeQueued());
    }
}

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "LineAssembler.h"

namespace
{
    // Feeds the text in pieces of at most nPiece bytes, as reads would.
    std::vector<std::string> Feed(LineAssembler& lines, const std::string& text, size_t nPiece)
    {
        std::vector<std::string> seen;
        for (size_t nAt = 0; nAt < text.size(); nAt += nPiece)
        {
            size_t nCount = std::min(nPiece, text.size() - nAt);
            char* pTail = lines.ReserveTail(static_cast<int>(nCount));
            std::memcpy(pTail, text.data() + nAt, nCount);
            lines.Commit(static_cast<int>(nCount), [&](char* pszLine) { seen.push_back(pszLine); });
        }
        return seen;
    }
}

TEST(LineAssembler, LinesOfOneReadComeOutInOrderEmptyOnesIncluded)
{
    LineAssembler lines;
    auto seen = Feed(lines, "one\r\n\r\nthree\r\n", 128);
    EXPECT_EQ((std::vector<std::string>{"one", "", "three"}), seen);
    EXPECT_EQ(0, lines.Held());
}

TEST(LineAssembler, ShortReadEndingInsideALineIsCompletedByTheNextRead)
{
    LineAssembler lines;
    auto first = Feed(lines, ":srv 372 me :- hel", 128);
    EXPECT_TRUE(first.empty());
    EXPECT_EQ(18, lines.Held());
    auto second = Feed(lines, "lo\r\nPING :x\r\n", 128);
    EXPECT_EQ((std::vector<std::string>{":srv 372 me :- hello", "PING :x"}), second);
}

TEST(LineAssembler, CrAndLfInDifferentReadsStillEndTheLine)
{
    LineAssembler lines;
    EXPECT_TRUE(Feed(lines, "abc\r", 128).empty());
    EXPECT_EQ((std::vector<std::string>{"abc", "def"}), Feed(lines, "\ndef\r\n", 128));
}

TEST(LineAssembler, ByteByByteReadsGiveTheSameLines)
{
    LineAssembler lines;
    auto seen = Feed(lines, "NICK a\r\nbare\rcr\r\n", 1);
    EXPECT_EQ((std::vector<std::string>{"NICK a", "bare\rcr"}), seen);
}

TEST(LineAssembler, LinesLongerThanTheLimitAreDroppedAndTheNextOneKept)
{
    LineAssembler lines;
    std::string longLine(LineAssembler::kMaxLineLength + 1, 'x');
    auto seen = Feed(lines, longLine + "\r\nafter\r\n", 128);
    EXPECT_EQ((std::vector<std::string>{"after"}), seen);

    // The same line arriving whole in one read is dropped just the same.
    LineAssembler whole;
    seen = Feed(whole, longLine + "\r\nafter\r\n", longLine.size() + 9);
    EXPECT_EQ((std::vector<std::string>{"after"}), seen);
}

TEST(LineAssembler, ALineOfExactlyTheLimitIsKept)
{
    LineAssembler lines;
    std::string limitLine(LineAssembler::kMaxLineLength, 'y');
    auto seen = Feed(lines, limitLine + "\r\n", 128);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(limitLine, seen[0]);
}

TEST(LineAssembler, EndlessBytesWithoutCrLfKeepTheBufferBounded)
{
    LineAssembler lines;
    std::string flood(200000, 'z');
    auto seen = Feed(lines, flood, 128);
    EXPECT_TRUE(seen.empty());
    EXPECT_LE(lines.Capacity(), 4 * LineAssembler::kMaxLineLength);
    EXPECT_LE(lines.Held(), LineAssembler::kMaxLineLength + 1);
    // The stream recovers at the CR LF that ends the dropped line, even when
    // the CR is the last byte of one read.
    EXPECT_TRUE(Feed(lines, "\r", 128).empty());
    EXPECT_EQ((std::vector<std::string>{"PING :ok"}), Feed(lines, "\nPING :ok\r\n", 128));
}

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "ConsoleWriter.h"

namespace
{
std::string WrittenBy(const std::string& line)
{
    FILE* pFile = std::tmpfile();
    {
        ConsoleWriter out(pFile);
        out.WriteLine(line);
    }
    std::rewind(pFile);
    std::string text;
    for (int c; (c = std::fgetc(pFile)) != EOF;)
    {
        text += static_cast<char>(c);
    }
    std::fclose(pFile);
    return text;
}
}

TEST(ConsoleWriter, ControlCharactersFromTheServerAreShownAsQuestionMarks)
{
    EXPECT_EQ("a?[2Jb?c?d?\n", WrittenBy("a\x1b[2Jb\x07" "c\rd\x7f"));
    EXPECT_EQ("two\nlines\twith tab\n", WrittenBy("two\nlines\twith tab"));
    EXPECT_EQ("caf\xc3\xa9\n", WrittenBy("caf\xc3\xa9"));
}

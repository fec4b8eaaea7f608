// Server lines through the message parser: any bytes up to the first NUL are
// one line. Checked: a line that parses serialises to a line that parses to
// the same message, and that line serialises to itself again; a serialised
// line holds no NUL, and no more parameters come out than the grammar allows.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "IrcMessage.h"

namespace
{
    [[noreturn]] void Finding(const char* pszWhat, const std::string& line)
    {
        std::fprintf(stderr, "FINDING: %s: [%s]\n", pszWhat, line.c_str());
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string line(reinterpret_cast<const char*>(pData), nSize);
    IrcMessage first;
    if (!first.Parse(line.c_str()))
        return 0;
    if (first.ParameterCount() > IrcMessage::kMaxParameters)
        Finding("more parameters than the grammar allows", line);
    const std::string serialised = first.Serialise();
    if (serialised.find('\0') != std::string::npos)
        Finding("serialised line holds NUL", line);
    IrcMessage second;
    if (!second.Parse(serialised.c_str()))
        Finding("serialised line does not parse", serialised);
    if (second != first)
        Finding("serialised line parses to another message", serialised);
    if (second.Serialise() != serialised)
        Finding("serialising is not stable", serialised);
    return 0;
}

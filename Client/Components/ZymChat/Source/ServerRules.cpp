#include "ServerRules.h"

#include <cstdlib>

#include "IrcMessage.h"

namespace
{
    const char* const kDefaultChannelTypes = "#&";
    // "(ov)@+": the marks of operators and voiced members.
    const char* const kDefaultMemberMarks = "@+";

    size_t LengthValue(const std::string& value)
    {
        if (value.empty() || value.size() > 6 ||
            value.find_first_not_of("0123456789") != std::string::npos)
            return 0;
        return static_cast<size_t>(std::atoi(value.c_str()));
    }
}

ServerRules::ServerRules()
    : m_ChannelTypes(kDefaultChannelTypes),
      m_MemberMarks(kDefaultMemberMarks),
      m_CaseMapping(CaseMapping::Rfc1459),
      m_nNicknameLength(0),
      m_nChannelLength(0)
{
}

void ServerRules::Read(const IrcMessage& message)
{
    if (message.Numeric() != 5)
        return;
    // ":server 005 nick TOKEN TOKEN ... :are supported by this server": the
    // first parameter is our nickname, and the closing text holds blanks.
    for (size_t i = 1; i < message.ParameterCount(); ++i)
    {
        const std::string& token = message.Parameter(i);
        if (!token.empty() && token.find(' ') == std::string::npos)
            ReadToken(token);
    }
}

void ServerRules::ReadToken(const std::string& token)
{
    // "-KEY" takes a token back to its default.
    bool bNegated = token[0] == '-';
    std::string::size_type nEquals = token.find('=');
    std::string key = token.substr(bNegated ? 1 : 0, nEquals == std::string::npos
                                                         ? std::string::npos
                                                         : nEquals - (bNegated ? 1 : 0));
    std::string value = nEquals == std::string::npos ? std::string() : token.substr(nEquals + 1);

    if (key == "CHANTYPES")
    {
        m_ChannelTypes = bNegated ? kDefaultChannelTypes : value;
    }
    else if (key == "PREFIX")
    {
        // "(modes)marks"; an empty value: no marks at all.
        std::string::size_type nClose = value.find(')');
        if (bNegated)
            m_MemberMarks = kDefaultMemberMarks;
        else if (value.empty())
            m_MemberMarks.clear();
        else if (value[0] == '(' && nClose != std::string::npos)
            m_MemberMarks = value.substr(nClose + 1);
    }
    else if (key == "CASEMAPPING")
    {
        if (bNegated || value == "rfc1459")
            m_CaseMapping = CaseMapping::Rfc1459;
        else if (value == "strict-rfc1459")
            m_CaseMapping = CaseMapping::StrictRfc1459;
        else
            // ASCII, and any mapping this component does not know: folding
            // fewer letters never makes two of the server's names one.
            m_CaseMapping = CaseMapping::Ascii;
    }
    else if (key == "NICKLEN")
    {
        m_nNicknameLength = bNegated ? 0 : LengthValue(value);
    }
    else if (key == "CHANNELLEN")
    {
        m_nChannelLength = bNegated ? 0 : LengthValue(value);
    }
}

bool ServerRules::IsChannel(const std::string& name) const
{
    return !name.empty() && m_ChannelTypes.find(name[0]) != std::string::npos;
}

std::string ServerRules::WithoutMemberMarks(const std::string& entry) const
{
    std::string::size_type nStart = entry.find_first_not_of(m_MemberMarks);
    return nStart == std::string::npos ? std::string() : entry.substr(nStart);
}

char ServerRules::FoldCharacter(char c) const
{
    return FoldCharacterUnder(c, m_CaseMapping);
}

char ServerRules::FoldCharacterUnder(char c, CaseMapping mapping)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    if (mapping == CaseMapping::Ascii)
        return c;
    // RFC 1459: "[]\" are the upper case of "{}|", and "~" that of "^"
    // except in the strict mapping.
    switch (c)
    {
    case '[':
        return '{';
    case ']':
        return '}';
    case '\\':
        return '|';
    case '~':
        return mapping == CaseMapping::Rfc1459 ? '^' : c;
    default:
        return c;
    }
}

std::string ServerRules::IndexKey(const std::string& name)
{
    std::string folded(name);
    for (char& c : folded)
        c = FoldCharacterUnder(c, CaseMapping::Rfc1459);
    return folded;
}

bool ServerRules::SameName(const std::string& left, const std::string& right) const
{
    if (left.size() != right.size())
        return false;
    for (size_t i = 0; i < left.size(); ++i)
    {
        if (FoldCharacter(left[i]) != FoldCharacter(right[i]))
            return false;
    }
    return true;
}

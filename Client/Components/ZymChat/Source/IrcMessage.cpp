#include "IrcMessage.h"

#include <cstring>
#include <unordered_map>

namespace
{
    const char* SkipBlanks(const char* p)
    {
        while (*p == ' ')
            ++p;
        return p;
    }

    const char* WordEnd(const char* p)
    {
        while (*p != ' ' && *p != '\0')
            ++p;
        return p;
    }

    bool IsLetter(char c)
    {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    }

    bool IsDigit(char c)
    {
        return c >= '0' && c <= '9';
    }

    // A word of letters, or a numeric: three digits. A word that goes on
    // after three digits is read as the numeric its leading digits give,
    // as this component always read it.
    bool IsCommand(const std::string& word)
    {
        if (word.size() >= 3 && IsDigit(word[0]) && IsDigit(word[1]) && IsDigit(word[2]))
            return true;
        if (word.empty())
            return false;
        for (char c : word)
        {
            if (!IsLetter(c))
                return false;
        }
        return true;
    }

    // IRCv3 message tags: "\:" is ";", "\s" a blank, "\\" a backslash, "\r"
    // and "\n" the line breaks; any other escaped character stands for
    // itself and a lone backslash at the end is dropped.
    std::string UnescapeTagValue(const char* p, const char* pEnd)
    {
        std::string value;
        for (; p < pEnd; ++p)
        {
            if (*p != '\\')
            {
                value += *p;
                continue;
            }
            if (++p == pEnd)
                break;
            switch (*p)
            {
            case ':':
                value += ';';
                break;
            case 's':
                value += ' ';
                break;
            case 'r':
                value += '\r';
                break;
            case 'n':
                value += '\n';
                break;
            default:
                value += *p;
                break;
            }
        }
        return value;
    }

    void AppendEscapedTagValue(std::string& line, const std::string& value)
    {
        for (char c : value)
        {
            switch (c)
            {
            case ';':
                line += "\\:";
                break;
            case ' ':
                line += "\\s";
                break;
            case '\\':
                line += "\\\\";
                break;
            case '\r':
                line += "\\r";
                break;
            case '\n':
                line += "\\n";
                break;
            default:
                line += c;
                break;
            }
        }
    }

    const std::string kNone;
}

IrcMessage::IrcMessage() : m_bHasPrefix(false)
{
}

void IrcMessage::Clear()
{
    m_Tags.clear();
    m_bHasPrefix = false;
    m_Source.clear();
    m_User.clear();
    m_Host.clear();
    m_Command.clear();
    m_Parameters.clear();
}

void IrcMessage::ParseTags(const char* pBegin, const char* pEnd)
{
    // A line may carry thousands of short tags: each key is found through
    // an index, so repeats cost no scan of the tags before them.
    std::unordered_map<std::string, size_t> index;
    for (const char* p = pBegin; p < pEnd;)
    {
        const char* pTagEnd = static_cast<const char*>(std::memchr(p, ';', pEnd - p));
        if (pTagEnd == nullptr)
            pTagEnd = pEnd;
        const char* pEquals = static_cast<const char*>(std::memchr(p, '=', pTagEnd - p));
        const char* pKeyEnd = pEquals != nullptr ? pEquals : pTagEnd;
        // A tag without a key carries nothing; a repeated key keeps its
        // first place and its last value.
        if (pKeyEnd > p)
        {
            std::string value;
            if (pEquals != nullptr)
                value = UnescapeTagValue(pEquals + 1, pTagEnd);
            auto found = index.emplace(std::string(p, pKeyEnd), m_Tags.size());
            if (found.second)
                m_Tags.push_back(Tag{found.first->first, std::move(value)});
            else
                m_Tags[found.first->second].m_Value = std::move(value);
        }
        p = pTagEnd + 1;
    }
}

void IrcMessage::ParsePrefix(const char* pBegin, const char* pEnd)
{
    // nick [ "!" user ] [ "@" host ]: the nickname ends at the first "!" or
    // "@"; a user part ends at the first "@" after its "!".
    const char* pNickEnd = pBegin;
    while (pNickEnd < pEnd && *pNickEnd != '!' && *pNickEnd != '@')
        ++pNickEnd;
    m_Source.assign(pBegin, pNickEnd);
    const char* p = pNickEnd;
    if (p < pEnd && *p == '!')
    {
        const char* pUserEnd = p + 1;
        while (pUserEnd < pEnd && *pUserEnd != '@')
            ++pUserEnd;
        m_User.assign(p + 1, pUserEnd);
        p = pUserEnd;
    }
    if (p < pEnd && *p == '@')
        m_Host.assign(p + 1, pEnd);
}

bool IrcMessage::Parse(const char* pszLine)
{
    Clear();
    if (pszLine == nullptr)
        return false;
    const char* p = pszLine;
    if (*p == '@')
    {
        const char* pEnd = WordEnd(p + 1);
        ParseTags(p + 1, pEnd);
        p = SkipBlanks(pEnd);
    }
    if (*p == ':')
    {
        const char* pEnd = WordEnd(p + 1);
        ParsePrefix(p + 1, pEnd);
        m_bHasPrefix = true;
        if (m_Source.empty())
        {
            Clear();
            return false;
        }
        p = SkipBlanks(pEnd);
    }
    const char* pCommandEnd = WordEnd(p);
    m_Command.assign(p, pCommandEnd);
    if (!IsCommand(m_Command))
    {
        Clear();
        return false;
    }
    p = SkipBlanks(pCommandEnd);
    while (*p != '\0')
    {
        if (*p == ':' || m_Parameters.size() + 1 == kMaxParameters)
        {
            m_Parameters.push_back(std::string(*p == ':' ? p + 1 : p));
            break;
        }
        const char* pEnd = WordEnd(p);
        m_Parameters.push_back(std::string(p, pEnd));
        p = SkipBlanks(pEnd);
    }
    return true;
}

std::string IrcMessage::Serialise() const
{
    std::string line;
    if (!m_Tags.empty())
    {
        line += '@';
        for (size_t i = 0; i < m_Tags.size(); ++i)
        {
            if (i > 0)
                line += ';';
            line += m_Tags[i].m_Key;
            if (!m_Tags[i].m_Value.empty())
            {
                line += '=';
                AppendEscapedTagValue(line, m_Tags[i].m_Value);
            }
        }
        line += ' ';
    }
    if (m_bHasPrefix)
    {
        line += ':';
        line += m_Source;
        if (!m_User.empty())
            line += '!' + m_User;
        if (!m_Host.empty())
            line += '@' + m_Host;
        line += ' ';
    }
    line += m_Command;
    for (size_t i = 0; i < m_Parameters.size(); ++i)
    {
        const std::string& parameter = m_Parameters[i];
        line += ' ';
        bool bLast = i + 1 == m_Parameters.size();
        if (bLast && (parameter.empty() || parameter[0] == ':' ||
                      parameter.find(' ') != std::string::npos))
            line += ':';
        line += parameter;
    }
    return line;
}

const std::string* IrcMessage::TagValue(const std::string& key) const
{
    for (const Tag& tag : m_Tags)
    {
        if (tag.m_Key == key)
            return &tag.m_Value;
    }
    return nullptr;
}

bool IrcMessage::FromServer() const
{
    return m_bHasPrefix && m_User.empty() && m_Host.empty() &&
           m_Source.find('.') != std::string::npos;
}

int IrcMessage::Numeric() const
{
    if (m_Command.empty() || !IsDigit(m_Command[0]))
        return -1;
    int nValue = 0;
    for (size_t i = 0; i < 6 && i < m_Command.size() && IsDigit(m_Command[i]); ++i)
        nValue = nValue * 10 + (m_Command[i] - '0');
    return nValue;
}

const std::string& IrcMessage::Parameter(size_t nIndex) const
{
    return nIndex < m_Parameters.size() ? m_Parameters[nIndex] : kNone;
}

bool IrcMessage::operator==(const IrcMessage& other) const
{
    if (m_Tags.size() != other.m_Tags.size())
        return false;
    for (size_t i = 0; i < m_Tags.size(); ++i)
    {
        if (m_Tags[i].m_Key != other.m_Tags[i].m_Key ||
            m_Tags[i].m_Value != other.m_Tags[i].m_Value)
            return false;
    }
    return m_bHasPrefix == other.m_bHasPrefix && m_Source == other.m_Source &&
           m_User == other.m_User && m_Host == other.m_Host && m_Command == other.m_Command &&
           m_Parameters == other.m_Parameters;
}

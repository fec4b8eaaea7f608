#ifndef ZYM_IRCMESSAGE_H
#define ZYM_IRCMESSAGE_H

#include <cstddef>
#include <string>
#include <vector>

// One line from the server, taken apart once by the message grammar of
// RFC 1459 (section 2.3.1; RFC 2812 where the two differ) with the message
// tags of IRCv3 before it:
//
//   [@tags SPACE] [:prefix SPACE] command {SPACE middle} [SPACE :trailing]
//
// Handlers read the fields and never the text: what a word means follows
// from its place in the grammar, not from where a character happens to fall.
class IrcMessage
{
public:
    // RFC 2812: after fourteen middle parameters the rest of the line is the
    // fifteenth, with or without its colon.
    static const size_t kMaxParameters = 15;

    struct Tag
    {
        std::string m_Key;
        // Unescaped; a tag without a value has an empty one, which the
        // tags grammar treats as the same thing.
        std::string m_Value;
    };

    IrcMessage();

    // Takes one line (without CR LF) apart; false when it is no message
    // (no command, an empty prefix, a command that is neither a word of
    // letters nor begins with three digits), and the message is then empty.
    bool Parse(const char* pszLine);
    // The line that parses to this message again.
    std::string Serialise() const;

    const std::vector<Tag>& Tags() const { return m_Tags; }
    // The tag's value, or null when the message has no such tag.
    const std::string* TagValue(const std::string& key) const;

    bool HasPrefix() const { return m_bHasPrefix; }
    // The nickname of a user's prefix, or the whole prefix of a server's.
    const std::string& Source() const { return m_Source; }
    const std::string& User() const { return m_User; }
    const std::string& Host() const { return m_Host; }
    // A prefix without user and host that holds a dot names a server:
    // nicknames hold no dots.
    bool FromServer() const;
    // A message a user sent: a prefix that is not a server's.
    bool FromUser() const { return m_bHasPrefix && !FromServer() && !m_Source.empty(); }

    const std::string& Command() const { return m_Command; }
    bool CommandIs(const char* pszCommand) const { return m_Command == pszCommand; }
    // The value of a numeric command (its leading digits, at most six),
    // else -1.
    int Numeric() const;

    size_t ParameterCount() const { return m_Parameters.size(); }
    // The parameter at nIndex, empty beyond the last.
    const std::string& Parameter(size_t nIndex) const;
    const std::vector<std::string>& Parameters() const { return m_Parameters; }

    bool operator==(const IrcMessage& other) const;
    bool operator!=(const IrcMessage& other) const { return !(*this == other); }

private:
    void Clear();
    void ParseTags(const char* pBegin, const char* pEnd);
    void ParsePrefix(const char* pBegin, const char* pEnd);

    std::vector<Tag> m_Tags;
    bool m_bHasPrefix;
    std::string m_Source;
    std::string m_User;
    std::string m_Host;
    std::string m_Command;
    std::vector<std::string> m_Parameters;
};

#endif

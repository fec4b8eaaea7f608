#ifndef ZYM_SERVERRULES_H
#define ZYM_SERVERRULES_H

#include <cstddef>
#include <string>

class IrcMessage;

// What the server says about its own names in its ISUPPORT replies (005):
// which characters begin a channel name (CHANTYPES), which marks stand before
// a member's nickname in a names reply (PREFIX), which letters are the same
// letter in another case (CASEMAPPING), and how long nicknames and channel
// names may be (NICKLEN, CHANNELLEN). Until the server says otherwise the
// RFC 1459 defaults hold.
class ServerRules
{
public:
    ServerRules();

    // Takes the tokens of one 005 line; other lines change nothing.
    void Read(const IrcMessage& message);

    bool IsChannel(const std::string& name) const;
    // A names-reply entry without the marks of its member's standing (all
    // of them: a server may send more than one).
    std::string WithoutMemberMarks(const std::string& entry) const;
    bool SameName(const std::string& left, const std::string& right) const;
    // The name folded by the widest mapping (RFC 1459's), whatever the
    // server has announced: a key that stays the same when the server
    // announces another mapping later, so what was filed under it is still
    // found and removed. Names that differ only in "[]\~" against "{}|^"
    // share a key even where the server tells them apart.
    static std::string IndexKey(const std::string& name);

    // 0 while the server has not said.
    size_t NicknameLength() const { return m_nNicknameLength; }
    size_t ChannelLength() const { return m_nChannelLength; }

private:
    enum class CaseMapping
    {
        Ascii,
        Rfc1459,
        StrictRfc1459
    };

    void ReadToken(const std::string& token);
    char FoldCharacter(char c) const;
    static char FoldCharacterUnder(char c, CaseMapping mapping);

    std::string m_ChannelTypes;
    std::string m_MemberMarks;
    CaseMapping m_CaseMapping;
    size_t m_nNicknameLength;
    size_t m_nChannelLength;
};

#endif

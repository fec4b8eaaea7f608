#ifndef ZYM_OUTGOINGLINE_H
#define ZYM_OUTGOINGLINE_H

#include <cstddef>
#include <string>

// The rules a protocol line must meet before it may be queued. A host text
// or a word from the server that holds a line break would reach the server
// as a command of its own, and a line longer than the server's limit is cut
// or refused by the server, so neither may ever go out.
namespace OutgoingLine
{
    // Characters of one line on the wire, without its CR LF.
    const size_t kMaxLength = 510;

    // True when the text can go out as exactly one line: at most kMaxLength
    // characters and no CR or LF. A null text is not sendable.
    bool IsSendable(const char* pszText);

    // True when a piece of a line (a host text, a name) holds no CR or LF.
    // A null text has none.
    bool HasNoLineBreak(const char* pszText);

    // True when "NICK " and the nickname make a sendable line.
    bool IsSendableNickname(const char* pszNickname);

    // The lines the component sends, composed in one place; whether one
    // may go out is IsSendable's to say. A null text stands for an empty
    // one; a null argument or extra word is left out with its blank.
    std::string Nick(const std::string& nickname);
    // The login's lines: a nickname cut to what a NICK line carries, and
    // the user and full names cut to 99 characters each, "..." standing for
    // an empty one.
    std::string LoginNick(const std::string& nickname);
    std::string User(const std::string& userName, const std::string& realName);
    // The answer to a PING: its token cut to what one line carries; a bare
    // "PONG" for none.
    std::string Pong(const std::string& token);
    std::string Join(const std::string& channel);
    std::string Part(const std::string& channel);
    std::string Names(const std::string& channel);
    std::string Privmsg(const std::string& target, const char* pszText);
    std::string Notice(const std::string& target, const char* pszExtra, const char* pszText);
    std::string Invite(const char* pszNickname, const std::string& channel);
    std::string Mode(const char* pszTarget, const char* pszMode, const char* pszArgument);
}

#endif

#include "OutgoingLine.h"

#include <cstring>

namespace OutgoingLine
{
    bool HasNoLineBreak(const char* pszText)
    {
        return pszText == nullptr || std::strpbrk(pszText, "\r\n") == nullptr;
    }

    bool IsSendable(const char* pszText)
    {
        return pszText != nullptr && std::strlen(pszText) <= kMaxLength &&
               HasNoLineBreak(pszText);
    }

    bool IsSendableNickname(const char* pszNickname)
    {
        return pszNickname != nullptr && std::strlen(pszNickname) + 5 <= kMaxLength &&
               HasNoLineBreak(pszNickname);
    }

    namespace
    {
        const size_t kLoginFieldLimit = 99;

        const char* OrEmpty(const char* pszText)
        {
            return pszText != nullptr ? pszText : "";
        }

        std::string FieldOrFiller(const std::string& field)
        {
            return field.empty() ? std::string("...") : field.substr(0, kLoginFieldLimit);
        }
    }

    std::string Nick(const std::string& nickname)
    {
        return "NICK " + nickname;
    }

    std::string LoginNick(const std::string& nickname)
    {
        return Nick(nickname.substr(0, kMaxLength - 5));
    }

    std::string User(const std::string& userName, const std::string& realName)
    {
        return "USER " + FieldOrFiller(userName) + " 0 *  :" + FieldOrFiller(realName);
    }

    std::string Pong(const std::string& token)
    {
        if (token.empty())
            return "PONG";
        return "PONG :" + token.substr(0, kMaxLength - 6);
    }

    std::string Join(const std::string& channel)
    {
        return "JOIN " + channel;
    }

    std::string Part(const std::string& channel)
    {
        return "PART " + channel;
    }

    std::string Names(const std::string& channel)
    {
        return "NAMES " + channel;
    }

    std::string Privmsg(const std::string& target, const char* pszText)
    {
        return "PRIVMSG " + target + " :" + OrEmpty(pszText);
    }

    std::string Notice(const std::string& target, const char* pszExtra, const char* pszText)
    {
        std::string line = "NOTICE " + target;
        if (pszExtra != nullptr)
            line += std::string(" ") + pszExtra;
        return line + " :" + OrEmpty(pszText);
    }

    std::string Invite(const char* pszNickname, const std::string& channel)
    {
        return std::string("INVITE ") + OrEmpty(pszNickname) + " " + channel;
    }

    std::string Mode(const char* pszTarget, const char* pszMode, const char* pszArgument)
    {
        std::string line = std::string("MODE ") + OrEmpty(pszTarget) + " " + OrEmpty(pszMode);
        if (pszArgument != nullptr)
            line += std::string(" ") + pszArgument;
        return line;
    }
}

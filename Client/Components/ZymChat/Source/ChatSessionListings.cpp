#include "ChatSession.h"

#include <cstring>
#include <string>
#include <vector>

#include "ChatEventSink.h"
#include "IrcMessage.h"

namespace
{
    // Text areas of the handlers here, terminator included.
    const size_t kListTextArea = 500;
    const size_t kMotdTextArea = 513;

    // Appends the text to the area, cut to fit with its terminator.
    void Append(char* pArea, size_t nAreaSize, const std::string& text)
    {
        size_t nUsed = std::strlen(pArea);
        size_t nRoom = nAreaSize - 1 - nUsed;
        size_t nCount = text.size() < nRoom ? text.size() : nRoom;
        std::memcpy(pArea + nUsed, text.data(), nCount);
        pArea[nUsed + nCount] = '\0';
    }

    // The words of a parameter, successive blanks counting as one.
    std::vector<std::string> Words(const std::string& text)
    {
        std::vector<std::string> words;
        std::string::size_type nAt = text.find_first_not_of(' ');
        while (nAt != std::string::npos)
        {
            std::string::size_type nEnd = text.find(' ', nAt);
            words.push_back(text.substr(nAt, nEnd - nAt));
            nAt = nEnd == std::string::npos ? nEnd : text.find_first_not_of(' ', nEnd);
        }
        return words;
    }
}

void ChatSession::OnListEntry(const IrcMessage& message, SessionOutput& out)
{
    // ":server 322 nick channel users :topic": the channel, and the channels
    // the topic names.
    char text[kListTextArea];
    text[0] = '\0';
    for (size_t i = 1; i < message.ParameterCount(); ++i)
    {
        for (const std::string& word : Words(message.Parameter(i)))
        {
            if (word.size() < 2 || !m_ServerRules.IsChannel(word))
                continue;
            if (text[0] != '\0')
                Append(text, sizeof(text), " ");
            Append(text, sizeof(text), word);
        }
    }
    out.Notify(CHAT_EVENT_LIST_ENTRY, text);
}

void ChatSession::OnMotd(const IrcMessage& message, SessionOutput& out)
{
    // ":server 372 nick :- text": the words after the dash word; without
    // one, the words of the text. Each word is followed by one blank.
    char text[kMotdTextArea];
    text[0] = '\0';
    if (message.ParameterCount() >= 2)
    {
        std::vector<std::string> words = Words(message.Parameter(message.ParameterCount() - 1));
        size_t nFirst = !words.empty() && words[0][0] == '-' ? 1 : 0;
        for (size_t i = nFirst; i < words.size(); ++i)
        {
            Append(text, sizeof(text), words[i]);
            Append(text, sizeof(text), " ");
        }
    }
    out.Notify(CHAT_EVENT_MOTD, text);
}

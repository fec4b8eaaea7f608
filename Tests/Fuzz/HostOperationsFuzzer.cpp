// Host operations: any sequence of interface calls with any texts (null
// included), interleaved with server lines. Checked as for the server
// bytes: no queued line over 510 characters or holding CR or LF, and state
// kept only for the channels in the table.
//
// Input: a flags byte as for the server bytes, then operations: one byte
// choosing the operation, each text a length byte (255: a null text) and
// that many bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzChat.h"
#include "ScriptedSocket.h"

namespace
{
    class InputReader
    {
    public:
        InputReader(const uint8_t* pData, size_t nSize) : m_pData(pData), m_nSize(nSize), m_nOffset(0)
        {
        }

        bool AtEnd() const { return m_nOffset >= m_nSize; }
        uint8_t Byte() { return AtEnd() ? 0 : m_pData[m_nOffset++]; }

        // A text that lives until the next call of Text with the same slot.
        const char* Text(int nSlot)
        {
            const uint8_t nLength = Byte();
            if (nLength == 255)
                return nullptr;
            std::string& text = m_Texts[nSlot];
            text.clear();
            for (uint8_t i = 0; i < nLength && !AtEnd(); ++i)
                text += static_cast<char>(m_pData[m_nOffset++]);
            // A C text ends at its first NUL, as the host's would.
            text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
            return text.c_str();
        }

    private:
        const uint8_t* m_pData;
        size_t m_nSize;
        size_t m_nOffset;
        std::string m_Texts[3];
    };

    // A server line as line assembly hands it over: never holding CR LF.
    void Dispatch(FuzzChat& chat, const std::string& line)
    {
        std::vector<char> text(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(
                                                                  line.find("\r\n") == std::string::npos
                                                                      ? line.size()
                                                                      : line.find("\r\n")));
        text.push_back('\0');
        chat.DispatchLine(text.data());
    }

    std::string Or(const char* pszText, const char* pszInstead)
    {
        return pszText != nullptr ? pszText : pszInstead;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1)
        return 0;
    InputReader in(pData + 1, nSize - 1);
    ReactingSink sink;
    FuzzChat chat;
    sink.Attach(&chat, (pData[0] & 1) != 0 ? 1 : 0, (pData[0] & 2) != 0);
    chat.SetEventSink(&sink);
    ScriptedSocket socket(nullptr, 0, 1);

    while (!in.AtEnd())
    {
        switch (in.Byte() % 18)
        {
        case 0:
        {
            const char* pszChannel = in.Text(0);
            chat.JoinChannel(pszChannel, in.Byte() % 3);
            break;
        }
        case 1:
            chat.LeaveChannel(in.Text(0));
            break;
        case 2:
        {
            const char* pszChannel = in.Text(0);
            chat.SendChannelMessage(pszChannel, in.Text(1));
            break;
        }
        case 3:
        {
            const char* pszChannel = in.Text(0);
            const char* pszMessage = in.Text(1);
            chat.SendPrivateMessage(pszChannel, pszMessage, in.Text(2));
            break;
        }
        case 4:
        {
            const char* pszTarget = in.Text(0);
            const char* pszMessage = in.Text(1);
            chat.SendNotice(pszTarget, pszMessage, in.Text(2));
            break;
        }
        case 5:
        {
            const char* pszTarget = in.Text(0);
            const char* pszMode = in.Text(1);
            chat.SetMode(pszTarget, pszMode, in.Text(2));
            break;
        }
        case 6:
            chat.SetNickname(in.Text(0));
            break;
        case 7:
        {
            const char* pszChannel = in.Text(0);
            chat.SendInvite(pszChannel, in.Text(1));
            break;
        }
        case 8:
        {
            const char* pszKey = in.Text(0);
            chat.SendAttributeUpdate(pszKey, in.Text(1));
            break;
        }
        case 9:
            chat.RequestNames(in.Text(0));
            break;
        case 10:
            chat.ListChannels();
            break;
        case 11:
            chat.SetRealName(in.Text(0));
            break;
        case 12:
            chat.SetUserName(in.Text(0));
            break;
        case 13:
            Dispatch(chat, Or(in.Text(0), ""));
            break;
        case 14:
            Dispatch(chat, ":irc.test 002 " + Or(in.Text(0), "me") + " :Your host is irc.test");
            break;
        case 15:
        {
            // The server confirms a join of ours, or another's join or part.
            const std::string who = Or(in.Text(0), "me");
            const std::string channel = Or(in.Text(1), "#lobby");
            const char* const kVerbs[] = {" JOIN :", " PART ", " QUIT :", " NICK :"};
            Dispatch(chat, ":" + who + "!user@127.0.0.1" + kVerbs[in.Byte() % 4] + channel);
            break;
        }
        case 16:
            chat.Quit();
            break;
        default:
            chat.SendQueued(socket);
            break;
        }
    }
    chat.SendQueued(socket);
    chat.CheckState();
    return 0;
}

#include "ZymChat.h"

#include <cstring>

#include "SKException.h"

namespace
{
    struct ServerError
    {
        int nNumeric;
        const char* pszText;
    };

    const ServerError kServerErrors[] = {
        {401, "401-No such nick"},
        {402, "402-No such server"},
        {403, "403-No such channel"},
        {404, "404-Cannot send to channel"},
        {405, "405-Too many channels"},
        {406, "406-No such nick"},
        {409, "409-No origin"},
        {411, "411-No recipient"},
        {412, "412-No text to send"},
        {421, "421-Unknown command"},
        {422, "422-No MOTD"},
        {424, "424-File error"},
        {431, "431-No nickname parameter given"},
        {432, "432-Invalid nickname"},
        {433, "433-Nickname in use"},
        {436, "436-Nickname collision"},
        {441, "441-User not in channel"},
        {442, "442-User not in channel (for channel op)"},
        {461, "461-Need more params"},
        {471, "471-Cannot Join Channel (Full)"},
        {482, "482-ERR_CHANOPRIVSNEEDED"},
    };
}

void ZymChat::OnServerError(int nNumeric)
{
    const char* pszText = nullptr;
    for (const ServerError& error : kServerErrors)
    {
        if (error.nNumeric == nNumeric)
            pszText = error.pszText;
    }
    if (pszText == nullptr)
        return;

    // The sink gets a copy it may not keep; the table stays untouched.
    char text[64];
    std::strncpy(text, pszText, sizeof(text) - 1);
    text[sizeof(text) - 1] = '\0';
    bool bNicknameRefused = nNumeric == 433 || nNumeric == 436;
    bool bHostGaveUp = m_pEventSink->ReportError(nNumeric, text) != 0;
    if (bNicknameRefused)
        m_Session.NicknameRefused(bHostGaveUp);
    if (!bHostGaveUp)
        return;
    throw SKException(bNicknameRefused ? "nickname already used" : "ChatServerReturnedError");
}

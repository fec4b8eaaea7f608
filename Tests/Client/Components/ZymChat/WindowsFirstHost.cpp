#include <windows.h>

#include "ChatComponent.h"
#include "WindowsFirstHost.h"

int SendMessageWithWindowsFirst(ChatComponent* pChat, const char* pszChannel,
                                const char* pszMessage)
{
    return pChat->SendMessage(pszChannel, pszMessage);
}

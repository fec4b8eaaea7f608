#ifndef ZYM_TESTS_WINDOWSFIRSTHOST_H
#define ZYM_TESTS_WINDOWSFIRSTHOST_H

class ChatComponent;

// Calls SendMessage from a translation unit that includes <windows.h> before
// the interface headers.
int SendMessageWithWindowsFirst(ChatComponent* pChat, const char* pszChannel,
                                const char* pszMessage);

#endif

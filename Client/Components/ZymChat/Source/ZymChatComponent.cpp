#include <cstring>
#include <new>

#include "LiveObjects.h"
#include "ZymChat.h"

extern "C" ChatComponent* __cdecl CreateComponent(const char* pszName)
{
    if (pszName == nullptr || std::strcmp(pszName, "ZymChatComponent") != 0)
        return nullptr;
    ZymChat* pChat = nullptr;
    try
    {
        pChat = new ZymChat();
    }
    catch (...)
    {
        return nullptr;
    }
    ChatComponent* pComponent = pChat;
    pComponent->AddRef();
    return pComponent;
}

extern "C" int __cdecl LibraryCanUnload()
{
    return ZymLiveObjectCount() == 0 ? 1 : 0;
}

#include <cstring>
#include <new>

#include "LiveObjects.h"
#include "ZymChat.h"

extern "C" ChatComponent* __cdecl CreateComponent(const char* pszName)
{
    if (pszName == nullptr)
        return nullptr;
    bool bExtended = std::strcmp(pszName, ZYM_EXTENDED_CHAT_COMPONENT_NAME) == 0;
    if (!bExtended && std::strcmp(pszName, "ZymChatComponent") != 0)
        return nullptr;
    ZymChat* pChat = nullptr;
    try
    {
        pChat = new ZymChat(bExtended);
    }
    catch (...)
    {
        return nullptr;
    }
    // The extended interface begins with ChatComponent's table at the same
    // address, so the host may cast this pointer to it.
    ChatComponent* pComponent = static_cast<ExtendedChatComponent*>(pChat);
    pComponent->AddRef();
    return pComponent;
}

extern "C" int __cdecl LibraryCanUnload()
{
    return ZymLiveObjectCount() == 0 ? 1 : 0;
}

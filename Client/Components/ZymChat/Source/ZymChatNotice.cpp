#include "ZymChat.h"

#include "ScopedThreadLock.h"

void ZymChat::SendNotice(const char* pszTarget, const char* pszMessage, const char* pszExtra)
{
    ScopedThreadLock hold(m_TableLock);
    SendNoticeHeld(pszTarget, pszMessage, pszExtra);
}

void ZymChat::SendNoticeHeld(const char* pszTarget, const char* pszMessage,
                             const char* pszExtra)
{
    if (m_bWelcomed != 1 || pszTarget == nullptr)
        return;

    // Notices go to confirmed channels only, named as the server names them;
    // both the host's and the server's name are accepted.
    ZymString target(pszTarget);
    ZymString resolved;
    if (m_ServerNames.hasKey(target))
        resolved = m_ServerNames.lookup(target);
    else if (m_HostNames.hasKey(target))
        resolved = target;
    else
        return;

    ZymString line("NOTICE ");
    line += resolved;
    if (pszExtra != nullptr)
    {
        line += " ";
        line += pszExtra;
    }
    line += " :";
    line += pszMessage != nullptr ? pszMessage : "";
    sendTxt(line.Text());
}

void ZymChat::SetMode(const char* pszTarget, const char* pszMode, const char* pszArgument)
{
    if (pszTarget == nullptr || pszMode == nullptr)
        return;
    ZymString line("MODE ");
    line += pszTarget;
    line += " ";
    line += pszMode;
    if (pszArgument != nullptr)
    {
        line += " ";
        line += pszArgument;
    }
    sendTxt(line.Text());
}

void ZymChat::SendAttributesHeld(const char* pszTarget)
{
    typedef TList<LookupPair<ZymString, ZymString> > AttributeList;
    for (AttributeList::ConstIterator it(m_Attributes); it.hasCurrent(); it.Step())
    {
        ZymString update("ZYMATTRIBUPDATE ");
        update += it.iterator().m_Key;
        update += " ";
        update += it.iterator().m_Value;
        SendNoticeHeld(pszTarget, update.Text(), nullptr);
    }
}

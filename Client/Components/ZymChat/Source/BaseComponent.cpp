#include "BaseComponent.h"

#include "LiveObjects.h"

namespace
{
    int g_nLiveObjects = 0;
}

int ZymLiveObjectCount()
{
    return g_nLiveObjects;
}

BaseComponent::BaseComponent() : m_nRefCount(0)
{
    ++g_nLiveObjects;
}

BaseComponent::~BaseComponent()
{
    --g_nLiveObjects;
}

void* BaseComponent::GetInterface(const char*, int)
{
    return nullptr;
}

int BaseComponent::AddRef()
{
    return ++m_nRefCount;
}

int BaseComponent::Release()
{
    int nCount = --m_nRefCount;
    if (nCount == 0)
        delete this;
    return nCount;
}

#include "ContractLibrary.h"

#include <string>

#include <windows.h>

namespace contract
{
ContractLibrary::ContractLibrary() : m_hModule(nullptr), m_pCreate(nullptr), m_pCanUnload(nullptr)
{
    char path[MAX_PATH + 1] = {0};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, length < MAX_PATH ? length : 0);
    file = file.substr(0, file.find_last_of("\\/") + 1) + "ZymChat.dll";
    HMODULE hModule = LoadLibraryA(file.c_str());
    if (hModule == nullptr)
    {
        return;
    }
    void* pCreate = reinterpret_cast<void*>(GetProcAddress(hModule, "CreateComponent"));
    void* pCanUnload = reinterpret_cast<void*>(GetProcAddress(hModule, "LibraryCanUnload"));
    if (pCreate == nullptr || pCanUnload == nullptr)
    {
        FreeLibrary(hModule);
        return;
    }
    m_hModule = hModule;
    m_pCreate = reinterpret_cast<CreateComponentFunction>(pCreate);
    m_pCanUnload = reinterpret_cast<LibraryCanUnloadFunction>(pCanUnload);
}

ContractLibrary::~ContractLibrary()
{
    if (m_hModule != nullptr && m_pCanUnload() == 1)
    {
        FreeLibrary(static_cast<HMODULE>(m_hModule));
    }
}

bool ContractLibrary::Loaded() const
{
    return m_hModule != nullptr;
}

ChatComponent* ContractLibrary::Create(const char* name) const
{
    return m_pCreate(name);
}

int ContractLibrary::CanUnload() const
{
    return m_pCanUnload();
}
}

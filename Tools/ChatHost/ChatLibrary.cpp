#include "ChatLibrary.h"

namespace
{
const char kComponentName[] = "ZymChatComponent";
}

ChatLibrary::ChatLibrary() : m_hModule(nullptr), m_pCreate(nullptr), m_pCanUnload(nullptr)
{
}

ChatLibrary::~ChatLibrary()
{
    if (m_hModule != nullptr && CanUnload())
    {
        FreeLibrary(m_hModule);
    }
}

bool ChatLibrary::Load(const std::string& path, std::string& error)
{
    if (m_hModule != nullptr)
    {
        error = "a chat library is already loaded";
        return false;
    }
    HMODULE hModule = LoadLibraryA(path.c_str());
    if (hModule == nullptr)
    {
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // GetProcAddress answers a generic function pointer; the casts go through
    // void* so that compilers do not warn about the differing signatures.
    void* pCreate = reinterpret_cast<void*>(GetProcAddress(hModule, "CreateComponent"));
    void* pCanUnload = reinterpret_cast<void*>(GetProcAddress(hModule, "LibraryCanUnload"));
    if (pCreate == nullptr || pCanUnload == nullptr)
    {
        FreeLibrary(hModule);
        error = path + " does not export CreateComponent and LibraryCanUnload";
        return false;
    }
    m_hModule = hModule;
    m_pCreate = reinterpret_cast<ZymCreateComponentProc>(pCreate);
    m_pCanUnload = reinterpret_cast<ZymLibraryCanUnloadProc>(pCanUnload);
    return true;
}

ChatComponent* ChatLibrary::CreateChat() const
{
    return m_pCreate != nullptr ? m_pCreate(kComponentName) : nullptr;
}

ExtendedChatComponent* ChatLibrary::CreateExtendedChat() const
{
    // An object made by this name implements the extended interface, whose
    // table begins at the same address.
    return m_pCreate != nullptr
               ? static_cast<ExtendedChatComponent*>(m_pCreate(ZYM_EXTENDED_CHAT_COMPONENT_NAME))
               : nullptr;
}

bool ChatLibrary::CanUnload() const
{
    return m_pCanUnload == nullptr || m_pCanUnload() == 1;
}

std::string ChatLibrary::BesideProgram(const char* fileName)
{
    char path[MAX_PATH + 1] = {0};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
    {
        return fileName;
    }
    std::string folder(path, length);
    std::string::size_type slash = folder.find_last_of("\\/");
    if (slash == std::string::npos)
    {
        return fileName;
    }
    return folder.substr(0, slash + 1) + fileName;
}

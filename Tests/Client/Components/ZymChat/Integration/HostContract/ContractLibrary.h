#ifndef CONTRACT_CONTRACTLIBRARY_H
#define CONTRACT_CONTRACTLIBRARY_H

#include "ChatComponent.h"

namespace contract
{
// ZymChat.dll loaded from the program's folder with LoadLibraryA and its two
// exports found with GetProcAddress. Kept free of windows.h, whose
// SendMessage macro would rename the interface operation.
class ContractLibrary
{
public:
    ContractLibrary();
    // Unloads only once the library says no component is left.
    ~ContractLibrary();

    bool Loaded() const;
    ChatComponent* Create(const char* name) const;
    int CanUnload() const;

private:
    ContractLibrary(const ContractLibrary&) = delete;
    ContractLibrary& operator=(const ContractLibrary&) = delete;

    void* m_hModule;
    CreateComponentFunction m_pCreate;
    LibraryCanUnloadFunction m_pCanUnload;
};
}

#endif

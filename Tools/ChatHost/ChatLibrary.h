#ifndef CHATLIBRARY_H
#define CHATLIBRARY_H

#include <string>

#include <windows.h>

#include "ComponentInterfaces/ExtendedChatComponent.h"

// The chat component library as a host sees it: loaded by path, its two
// exports found by name. The library stays loaded while it still reports live
// component objects, since unloading it then would pull the code from under
// their threads.
class ChatLibrary
{
public:
    ChatLibrary();
    ~ChatLibrary();

    // Loads the library at path; false with a readable reason on failure.
    bool Load(const std::string& path, std::string& error);

    // A new component carrying one reference, or null.
    ChatComponent* CreateChat() const;
    // A new component of the extended interface carrying one reference, or
    // null when the library has none.
    ExtendedChatComponent* CreateExtendedChat() const;

    // The library's own answer; true when nothing is loaded.
    bool CanUnload() const;

    // The path of the named file in the folder of the running program.
    static std::string BesideProgram(const char* fileName);

private:
    ChatLibrary(const ChatLibrary&) = delete;
    ChatLibrary& operator=(const ChatLibrary&) = delete;

    HMODULE m_hModule;
    ZymCreateComponentProc m_pCreate;
    ZymLibraryCanUnloadProc m_pCanUnload;
};

#endif

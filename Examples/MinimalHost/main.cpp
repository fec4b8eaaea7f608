// The smallest complete host: links ZymShared.dll by its exports, loads
// ZymChat.dll from its own folder, logs in to the server named on the command
// line, waits for the server's message of the day and quits.
//
//   MinimalHost.exe SERVER [NICKNAME]
//
// Exit code 0 once the message of the day arrived, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ComponentInterfaces/ChatComponent.h"
#include "ComponentInterfaces/ChatEventSink.h"
#include "ZymShared.h"

namespace
{
// Sink calls arrive on the component's background thread: this sink only
// prints and signals an event that the host's thread waits for. It never
// calls Release, which waits for that very thread.
class WelcomeSink : public ChatEventSink
{
public:
    WelcomeSink() : m_hWelcome(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~WelcomeSink() { CloseHandle(m_hWelcome); }

    void NotifyEvent(int nCode, int nValue) override { std::printf("event %d %d\n", nCode, nValue); }
    void NotifyText(int nCode, const char* pszText) override
    {
        std::printf("text %d %s\n", nCode, pszText != nullptr ? pszText : "(null)");
        if (nCode == CHAT_EVENT_MOTD)
            SetEvent(m_hWelcome);
    }
    int ReportError(int nCode, const char* pszText) override
    {
        std::printf("error %d %s\n", nCode, pszText != nullptr ? pszText : "(null)");
        return 0;
    }

    bool WaitForWelcome(DWORD nTimeoutMs) const
    {
        return m_hWelcome != nullptr && WaitForSingleObject(m_hWelcome, nTimeoutMs) == WAIT_OBJECT_0;
    }

private:
    HANDLE m_hWelcome;
};

// The folder of this program, with its trailing backslash.
std::wstring ProgramFolder()
{
    wchar_t szPath[MAX_PATH];
    DWORD nLength = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return L"";
    std::wstring path(szPath, nLength);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// Exit code of the chat; bCanUnload turns false when a component outlived
// its Release.
int Chat(HMODULE hLibrary, const char* pszServer, const char* pszNickname, bool& bCanUnload)
{
    // GetProcAddress answers a generic function pointer; the casts go through
    // void* so that compilers do not warn about the differing signatures.
    auto pCreate = reinterpret_cast<ZymCreateComponentProc>(
        reinterpret_cast<void*>(GetProcAddress(hLibrary, "CreateComponent")));
    auto pCanUnload = reinterpret_cast<ZymLibraryCanUnloadProc>(
        reinterpret_cast<void*>(GetProcAddress(hLibrary, "LibraryCanUnload")));
    if (pCreate == nullptr || pCanUnload == nullptr)
    {
        std::printf("ZymChat.dll lacks CreateComponent or LibraryCanUnload\n");
        return 1;
    }
    ChatComponent* pChat = pCreate("ZymChatComponent");
    if (pChat == nullptr)
    {
        std::printf("CreateComponent gave no component\n");
        return 1;
    }

    // The sink outlives the component: it is set first and the component is
    // released before it goes.
    WelcomeSink sink;
    pChat->SetEventSink(&sink);
    pChat->SetNickname(pszNickname);
    pChat->SetUserName(pszNickname);
    pChat->SetRealName("Minimal host");
    pChat->ConnectToServer(pszServer);
    bool bWelcomed = sink.WaitForWelcome(15000);
    std::printf(bWelcomed ? "welcomed by %s\n" : "no welcome from %s within 15 s\n", pszServer);

    pChat->Quit();
    // Release destroys the component and waits for its background thread.
    pChat->Release();
    bCanUnload = pCanUnload() == 1;
    if (!bCanUnload)
    {
        std::printf("the library still reports live components\n");
        return 1;
    }
    return bWelcomed ? 0 : 1;
}
}

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
    {
        std::printf("usage: MinimalHost SERVER [NICKNAME]\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    // An export of ZymShared.dll, linked through its import library.
    char szBase[MAX_PATH];
    std::printf("loading %s.dll\n", GetFileNameWithoutExtension("ZymChat.dll", szBase));

    // The component library is loaded by path, from the program's folder
    // rather than from wherever the search order would find a file so named.
    std::wstring libraryPath = ProgramFolder() + L"ZymChat.dll";
    HMODULE hLibrary = LoadLibraryW(libraryPath.c_str());
    if (hLibrary == nullptr)
    {
        std::printf("cannot load ZymChat.dll beside the program (error %lu)\n", GetLastError());
        return 1;
    }
    // Unloading while a component lives would pull the code from under its
    // thread; the process end takes the library then.
    bool bCanUnload = true;
    int nResult = Chat(hLibrary, argv[1], argc == 3 ? argv[2] : "minimal", bCanUnload);
    if (bCanUnload)
        FreeLibrary(hLibrary);
    return nResult;
}

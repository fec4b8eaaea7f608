#include "InstallFolderGuard.h"

#include "PathNames.h"

namespace
{
bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsForbiddenCharacter(wchar_t c)
{
    return c < 0x20 || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|'
        || c == L':';
}

// Checks the steps of a path after its root; rest has no trailing backslash.
InstallFolderGuard::Verdict CheckSteps(const std::wstring& rest)
{
    size_t start = 0;
    while (start <= rest.size())
    {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring::npos)
            end = rest.size();
        const std::wstring step = rest.substr(start, end - start);
        if (step.empty() || step.back() == L'.' || step.back() == L' ')
            return InstallFolderGuard::NotAFullPath;
        for (wchar_t c : step)
            if (IsForbiddenCharacter(c))
                return InstallFolderGuard::StreamOrDevice;
        if (NamesDevice(step.c_str(), step.size()))
            return InstallFolderGuard::StreamOrDevice;
        start = end + 1;
    }
    return InstallFolderGuard::Removable;
}

// Names that lead to this machine whatever it is called. A name beginning
// with "127." that is not a number is still taken for loopback: services of
// wildcard names answer such names with the address they spell.
bool IsLoopbackName(const std::wstring& server)
{
    const std::wstring host = server.substr(0, server.find(L'@'));
    return host == L"LOCALHOST" || host == L"." || host == L"?" || host.compare(0, 4, L"127.") == 0;
}
}

std::wstring InstallFolderGuard::Upper(const std::wstring& text)
{
    std::wstring out(text);
    for (wchar_t& c : out)
        c = FoldCase(c);
    return out;
}

std::wstring InstallFolderGuard::WithoutFinalPathPrefix(const std::wstring& path)
{
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + path.substr(8);
    if (path.compare(0, 4, L"\\\\?\\") == 0 && path.size() >= 6 && path[5] == L':')
        return path.substr(4);
    return path;
}

InstallFolderGuard::Verdict InstallFolderGuard::Normalize(const std::wstring& path, std::wstring& out)
{
    out.clear();
    // Paths longer than the system's classic limit are refused: the file
    // functions would not reach them in the same form.
    if (path.empty() || path.size() >= 260)
        return NotAFullPath;
    std::wstring text(path);
    for (wchar_t& c : text)
        if (c == L'/')
            c = L'\\';
    if (text.compare(0, 4, L"\\\\?\\") == 0 || text.compare(0, 4, L"\\\\.\\") == 0)
        return StreamOrDevice;
    while (!text.empty() && text.back() == L'\\')
        text.pop_back();

    size_t restStart = 0;
    if (text.size() >= 2 && text[0] == L'\\' && text[1] == L'\\')
    {
        restStart = 2;
        if (text.size() == 2)
            return NotAFullPath;
    }
    else if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == L':')
    {
        if (text.size() == 2)
        {
            // "C:" alone is the drive's current folder; "C:\" its root.
            if (path.size() < 3)
                return NotAFullPath;
            out = Upper(text);
            return Removable;
        }
        if (text[2] != L'\\')
            return NotAFullPath;
        restStart = 3;
    }
    else
    {
        return NotAFullPath;
    }
    const Verdict steps = CheckSteps(text.substr(restStart));
    if (steps != Removable)
        return steps;
    out = Upper(text);
    return Removable;
}

bool InstallFolderGuard::IsAtOrAbove(const std::wstring& folder, const std::wstring& known)
{
    return known.compare(0, folder.size(), folder) == 0
        && (known.size() == folder.size() || known[folder.size()] == L'\\');
}

bool InstallFolderGuard::IsBelow(const std::wstring& folder, const std::wstring& parent)
{
    return folder.size() > parent.size() + 1 && folder.compare(0, parent.size(), parent) == 0
        && folder[parent.size()] == L'\\';
}

bool InstallFolderGuard::IsInside(const std::wstring& path, const std::wstring& folder)
{
    std::wstring inner;
    std::wstring outer;
    return Normalize(path, inner) == Removable && Normalize(folder, outer) == Removable
        && IsBelow(inner, outer);
}

void InstallFolderGuard::AddWindowsFolder(const std::wstring& path)
{
    std::wstring normalized;
    if (Normalize(path, normalized) == Removable)
        m_WindowsFolders.push_back(normalized);
}

void InstallFolderGuard::AddKnownFolder(const std::wstring& path)
{
    std::wstring normalized;
    if (Normalize(path, normalized) == Removable)
        m_KnownFolders.push_back(normalized);
}

void InstallFolderGuard::AddProfilesFolder(const std::wstring& path)
{
    std::wstring normalized;
    if (Normalize(path, normalized) == Removable)
    {
        m_ProfilesFolders.push_back(normalized);
        m_KnownFolders.push_back(normalized);
    }
}

void InstallFolderGuard::AddMachineName(const std::wstring& name)
{
    if (!name.empty())
        m_MachineNames.push_back(Upper(name));
}

void InstallFolderGuard::AddMachineAddress(const ServerAddress& address)
{
    m_MachineAddresses.push_back(address);
}

void InstallFolderGuard::AddShare(const std::wstring& name, const std::wstring& target)
{
    if (!name.empty())
        m_Shares.push_back(Share{ Upper(name), target });
}

bool InstallFolderGuard::IsThisMachine(const std::wstring& server) const
{
    if (IsLoopbackName(server))
        return true;
    ServerAddress address;
    if (ServerAddress::Parse(server, address))
    {
        if (address.IsThisMachineByItself())
            return true;
        for (const ServerAddress& own : m_MachineAddresses)
            if (address == own)
                return true;
        return false;
    }
    const std::wstring host = server.substr(0, server.find(L'@'));
    for (const std::wstring& name : m_MachineNames)
        if (host == name || (host.size() > name.size() && host.compare(0, name.size(), name) == 0
                             && host[name.size()] == L'.'))
            return true;
    return false;
}

InstallFolderGuard::Verdict InstallFolderGuard::JudgeShareOfThisMachine(const std::wstring& share,
                                                                      const std::wstring& rest) const
{
    for (const Share& known : m_Shares)
    {
        if (known.name != share)
            continue;
        std::wstring target;
        // A share of a share would need another machine's view to resolve.
        if (Normalize(known.target, target) != Removable || target[0] == L'\\')
            return ShareOfThisMachine;
        return Judge(target + rest);
    }
    return ShareOfThisMachine;
}

InstallFolderGuard::Verdict InstallFolderGuard::Judge(const std::wstring& folder) const
{
    std::wstring path;
    const Verdict form = Normalize(folder, path);
    if (form != Removable)
        return form;
    if (path.size() == 2 && path[1] == L':')
        return DriveRoot;
    if (path[0] == L'\\')
    {
        const size_t serverEnd = path.find(L'\\', 2);
        if (serverEnd == std::wstring::npos)
            return ShareRoot;
        const size_t shareEnd = path.find(L'\\', serverEnd + 1);
        if (shareEnd == std::wstring::npos)
            return ShareRoot;
        if (path[shareEnd - 1] == L'$')
            return AdministrativeShare;
        if (IsThisMachine(path.substr(2, serverEnd - 2)))
            return JudgeShareOfThisMachine(path.substr(serverEnd + 1, shareEnd - serverEnd - 1),
                                           path.substr(shareEnd));
    }
    for (const std::wstring& windows : m_WindowsFolders)
    {
        if (IsAtOrAbove(path, windows))
            return KnownFolder;
        if (IsBelow(path, windows) && !(!m_FallbackName.empty() && path == windows + L"\\" + m_FallbackName))
            return InsideWindows;
    }
    for (const std::wstring& known : m_KnownFolders)
        if (IsAtOrAbove(path, known))
            return KnownFolder;
    for (const std::wstring& profiles : m_ProfilesFolders)
        if (IsBelow(path, profiles) && path.find(L'\\', profiles.size() + 1) == std::wstring::npos)
            return UsersProfile;
    return Removable;
}

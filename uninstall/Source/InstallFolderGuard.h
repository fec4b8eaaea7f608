#ifndef UNINSTALL_INSTALLFOLDERGUARD_H
#define UNINSTALL_INSTALLFOLDERGUARD_H

#include "ServerAddress.h"

#include <string>
#include <vector>

// Decides whether a folder may be emptied. The install folder comes from the
// registry, so anything may stand there; emptying a drive root, a share, a
// system folder, a user's folder or a folder above one of them would destroy
// what is not the product's. The decision is made on texts alone: the caller
// resolves the folder (full path, then the final path of an opened handle)
// and gives each form to Judge, and names the machine's folders with the Add
// functions. No system call is made here.
class InstallFolderGuard
{
public:
    enum Verdict
    {
        Removable,
        NotAFullPath,     // relative, empty, odd steps, or too long
        StreamOrDevice,   // a stream, a device name or a device path
        DriveRoot,
        ShareRoot,
        AdministrativeShare,
        ShareOfThisMachine,
        InsideWindows,
        KnownFolder,      // a known folder or a folder above one
        UsersProfile,     // a folder directly below a folder of profiles
        // Outcomes of resolving the folder on the machine, not of the text.
        NotFound,         // cannot be opened, so cannot be resolved
        ReachedThroughLink,
        ProgramOutside,   // the running program does not lie inside it
    };

    // Everything inside it is refused, except the product's own fallback
    // folder directly inside it, named fallbackName.
    void AddWindowsFolder(const std::wstring& path);
    // Refused itself, and so is every folder above it; below it is allowed.
    void AddKnownFolder(const std::wstring& path);
    // A folder whose direct sub-folders are profiles: it and each of them
    // are refused.
    void AddProfilesFolder(const std::wstring& path);
    // A name under which this machine answers as a file server (its
    // computer names); "localhost", "." and loopback addresses are known.
    void AddMachineName(const std::wstring& name);
    // An address of one of this machine's adapters.
    void AddMachineAddress(const ServerAddress& address);
    // A share this machine offers and the folder it points at. A path
    // through a share of this machine is judged as the path it stands for;
    // through a share not named here it is refused, since what it reaches
    // cannot be told.
    void AddShare(const std::wstring& name, const std::wstring& target);
    void SetFallbackName(const std::wstring& name) { m_FallbackName = Upper(name); }

    Verdict Judge(const std::wstring& folder) const;

    // The comparable form of a full path: backslashes only, upper case, no
    // trailing backslash ("C:" for a drive root, "\\SERVER\SHARE..." for a
    // share). Returns NotAFullPath for an empty or relative text, a "." or
    // ".." step, an empty step, or a name ending in a dot or blank (which
    // Windows would silently strip); StreamOrDevice for a colon after the
    // drive, a "\\?\" or "\\.\" path, a device name as a step, or a wildcard
    // or control character.
    static Verdict Normalize(const std::wstring& path, std::wstring& out);
    // Whether path lies below folder (both in any spelling Normalize takes).
    static bool IsInside(const std::wstring& path, const std::wstring& folder);
    // A path as GetFinalPathNameByHandle gives it ("\\?\C:\..." or
    // "\\?\UNC\server\share\...") in its usual form.
    static std::wstring WithoutFinalPathPrefix(const std::wstring& path);

    static std::wstring Upper(const std::wstring& text);

    // Whether a server part of a UNC path (in Normalize's form) leads to this
    // machine: by one of its names, a loopback name or address in any
    // spelling, or an address of its adapters.
    bool IsThisMachine(const std::wstring& server) const;

private:
    struct Share
    {
        std::wstring name;
        std::wstring target;
    };

    static bool IsAtOrAbove(const std::wstring& folder, const std::wstring& known);
    static bool IsBelow(const std::wstring& folder, const std::wstring& parent);
    Verdict JudgeShareOfThisMachine(const std::wstring& share, const std::wstring& rest) const;

    std::vector<std::wstring> m_WindowsFolders;
    std::vector<std::wstring> m_KnownFolders;
    std::vector<std::wstring> m_ProfilesFolders;
    std::vector<std::wstring> m_MachineNames;
    std::vector<ServerAddress> m_MachineAddresses;
    std::vector<Share> m_Shares;
    std::wstring m_FallbackName;
};

#endif

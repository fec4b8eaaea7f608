#ifndef UNINSTALL_INSTALLFOLDERGUARD_H
#define UNINSTALL_INSTALLFOLDERGUARD_H

#include "TList.h"
#include "ZymString.h"

#include <stddef.h>

// Decides whether a folder may be emptied. The install folder comes from the
// registry, so anything may stand there; emptying a drive root, a share, the
// Windows or Program Files folder, a user's profile or a folder above one of
// them would destroy what is not the product's. The decision is made on the
// text alone; the folders to protect are given by the caller.
class InstallFolderGuard
{
public:
    InstallFolderGuard();

    // A folder that must neither be emptied nor lie below the install folder.
    // Texts that are not full paths are ignored.
    void AddProtectedFolder(const char* path);
    // A folder whose direct sub-folders are users' profiles; it is protected
    // itself as well.
    void AddProfilesFolder(const char* path);

    bool IsRemovable(const char* folder) const;

    // Writes the comparable form of a full path into out: backslashes only,
    // upper case, no trailing backslash ("C:" for a drive root,
    // "\\SERVER\SHARE..." for a share). False for an empty or relative text,
    // a device path, a "." or ".." step, an empty step, a name ending in a
    // dot or blank (which Windows would silently strip), or a text that does
    // not fit.
    static bool Normalize(const char* path, char* out, size_t outSize);

private:
    static bool IsAtOrAbove(const char* folder, const ZymString& protectedFolder);
    static bool IsDirectlyBelow(const char* folder, const ZymString& parent);

    TList<ZymString> m_ProtectedFolders;
    TList<ZymString> m_ProfilesFolders;
};

#endif

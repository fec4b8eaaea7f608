#include "HeldFolder.h"

#include "FinalPath.h"
#include "InstallFolderGuard.h"
#include "PathNames.h"

namespace
{
bool IsPlainFolderAttributes(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
        && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}
}

HeldFolder::HeldFolder(const std::wstring& path)
    : m_Handle(CreateFileW(ExtendedLengthPath(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr))
    , m_bPlain(false)
{
    if (!m_Handle.IsValid())
        return;
    // The handle tells whether it holds a reparse point itself; the name is
    // asked as well, since not every system opens the link rather than its
    // target; and the final path shows a link that was followed all the same.
    FILE_ATTRIBUTE_TAG_INFO tag;
    if (!GetFileInformationByHandleEx(m_Handle.Get(), FileAttributeTagInfo, &tag, sizeof tag)
        || !IsPlainFolderAttributes(tag.FileAttributes) || !IsPlainFolderAttributes(GetFileAttributesW(ExtendedLengthPath(path).c_str())))
        return;
    m_bPlain = InstallFolderGuard::Upper(FinalPathOf(m_Handle.Get())) == InstallFolderGuard::Upper(path);
}

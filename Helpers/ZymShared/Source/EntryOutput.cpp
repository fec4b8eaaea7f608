#include "EntryOutput.h"

#include "EntryTime.h"
#include "FolderPath.h"

#include <string.h>

#include <vector>

namespace {

const int kFolderAttempts = 3;

std::wstring FolderOf(const std::wstring& path)
{
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

} // namespace

EntryOutput::EntryOutput(const std::wstring& finalPath, bool makeFolders)
    : m_FinalPath(finalPath), m_Folder(FolderOf(finalPath)), m_nOutermostMade(0)
{
    if (Create(m_Folder) || !makeFolders || m_Folder.empty())
        return;
    // An output taken away removes the empty folders it made, and may do so
    // between this one's finding them made and creating its file in them:
    // a few attempts, each making what is missing again.
    for (int attempt = 0; attempt < kFolderAttempts && GetLastError() == ERROR_PATH_NOT_FOUND; ++attempt) {
        size_t made = 0;
        const bool folderMade = MakeFolderPath(m_Folder, made);
        if (made != 0 && (m_nOutermostMade == 0 || made < m_nOutermostMade))
            m_nOutermostMade = made;
        // A folder on the way taken away between its making and the next
        // one's fails the making the same way: another attempt.
        if (folderMade && Create(m_Folder))
            return;
    }
}

EntryOutput::~EntryOutput()
{
    Discard();
}

void EntryOutput::Discard()
{
    if (!IsOpen())
        return;
    m_File.Discard();
    // One writer would never have made them. This runs in the destructor
    // too: the removal allocates nothing, and m_Folder is spent after it.
    RemoveMadeFolders(m_Folder, m_nOutermostMade);
}

bool EntryOutput::Create(const std::wstring& folder)
{
    // Where nothing is to be replaced, a rename would only cost time: the
    // file is written under its own name, and a failure removes it again.
    // CREATE_NEW fails when a file is there, however recently it came.
    if (m_File.Create(m_FinalPath, GENERIC_WRITE))
        return true;
    if (GetLastError() != ERROR_FILE_EXISTS)
        return false;
    return CreateTemporary(folder);
}

bool EntryOutput::CreateTemporary(const std::wstring& folder)
{
    static LONG s_counter = 0;
    const unsigned long base = GetCurrentProcessId() << 16;
    for (int attempt = 0; attempt < 64; ++attempt) {
        wchar_t name[32];
        wsprintfW(name, L"~zym%08lX.tmp", base + static_cast<unsigned long>(InterlockedIncrement(&s_counter)));
        if (m_File.Create(folder + name, GENERIC_WRITE | DELETE))
            return true;
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool EntryOutput::Write(const void* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(m_File.Handle(), data, size, &written, nullptr) && written == size;
}

bool EntryOutput::Commit(unsigned long dosDateTime)
{
    if (!IsOpen())
        return false;
    SetEntryTime(m_File.Handle(), dosDateTime);
    if (m_File.Path() == m_FinalPath) {
        m_File.Keep();
        return true;
    }
    // The rename goes through the handle already open: no second open, and
    // the final name changes in one step from the old file to the whole new
    // one.
    const size_t nameBytes = m_FinalPath.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    FILE_RENAME_INFO* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    memcpy(rename->FileName, m_FinalPath.c_str(), nameBytes);
    if (!SetFileInformationByHandle(m_File.Handle(), FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
        Discard();
        return false;
    }
    m_File.Keep();
    return true;
}

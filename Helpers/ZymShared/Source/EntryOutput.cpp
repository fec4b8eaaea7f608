#include "EntryOutput.h"

#include "EntryTime.h"
#include "FolderPath.h"

#include <string.h>

#include <vector>

namespace {

std::wstring FolderOf(const std::wstring& path)
{
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

HANDLE CreateTemporary(const std::wstring& folder, std::wstring& path)
{
    static LONG s_counter = 0;
    const unsigned long base = GetCurrentProcessId() << 16;
    for (int attempt = 0; attempt < 64; ++attempt) {
        wchar_t name[32];
        wsprintfW(name, L"~zym%08lX.tmp", base + static_cast<unsigned long>(InterlockedIncrement(&s_counter)));
        path = folder + name;
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

EntryOutput::EntryOutput(const std::wstring& finalPath, bool makeFolders)
    : m_FinalPath(finalPath), m_hFile(INVALID_HANDLE_VALUE)
{
    const std::wstring folder = FolderOf(finalPath);
    m_hFile = Create(folder);
    if (m_hFile == INVALID_HANDLE_VALUE && makeFolders && !folder.empty() &&
        GetLastError() == ERROR_PATH_NOT_FOUND && MakeFolderPath(folder))
        m_hFile = Create(folder);
}

HANDLE EntryOutput::Create(const std::wstring& folder)
{
    // Where nothing is to be replaced, a rename would only cost time: the
    // file is written under its own name, and a failure removes it again.
    // CREATE_NEW fails when a file is there, however recently it came.
    const HANDLE file = CreateFileW(m_FinalPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        m_TempPath = m_FinalPath;
        return file;
    }
    if (GetLastError() != ERROR_FILE_EXISTS)
        return INVALID_HANDLE_VALUE;
    return CreateTemporary(folder, m_TempPath);
}

EntryOutput::~EntryOutput()
{
    Discard();
}

bool EntryOutput::Write(const void* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(m_hFile, data, size, &written, nullptr) && written == size;
}

bool EntryOutput::Commit(unsigned long dosDateTime)
{
    if (!IsOpen())
        return false;
    SetEntryTime(m_hFile, dosDateTime);
    if (m_TempPath == m_FinalPath) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
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
    if (!SetFileInformationByHandle(m_hFile, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
        Discard();
        return false;
    }
    CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    return true;
}

void EntryOutput::Discard()
{
    if (!IsOpen())
        return;
    CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    DeleteFileW(m_TempPath.c_str());
}

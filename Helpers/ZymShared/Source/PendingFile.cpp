#include "PendingFile.h"

PendingFile::~PendingFile()
{
    Discard();
}

bool PendingFile::Create(const std::wstring& path, DWORD access)
{
    if (IsOpen()) {
        SetLastError(ERROR_BUSY);
        return false;
    }
    m_Path = path;
    m_hFile = CreateFileW(m_Path.c_str(), access, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    return IsOpen();
}

void PendingFile::Keep()
{
    if (!IsOpen())
        return;
    CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

void PendingFile::Discard()
{
    if (!IsOpen())
        return;
    CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    DeleteFileW(m_Path.c_str());
}

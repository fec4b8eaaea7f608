#include "LogFile.h"

#include <vector>

bool LogFile::Open(const std::wstring& path)
{
    m_File.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_File.IsValid())
        return false;
    // Marks the file as UTF-8 for editors that would guess the ANSI code page.
    static const unsigned char kByteOrderMark[] = { 0xEF, 0xBB, 0xBF };
    DWORD written = 0;
    if (!WriteFile(m_File.Get(), kByteOrderMark, sizeof kByteOrderMark, &written, nullptr)
        || written != sizeof kByteOrderMark)
    {
        m_File.Close();
        return false;
    }
    return true;
}

void LogFile::WriteLine(const std::wstring& line)
{
    if (!m_File.IsValid())
        return;
    const std::wstring text = line + L"\r\n";
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0)
        return;
    std::vector<char> bytes(static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    DWORD written = 0;
    WriteFile(m_File.Get(), bytes.data(), static_cast<DWORD>(length), &written, nullptr);
}

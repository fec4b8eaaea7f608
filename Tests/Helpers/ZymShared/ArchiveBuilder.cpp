#include "ArchiveBuilder.h"

#include <string.h>

#include "zip.h"

ArchiveBuilder::ArchiveBuilder(const std::string& path)
    : m_zip(zipOpen(path.c_str(), APPEND_STATUS_CREATE))
{
}

ArchiveBuilder::~ArchiveBuilder()
{
    Close();
}

bool ArchiveBuilder::Add(const std::string& name, const std::string& data, bool deflate,
                         const SYSTEMTIME* localTime)
{
    return AddEntry(name, data, deflate, localTime, 0);
}

bool ArchiveBuilder::AddUtf8(const std::string& name, const std::string& data)
{
    return AddEntry(name, data, true, nullptr, 0x800);
}

bool ArchiveBuilder::AddEntry(const std::string& name, const std::string& data, bool deflate,
                              const SYSTEMTIME* localTime, unsigned long flags)
{
    if (m_zip == nullptr)
        return false;
    SYSTEMTIME when = {2024, 3, 0, 1, 10, 0, 0, 0};
    if (localTime != nullptr)
        when = *localTime;
    zip_fileinfo info;
    memset(&info, 0, sizeof(info));
    info.tmz_date.tm_year = when.wYear;
    info.tmz_date.tm_mon = when.wMonth - 1;
    info.tmz_date.tm_mday = when.wDay;
    info.tmz_date.tm_hour = when.wHour;
    info.tmz_date.tm_min = when.wMinute;
    info.tmz_date.tm_sec = when.wSecond;

    if (zipOpenNewFileInZip4(m_zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                             deflate ? Z_DEFLATED : 0, deflate ? Z_DEFAULT_COMPRESSION : 0, 0,
                             -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0,
                             flags) != ZIP_OK)
        return false;
    const bool written =
        data.empty() ||
        zipWriteInFileInZip(m_zip, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
    return zipCloseFileInZip(m_zip) == ZIP_OK && written;
}

bool ArchiveBuilder::Close()
{
    if (m_zip == nullptr)
        return true;
    const bool closed = zipClose(m_zip, nullptr) == ZIP_OK;
    m_zip = nullptr;
    return closed;
}

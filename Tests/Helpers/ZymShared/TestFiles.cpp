#include "TestFiles.h"

#include <stdio.h>

#include <algorithm>

bool TestFiles::Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TestFiles::IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool TestFiles::Write(const std::string& path, const std::string& data)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = fwrite(data.data(), 1, data.size(), file) == data.size();
    return fclose(file) == 0 && written;
}

std::string TestFiles::Read(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return "<unreadable>";
    std::string data;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof(buffer), file)) > 0)
        data.append(buffer, count);
    fclose(file);
    return data;
}

namespace {

void ListInto(const std::string& root, const std::string& relative, std::vector<std::string>& out,
              int depth)
{
    if (depth > 32)
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + "\\" + relative + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(relative + name + "\\");
            ListInto(root, relative + name + "\\", out, depth + 1);
        } else {
            out.push_back(relative + name);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

std::vector<std::string> TestFiles::List(const std::string& root)
{
    std::vector<std::string> entries;
    ListInto(root, "", entries, 0);
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool TestFiles::MakeFolders(const std::string& path)
{
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    return IsFolder(path);
}

int TestFiles::Patch(const std::string& path, const std::string& from, const std::string& to)
{
    if (from.size() != to.size() || from.empty())
        return 0;
    std::string data = Read(path);
    int replaced = 0;
    for (size_t at = data.find(from); at != std::string::npos; at = data.find(from, at + 1)) {
        data.replace(at, to.size(), to);
        ++replaced;
    }
    return replaced > 0 && Write(path, data) ? replaced : 0;
}

bool TestFiles::SetDeclaredSize(const std::string& path, unsigned long size)
{
    return SetDeclaredField(path, 22, 24, size);
}

bool TestFiles::SetDeclaredChecksum(const std::string& path, unsigned long crc)
{
    return SetDeclaredField(path, 14, 16, crc);
}

bool TestFiles::SetDeclaredField(const std::string& path, size_t local, size_t central, unsigned long value)
{
    std::string data = Read(path);
    const size_t eocdSize = 22;
    if (data.size() < eocdSize + 30 || data.compare(0, 4, "PK\x03\x04") != 0)
        return false;
    const size_t eocd = data.size() - eocdSize;
    if (data.compare(eocd, 4, "PK\x05\x06") != 0)
        return false;
    auto put = [&data](size_t at, unsigned long field) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = static_cast<char>((field >> (8 * i)) & 0xFF);
    };
    const unsigned char* centralOffset =
        reinterpret_cast<const unsigned char*>(data.data()) + eocd + 16;
    const size_t record = centralOffset[0] | centralOffset[1] << 8 | centralOffset[2] << 16 |
                          static_cast<size_t>(centralOffset[3]) << 24;
    if (record + 46 > data.size() || data.compare(record, 4, "PK\x01\x02") != 0)
        return false;
    put(local, value);
    put(record + central, value);
    return Write(path, data);
}

bool TestFiles::SetFirstDataByte(const std::string& path, unsigned char value)
{
    std::string data = Read(path);
    if (data.size() < 30 || data.compare(0, 4, "PK\x03\x04") != 0)
        return false;
    const unsigned char* header = reinterpret_cast<const unsigned char*>(data.data());
    const size_t start = 30 + (header[26] | header[27] << 8) + (header[28] | header[29] << 8);
    if (start >= data.size())
        return false;
    data[start] = static_cast<char>(value);
    return Write(path, data);
}

bool TestFiles::FileTimes(const std::string& path, FILETIME& created, FILETIME& written)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FILETIME accessed;
    const bool read = GetFileTime(file, &created, &accessed, &written) != FALSE;
    CloseHandle(file);
    return read;
}

int TestFiles::SetAllDeclaredSizes(const std::string& path, unsigned long size)
{
    std::string data = Read(path);
    auto get = [&data](size_t at) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(data.data()) + at;
        return static_cast<size_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<size_t>(p[3]) << 24);
    };
    auto put = [&data](size_t at, unsigned long value) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    int changed = 0;
    for (size_t at = data.find("PK\x01\x02"); at != std::string::npos && at + 46 <= data.size();
         at = data.find("PK\x01\x02", at + 4)) {
        const size_t local = get(at + 42);
        if (local + 30 > data.size() || data.compare(local, 4, "PK\x03\x04") != 0)
            return 0;
        put(at + 24, size);
        put(local + 22, size);
        ++changed;
    }
    return changed > 0 && Write(path, data) ? changed : 0;
}

bool TestFiles::ExistsW(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

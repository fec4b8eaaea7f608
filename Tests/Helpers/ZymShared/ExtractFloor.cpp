// What Wine itself costs for the files of an extraction: ExtractFloor ARCHIVE
// DESTINATION reads every entry of the archive into memory first (untimed),
// then times writing the same files from memory, with the same folders,
// contents and entry times, through the plainest calls there are: one
// CreateFileW, one WriteFile, one SetFileTime and one CloseHandle per file,
// each folder created once. No inflating, no buffering between the data and
// the system: an extraction cannot be faster than this.
#include <windows.h>

#include <stdio.h>

#include <set>
#include <string>
#include <vector>

#include "unzip.h"

namespace {

struct Entry {
    std::wstring path;
    std::vector<char> data;
    FILETIME time;
};

std::wstring Wide(const std::string& text)
{
    int count = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count > 0 ? count : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], count);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

FILETIME EntryTime(unsigned long dosDate)
{
    FILETIME local = {0, 0};
    FILETIME utc = {0, 0};
    DosDateTimeToFileTime(static_cast<WORD>(dosDate >> 16), static_cast<WORD>(dosDate & 0xFFFF),
                          &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

bool ReadEntries(const char* archive, const std::wstring& destination, std::vector<Entry>& entries)
{
    unzFile zip = unzOpen(archive);
    if (zip == nullptr)
        return false;
    bool ok = unzGoToFirstFile(zip) == UNZ_OK;
    while (ok) {
        unz_file_info info;
        char name[256];
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK) {
            ok = false;
            break;
        }
        size_t length = strlen(name);
        if (length > 0 && name[length - 1] != '/') {
            Entry entry;
            std::string relative(name);
            for (char& c : relative)
                if (c == '/')
                    c = '\\';
            entry.path = destination + L"\\" + Wide(relative);
            entry.data.resize(info.uncompressed_size);
            entry.time = EntryTime(info.dosDate);
            if (unzOpenCurrentFile(zip) != UNZ_OK) {
                ok = false;
                break;
            }
            int read = entry.data.empty() ? 0
                                          : unzReadCurrentFile(zip, entry.data.data(),
                                                               static_cast<unsigned>(entry.data.size()));
            if (unzCloseCurrentFile(zip) != UNZ_OK || read != static_cast<int>(entry.data.size())) {
                ok = false;
                break;
            }
            entries.push_back(std::move(entry));
        }
        int next = unzGoToNextFile(zip);
        if (next == UNZ_END_OF_LIST_OF_FILE)
            break;
        ok = next == UNZ_OK;
    }
    unzClose(zip);
    return ok;
}

bool MakeFolders(const std::wstring& file, std::set<std::wstring>& made)
{
    size_t cut = file.find_last_of(L'\\');
    if (cut == std::wstring::npos)
        return true;
    std::wstring folder = file.substr(0, cut);
    if (made.count(folder) != 0)
        return true;
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        if (GetLastError() != ERROR_PATH_NOT_FOUND || !MakeFolders(folder, made) ||
            (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS))
            return false;
    }
    made.insert(folder);
    return true;
}

bool WriteEntry(const Entry& entry, std::set<std::wstring>& made)
{
    if (!MakeFolders(entry.path, made))
        return false;
    HANDLE file = CreateFileW(entry.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = entry.data.empty() ||
              (WriteFile(file, entry.data.data(), static_cast<DWORD>(entry.data.size()), &written,
                         nullptr) &&
               written == entry.data.size());
    ok = SetFileTime(file, &entry.time, nullptr, &entry.time) && ok;
    return CloseHandle(file) && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: ExtractFloor ARCHIVE DESTINATION\n");
        return 2;
    }
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    std::vector<Entry> entries;
    if (!ReadEntries(argv[1], Wide(argv[2]), entries)) {
        printf("ExtractFloor: the archive could not be read into memory\n");
        return 1;
    }
    QueryPerformanceCounter(&end);
    // What the floor leaves out: reading and inflating the archive.
    printf("ExtractFloor: archive read and inflated into memory in %.3f s\n",
           static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    unsigned long long bytes = 0;
    for (const Entry& entry : entries)
        bytes += entry.data.size();

    QueryPerformanceCounter(&start);
    std::set<std::wstring> made;
    bool ok = CreateDirectoryW(Wide(argv[2]).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    for (const Entry& entry : entries)
        ok = ok && WriteEntry(entry, made);
    QueryPerformanceCounter(&end);
    const double seconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    printf("ExtractFloor: %s, %u files, %llu bytes in %.3f s\n", ok ? "true" : "false",
           static_cast<unsigned>(entries.size()), bytes, seconds);
    return ok ? 0 : 1;
}

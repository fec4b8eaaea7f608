#ifndef TESTFILES_H
#define TESTFILES_H

#include <windows.h>

#include <string>
#include <vector>

// File-system helpers of the tests that run in the sandbox prefix.
class TestFiles {
public:
    static bool Exists(const std::string& path);
    static bool IsFolder(const std::string& path);
    static bool Write(const std::string& path, const std::string& data);
    // The file's bytes, or "<unreadable>".
    static std::string Read(const std::string& path);
    // Every file and folder below root, as relative paths with backslashes,
    // folders ending in a backslash, sorted.
    static std::vector<std::string> List(const std::string& root);
    // Creates a fresh folder path (each level in turn).
    static bool MakeFolders(const std::string& path);
    // Replaces every occurrence of one byte string with another of the same
    // length inside a file.
    static int Patch(const std::string& path, const std::string& from, const std::string& to);
    // Sets the uncompressed size of the only entry of an archive, in its
    // local header and in the central directory.
    static bool SetDeclaredSize(const std::string& path, unsigned long size);
    // Sets the checksum (CRC-32) of the only entry of an archive, in both
    // places as well.
    static bool SetDeclaredChecksum(const std::string& path, unsigned long crc);
    // Overwrites the first byte of the only entry's stored data.
    static bool SetFirstDataByte(const std::string& path, unsigned char value);
    // Sets the uncompressed size of every entry, as SetDeclaredSize does for
    // one; returns the number of entries changed.
    static int SetAllDeclaredSizes(const std::string& path, unsigned long size);
    static bool ExistsW(const std::wstring& path);
    static bool FileTimes(const std::string& path, FILETIME& created, FILETIME& written);

private:
    // Sets a 32-bit field of the only entry at the given offsets of its
    // local header and of its central directory record.
    static bool SetDeclaredField(const std::string& path, size_t local, size_t central, unsigned long value);
};

#endif

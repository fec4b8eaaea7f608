#ifndef ARCHIVEFILE_H
#define ARCHIVEFILE_H

#include <windows.h>

#include <stddef.h>

#include <memory>
#include <string>

#include "unzip.h"

// The archive file as minizip reads it (unzOpen2_64 with Functions()):
// opened by its wide name, its position kept here rather than in the
// system, its bytes read through two windows held in memory. minizip seeks
// before nearly every read, and walks the central directory at the end of
// the file while it reads the entries' headers and data throughout: one
// window stays on each, so that most reads and every seek cost no system
// call. One thread at a time reads through it.
class ArchiveFile {
public:
    // Throws std::bad_alloc when the windows cannot be had; nothing is
    // allocated once minizip calls in.
    ArchiveFile();
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    // For unzOpen2_64, with the path given as a wide string's c_str().
    zlib_filefunc64_def Functions();

    // The bytes at the given offset, without going through minizip: a
    // pointer into a window when they fit one, else read into scratch.
    // Null when the file holds fewer; Failed tells a read error from that.
    // minizip's position stays where it was.
    const char* Bytes(unsigned long long at, size_t size, char* scratch);
    bool Failed() const { return m_bError; }

private:
    struct Window {
        unsigned long long start = 0;
        size_t size = 0;
        unsigned long long lastUse = 0;
        std::unique_ptr<char[]> data;
    };

    static voidpf ZCALLBACK Open(voidpf self, const void* path, int mode);
    static uLong ZCALLBACK Read(voidpf self, voidpf stream, void* buffer, uLong size);
    static uLong ZCALLBACK Write(voidpf self, voidpf stream, const void* buffer, uLong size);
    static ZPOS64_T ZCALLBACK Tell(voidpf self, voidpf stream);
    static long ZCALLBACK Seek(voidpf self, voidpf stream, ZPOS64_T offset, int origin);
    static int ZCALLBACK Close(voidpf self, voidpf stream);
    static int ZCALLBACK Error(voidpf self, voidpf stream);

    bool OpenFile(const wchar_t* path);
    size_t ReadAt(char* buffer, size_t size);
    // Reads at the position straight from the file; 0 at its end or on an
    // error, which is kept.
    size_t ReadFileAt(unsigned long long at, char* buffer, size_t size);
    Window* WindowAt(unsigned long long at);

    HANDLE m_hFile;
    unsigned long long m_nSize;
    unsigned long long m_nPosition;
    unsigned long long m_nUses;
    bool m_bError;
    Window m_Windows[2];
};

#endif

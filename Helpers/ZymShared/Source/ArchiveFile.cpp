#include "ArchiveFile.h"

#include <string.h>

namespace {

// Large enough that the data of the small entries of an install archive,
// their headers and those of the next entries come in one read; a larger
// read bypasses the windows.
const size_t kWindowSize = 256 * 1024;
// ReadFile takes at most this many bytes per call.
const size_t kMostPerRead = 1u << 30;

} // namespace

ArchiveFile::ArchiveFile()
    : m_hFile(INVALID_HANDLE_VALUE), m_nSize(0), m_nPosition(0), m_nUses(0), m_bError(false)
{
    for (Window& window : m_Windows)
        window.data.reset(new char[kWindowSize]);
}

ArchiveFile::~ArchiveFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
}

zlib_filefunc64_def ArchiveFile::Functions()
{
    zlib_filefunc64_def functions;
    functions.zopen64_file = &ArchiveFile::Open;
    functions.zread_file = &ArchiveFile::Read;
    functions.zwrite_file = &ArchiveFile::Write;
    functions.ztell64_file = &ArchiveFile::Tell;
    functions.zseek64_file = &ArchiveFile::Seek;
    functions.zclose_file = &ArchiveFile::Close;
    functions.zerror_file = &ArchiveFile::Error;
    functions.opaque = this;
    return functions;
}

bool ArchiveFile::OpenFile(const wchar_t* path)
{
    if (m_hFile != INVALID_HANDLE_VALUE || path == nullptr)
        return false;
    // Shared as the C runtime's fopen shares it: another program may still
    // be reading or even writing the archive.
    m_hFile = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size) || size.QuadPart < 0) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        return false;
    }
    m_nSize = static_cast<unsigned long long>(size.QuadPart);
    m_nPosition = 0;
    m_bError = false;
    for (Window& window : m_Windows)
        window.size = 0;
    return true;
}

ArchiveFile::Window* ArchiveFile::WindowAt(unsigned long long at)
{
    for (Window& window : m_Windows)
        if (at >= window.start && at - window.start < window.size)
            return &window;
    return nullptr;
}

size_t ArchiveFile::ReadFileAt(unsigned long long at, char* buffer, size_t size)
{
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD count = 0;
    if (!ReadFile(m_hFile, buffer, static_cast<DWORD>(size < kMostPerRead ? size : kMostPerRead), &count, &where)) {
        if (GetLastError() != ERROR_HANDLE_EOF)
            m_bError = true;
        return 0;
    }
    return count;
}

size_t ArchiveFile::ReadAt(char* buffer, size_t size)
{
    size_t copied = 0;
    while (copied < size && m_nPosition < m_nSize) {
        Window* window = WindowAt(m_nPosition);
        if (window == nullptr && size - copied >= kWindowSize) {
            const size_t count = ReadFileAt(m_nPosition, buffer + copied, size - copied);
            if (count == 0)
                break;
            m_nPosition += count;
            copied += count;
            continue;
        }
        if (window == nullptr) {
            window = m_Windows[0].lastUse <= m_Windows[1].lastUse ? &m_Windows[0] : &m_Windows[1];
            window->start = m_nPosition;
            window->size = ReadFileAt(m_nPosition, window->data.get(), kWindowSize);
            if (window->size == 0)
                break;
        }
        window->lastUse = ++m_nUses;
        const unsigned long long inWindow = window->start + window->size - m_nPosition;
        const size_t count = size - copied < inWindow ? size - copied : static_cast<size_t>(inWindow);
        memcpy(buffer + copied, window->data.get() + (m_nPosition - window->start), count);
        m_nPosition += count;
        copied += count;
    }
    return copied;
}

const char* ArchiveFile::Bytes(unsigned long long at, size_t size, char* scratch)
{
    if (m_hFile == INVALID_HANDLE_VALUE || at > m_nSize || size > m_nSize - at)
        return nullptr;
    if (size <= kWindowSize) {
        Window* window = WindowAt(at);
        if (window == nullptr || at + size > window->start + window->size) {
            window = m_Windows[0].lastUse <= m_Windows[1].lastUse ? &m_Windows[0] : &m_Windows[1];
            window->start = at;
            window->size = ReadFileAt(at, window->data.get(), kWindowSize);
        }
        window->lastUse = ++m_nUses;
        return at + size <= window->start + window->size ? window->data.get() + (at - window->start) : nullptr;
    }
    const unsigned long long position = m_nPosition;
    m_nPosition = at;
    const size_t count = ReadAt(scratch, size);
    m_nPosition = position;
    return count == size ? scratch : nullptr;
}

voidpf ZCALLBACK ArchiveFile::Open(voidpf self, const void* path, int mode)
{
    // Reading only: an archive is never written through this.
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ)
        return nullptr;
    ArchiveFile* file = static_cast<ArchiveFile*>(self);
    return file->OpenFile(static_cast<const wchar_t*>(path)) ? file : nullptr;
}

uLong ZCALLBACK ArchiveFile::Read(voidpf, voidpf stream, void* buffer, uLong size)
{
    return static_cast<uLong>(static_cast<ArchiveFile*>(stream)->ReadAt(static_cast<char*>(buffer), size));
}

uLong ZCALLBACK ArchiveFile::Write(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

ZPOS64_T ZCALLBACK ArchiveFile::Tell(voidpf, voidpf stream)
{
    return static_cast<ArchiveFile*>(stream)->m_nPosition;
}

long ZCALLBACK ArchiveFile::Seek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    ArchiveFile* file = static_cast<ArchiveFile*>(stream);
    unsigned long long base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET:
        break;
    case ZLIB_FILEFUNC_SEEK_CUR:
        base = file->m_nPosition;
        break;
    case ZLIB_FILEFUNC_SEEK_END:
        base = file->m_nSize;
        break;
    default:
        return -1;
    }
    // Past the end is allowed, as for a file: reading there gives nothing.
    if (offset > ~0ull - base)
        return -1;
    file->m_nPosition = base + offset;
    return 0;
}

int ZCALLBACK ArchiveFile::Close(voidpf, voidpf stream)
{
    ArchiveFile* file = static_cast<ArchiveFile*>(stream);
    const BOOL closed = CloseHandle(file->m_hFile);
    file->m_hFile = INVALID_HANDLE_VALUE;
    return closed ? 0 : -1;
}

int ZCALLBACK ArchiveFile::Error(voidpf, voidpf stream)
{
    return static_cast<ArchiveFile*>(stream)->m_bError ? 1 : 0;
}

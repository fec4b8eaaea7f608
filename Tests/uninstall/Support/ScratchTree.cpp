#include "ScratchTree.h"

#include <windows.h>

ScratchTree::ScratchTree(const std::string& root)
    : m_Root(root)
{
    AddFolder("");
}

std::string ScratchTree::PathOf(const std::string& relative) const
{
    return relative.empty() ? m_Root : m_Root + "\\" + relative;
}

void ScratchTree::AddFolder(const std::string& relative) const
{
    const std::string path = PathOf(relative);
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

void ScratchTree::AddFile(const std::string& relative) const
{
    const size_t cut = relative.rfind('\\');
    if (cut != std::string::npos)
        AddFolder(relative.substr(0, cut));
    const HANDLE file = CreateFileA(PathOf(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, relative.c_str(), static_cast<DWORD>(relative.size()), &written, nullptr);
    CloseHandle(file);
}

bool ScratchTree::Exists(const std::string& relative) const
{
    return GetFileAttributesA(PathOf(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

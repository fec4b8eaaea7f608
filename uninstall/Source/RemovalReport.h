#ifndef UNINSTALL_REMOVALREPORT_H
#define UNINSTALL_REMOVALREPORT_H

#include <stddef.h>

#include <string>
#include <vector>

// What a run could not remove, for the one message box at its end: files and
// folders left in place, those scheduled for removal at the next restart, and
// an install folder that was refused as a whole. No system call is made here.
class RemovalReport
{
public:
    // The texts of the box, from the program's string table.
    struct Wording
    {
        std::wstring notRemoved;   // heading of the list of what stays
        std::wstring atRestart;    // heading of the list of what goes at restart
        std::wstring refused;      // heading of the folder that was not emptied
        std::wstring more;         // a line standing for further entries; "%u" is their number
    };

    void NotRemoved(const std::wstring& path) { m_NotRemoved.push_back(path); }
    void AtRestart(const std::wstring& path) { m_AtRestart.push_back(path); }
    void FolderRefused(const std::wstring& folder) { m_Refused.push_back(folder); }

    bool IsEmpty() const { return m_NotRemoved.empty() && m_AtRestart.empty() && m_Refused.empty(); }
    bool HasNotRemoved(const std::wstring& path) const;
    bool HasAtRestart(const std::wstring& path) const;

    // The box's text: each non-empty list under its heading, at most
    // linesPerList paths each, further ones counted in one line.
    std::wstring Text(const Wording& wording, size_t linesPerList) const;

private:
    static void AppendList(std::wstring& text, const std::wstring& heading, const std::vector<std::wstring>& paths,
                           const std::wstring& more, size_t linesPerList);

    std::vector<std::wstring> m_Refused;
    std::vector<std::wstring> m_NotRemoved;
    std::vector<std::wstring> m_AtRestart;
};

#endif

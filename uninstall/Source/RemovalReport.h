#ifndef UNINSTALL_REMOVALREPORT_H
#define UNINSTALL_REMOVALREPORT_H

#include "RemovalEvents.h"

#include <stddef.h>

#include <string>
#include <vector>

// What a run could not remove, for the one message box at its end: files and
// folders left in place, those scheduled for removal at the next restart, and
// an install folder that was refused as a whole. Every step and item of the
// run passes through it on its way to whoever follows the run. No system
// call is made here.
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

    void NotRemoved(const std::wstring& path);
    void AtRestart(const std::wstring& path);
    void FolderRefused(const std::wstring& folder);

    // Followers see every step and event from now on, in order.
    void Follow(RemovalEvents& follower) { m_Followers.push_back(&follower); }
    void Unfollow(const RemovalEvents& follower);
    void Step(RemovalEvents::Step step);
    // An event that the box does not list (a removal, a retry, a plug-in).
    void Note(RemovalEvents::Event event, const std::wstring& item);

    bool IsEmpty() const { return m_NotRemoved.empty() && m_AtRestart.empty() && m_Refused.empty(); }
    // Something stays for good: a file or folder, or the refused folder.
    bool LeftAnything() const { return !m_NotRemoved.empty() || !m_Refused.empty(); }
    bool ScheduledAnything() const { return !m_AtRestart.empty(); }
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
    std::vector<RemovalEvents*> m_Followers;
};

#endif

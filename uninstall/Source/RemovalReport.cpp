#include "RemovalReport.h"

#include <algorithm>

void RemovalReport::NotRemoved(const std::wstring& path)
{
    m_NotRemoved.push_back(path);
    Note(RemovalEvents::LeftInPlace, path);
}

void RemovalReport::AtRestart(const std::wstring& path)
{
    m_AtRestart.push_back(path);
    Note(RemovalEvents::ScheduledAtRestart, path);
}

void RemovalReport::FolderRefused(const std::wstring& folder)
{
    m_Refused.push_back(folder);
    Note(RemovalEvents::FolderRefused, folder);
}

void RemovalReport::Unfollow(const RemovalEvents& follower)
{
    m_Followers.erase(std::remove(m_Followers.begin(), m_Followers.end(), &follower), m_Followers.end());
}

void RemovalReport::Step(RemovalEvents::Step step)
{
    for (RemovalEvents* follower : m_Followers)
        follower->StepStarted(step);
}

void RemovalReport::Note(RemovalEvents::Event event, const std::wstring& item)
{
    for (RemovalEvents* follower : m_Followers)
        follower->Noted(event, item);
}

bool RemovalReport::HasNotRemoved(const std::wstring& path) const
{
    return std::find(m_NotRemoved.begin(), m_NotRemoved.end(), path) != m_NotRemoved.end();
}

bool RemovalReport::HasAtRestart(const std::wstring& path) const
{
    return std::find(m_AtRestart.begin(), m_AtRestart.end(), path) != m_AtRestart.end();
}

void RemovalReport::AppendList(std::wstring& text, const std::wstring& heading,
                               const std::vector<std::wstring>& paths, const std::wstring& more,
                               size_t linesPerList)
{
    if (paths.empty())
        return;
    if (!text.empty())
        text += L"\r\n\r\n";
    text += heading;
    const size_t shown = std::min(paths.size(), linesPerList);
    for (size_t i = 0; i < shown; ++i)
        text += L"\r\n" + paths[i];
    if (shown == paths.size())
        return;
    std::wstring line = more;
    const size_t at = line.find(L"%u");
    const std::wstring count = std::to_wstring(paths.size() - shown);
    if (at != std::wstring::npos)
        line.replace(at, 2, count);
    else
        line += L" " + count;
    text += L"\r\n" + line;
}

std::wstring RemovalReport::Text(const Wording& wording, size_t linesPerList) const
{
    std::wstring text;
    AppendList(text, wording.refused, m_Refused, wording.more, linesPerList);
    AppendList(text, wording.notRemoved, m_NotRemoved, wording.more, linesPerList);
    AppendList(text, wording.atRestart, m_AtRestart, wording.more, linesPerList);
    return text;
}

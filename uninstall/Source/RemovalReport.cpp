#include "RemovalReport.h"

#include <algorithm>

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

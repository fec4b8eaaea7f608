#include "EntryLedger.h"

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

size_t ComponentEnd(const std::wstring& path, size_t begin)
{
    while (begin < path.size() && !IsSeparator(path[begin]))
        ++begin;
    return begin;
}

// A name the file system may have given another file besides its own long
// name: a short one (at most eight letters, a dot and three) with a tilde,
// which the system puts in every name it makes up. It may stand for any
// name in its folder.
bool MayBeShortAlias(const std::wstring& path, size_t begin, size_t end)
{
    size_t dot = end;
    bool tilde = false;
    for (size_t i = begin; i < end; ++i) {
        if (path[i] == L'.') {
            if (dot != end)
                return false;
            dot = i;
        } else if (path[i] == L'~') {
            tilde = tilde || dot == end;
        }
    }
    return tilde && dot - begin <= 8 && (dot == end || end - dot - 1 <= 3);
}

// One path is the other, or a folder on the other's way, name by name; a
// name that may be a short alias matches any.
bool Related(const std::wstring& a, const std::wstring& b)
{
    size_t i = 0;
    size_t j = 0;
    for (;;) {
        const size_t aEnd = ComponentEnd(a, i);
        const size_t bEnd = ComponentEnd(b, j);
        if (a.compare(i, aEnd - i, b, j, bEnd - j) != 0 && !MayBeShortAlias(a, i, aEnd) &&
            !MayBeShortAlias(b, j, bEnd))
            return false;
        // Either one ends here, a trailing separator included.
        if (aEnd + 1 >= a.size() || bEnd + 1 >= b.size())
            return true;
        i = aEnd + 1;
        j = bEnd + 1;
    }
}

} // namespace

EntryLedger::EntryLedger(size_t writers)
    : m_HeldBy(writers == 0 ? 1 : writers, 0), m_Next(0), m_FirstFailed(0), m_bFailed(false)
{
}

size_t EntryLedger::LeastBusy() const
{
    size_t least = 0;
    for (size_t i = 1; i < m_HeldBy.size(); ++i)
        if (m_HeldBy[i] < m_HeldBy[least])
            least = i;
    return least;
}

EntryLedger::Entry EntryLedger::Add(size_t writer, const std::wstring& key)
{
    // Inserted before anything is counted: a failed allocation leaves the
    // ledger as it was.
    m_Unfinished.emplace(m_Next, Held{writer, key, false});
    ++m_HeldBy[writer];
    return m_Next++;
}

bool EntryLedger::MayCreate(Entry entry) const
{
    const auto self = m_Unfinished.find(entry);
    if (self == m_Unfinished.end())
        return false;
    for (auto it = m_Unfinished.begin(); it != self; ++it)
        if (Related(it->second.key, self->second.key))
            return false;
    return true;
}

bool EntryLedger::MayCommit(Entry entry) const
{
    for (auto it = m_Unfinished.begin(); it != m_Unfinished.end() && it->first < entry; ++it)
        if (!it->second.settled)
            return false;
    return true;
}

void EntryLedger::Settle(Entry entry)
{
    const auto it = m_Unfinished.find(entry);
    if (it != m_Unfinished.end())
        it->second.settled = true;
}

void EntryLedger::Finish(Entry entry)
{
    const auto it = m_Unfinished.find(entry);
    if (it == m_Unfinished.end())
        return;
    --m_HeldBy[it->second.writer];
    m_Unfinished.erase(it);
}

void EntryLedger::Fail(Entry entry)
{
    if (!m_bFailed || entry < m_FirstFailed)
        m_FirstFailed = entry;
    m_bFailed = true;
}

bool EntryLedger::Abandoned(Entry entry) const
{
    return m_bFailed && entry > m_FirstFailed;
}

#include "EntryLedger.h"

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// One path is the other, or a folder on the other's way.
bool Related(const std::wstring& a, const std::wstring& b)
{
    const std::wstring& shorter = a.size() <= b.size() ? a : b;
    const std::wstring& longer = a.size() <= b.size() ? b : a;
    if (longer.compare(0, shorter.size(), shorter) != 0)
        return false;
    return longer.size() == shorter.size() || IsSeparator(longer[shorter.size()]) ||
           (!shorter.empty() && IsSeparator(shorter.back()));
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

#include "CapabilityNegotiation.h"

#include <algorithm>

namespace
{
    template <typename Each>
    void ForEachWord(const std::string& list, Each each)
    {
        size_t nAt = list.find_first_not_of(' ');
        while (nAt != std::string::npos)
        {
            size_t nEnd = list.find(' ', nAt);
            each(list.substr(nAt, nEnd == std::string::npos ? std::string::npos : nEnd - nAt));
            nAt = nEnd == std::string::npos ? nEnd : list.find_first_not_of(' ', nEnd);
        }
    }
}

void CapabilityNegotiation::Begin()
{
    m_Offered.clear();
    m_Enabled.clear();
    m_Asked.clear();
    m_nRequestsOpen = 0;
    m_Phase = Phase::Listing;
}

void CapabilityNegotiation::End()
{
    Begin();
    m_Phase = Phase::Off;
}

void CapabilityNegotiation::AddOffered(const std::string& list,
                                       const std::vector<std::string>& known)
{
    ForEachWord(list, [this, &known](const std::string& word) {
        size_t nEquals = word.find('=');
        std::string name = word.substr(0, nEquals);
        if (std::find(known.begin(), known.end(), name) == known.end())
            return;
        m_Offered[name] = nEquals == std::string::npos ? std::string() : word.substr(nEquals + 1);
    });
}

std::vector<std::string> CapabilityNegotiation::Missing(const std::vector<std::string>& wanted) const
{
    std::vector<std::string> missing;
    for (const std::string& name : wanted)
    {
        if (Offered(name) && !Enabled(name) && m_Asked.count(name) == 0)
            missing.push_back(name);
    }
    return missing;
}

bool CapabilityNegotiation::Offered(const std::string& name) const
{
    return m_Offered.count(name) != 0;
}

const std::string& CapabilityNegotiation::OfferedValue(const std::string& name) const
{
    static const std::string kNone;
    std::map<std::string, std::string>::const_iterator it = m_Offered.find(name);
    return it == m_Offered.end() ? kNone : it->second;
}

void CapabilityNegotiation::Requested(const std::vector<std::string>& names)
{
    m_Asked.insert(names.begin(), names.end());
    ++m_nRequestsOpen;
}

void CapabilityNegotiation::Acknowledged(const std::string& list)
{
    ForEachWord(list, [this](const std::string& word) {
        if (m_Asked.erase(word) != 0)
            m_Enabled.insert(word);
    });
    if (m_nRequestsOpen > 0)
        --m_nRequestsOpen;
}

void CapabilityNegotiation::Refused(const std::string& list)
{
    ForEachWord(list, [this](const std::string& word) { m_Asked.erase(word); });
    if (m_nRequestsOpen > 0)
        --m_nRequestsOpen;
}

void CapabilityNegotiation::Withdrawn(const std::string& list)
{
    ForEachWord(list, [this](const std::string& word) {
        m_Enabled.erase(word);
        m_Offered.erase(word);
    });
}

std::string CapabilityNegotiation::EnabledText() const
{
    std::string text;
    for (const std::string& name : m_Enabled)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

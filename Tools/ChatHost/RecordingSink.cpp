#include "RecordingSink.h"

#include <chrono>

RecordingSink::RecordingSink(bool keep) : m_bKeep(keep), m_nErrorAnswer(0)
{
}

RecordingSink::~RecordingSink()
{
}

void RecordingSink::SetObserver(Observer observer)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Observer = observer;
}

void RecordingSink::SetErrorAnswer(int answer)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_nErrorAnswer = answer;
}

void RecordingSink::NotifyEvent(int nCode, int nValue)
{
    Add(EventRecord{EventRecord::Event, nCode, nValue, false, std::string()});
}

void RecordingSink::NotifyText(int nCode, const char* pszText)
{
    Add(EventRecord{EventRecord::Text, nCode, 0, pszText != nullptr,
                    pszText != nullptr ? std::string(pszText) : std::string()});
}

int RecordingSink::ReportError(int nCode, const char* pszText)
{
    Add(EventRecord{EventRecord::Error, nCode, 0, pszText != nullptr,
                    pszText != nullptr ? std::string(pszText) : std::string()});
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nErrorAnswer;
}

void RecordingSink::NotifyDetails(int nCode, const ChatEventDetails* pDetails)
{
    EventRecord record{EventRecord::Detail, nCode, 0, true, pDetails->pszText};
    record.channel = pDetails->pszChannel;
    record.nickname = pDetails->pszNickname;
    record.source = pDetails->pszSource;
    record.account = pDetails->pszAccount;
    record.time = pDetails->pszTime;
    record.messageId = pDetails->pszMessageId;
    Add(record);
}

void RecordingSink::Add(const EventRecord& record)
{
    Observer observer;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        observer = m_Observer;
    }
    // The observer runs outside the lock: it may print, and a waiting thread
    // must not be held up by the console.
    if (observer)
    {
        observer(record);
    }
    if (m_bKeep)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Records.push_back(record);
    }
    m_Changed.notify_all();
}

size_t RecordingSink::Count() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Records.size();
}

bool RecordingSink::WaitFor(const Match& match, int timeoutMs, size_t from) const
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    size_t checked = from;
    auto found = [&]() {
        for (; checked < m_Records.size(); ++checked)
        {
            if (match(m_Records[checked]))
            {
                return true;
            }
        }
        return false;
    };
    return m_Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), found);
}

size_t RecordingSink::CountMatching(const Match& match, size_t from) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    size_t count = 0;
    for (size_t i = from; i < m_Records.size(); ++i)
    {
        if (match(m_Records[i]))
        {
            ++count;
        }
    }
    return count;
}

std::vector<EventRecord> RecordingSink::Records() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Records;
}

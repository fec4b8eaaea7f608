#include "RecordingSink.h"

#include <chrono>

void RecordingSink::NotifyEvent(int nCode, int nValue)
{
    Record(SinkCall{SinkCall::Event, nCode, nValue, std::string()});
}

void RecordingSink::NotifyText(int nCode, const char* pszText)
{
    Record(SinkCall{SinkCall::Text, nCode, pszText != nullptr ? 1 : 0,
                    pszText != nullptr ? std::string(pszText) : std::string()});
    if (onText)
        onText(nCode, pszText);
}

int RecordingSink::ReportError(int nCode, const char* pszText)
{
    Record(SinkCall{SinkCall::Error, nCode, 0, std::string(pszText)});
    return m_nErrorAnswer;
}

void RecordingSink::Record(const SinkCall& call)
{
    {
        std::lock_guard<std::mutex> hold(m_Mutex);
        m_Calls.push_back(call);
    }
    m_Changed.notify_all();
}

std::vector<SinkCall> RecordingSink::Calls() const
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    return m_Calls;
}

std::vector<std::string> RecordingSink::Texts(int nCode) const
{
    std::vector<std::string> texts;
    for (const SinkCall& call : Calls())
    {
        if (call.kind == SinkCall::Text && call.nCode == nCode)
            texts.push_back(call.text);
    }
    return texts;
}

std::vector<SinkCall> RecordingSink::Errors() const
{
    std::vector<SinkCall> errors;
    for (const SinkCall& call : Calls())
    {
        if (call.kind == SinkCall::Error)
            errors.push_back(call);
    }
    return errors;
}

void RecordingSink::Clear()
{
    std::lock_guard<std::mutex> hold(m_Mutex);
    m_Calls.clear();
}

bool RecordingSink::WaitForText(int nCode, const std::string& text, int nTimeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Mutex);
    return m_Changed.wait_for(hold, std::chrono::milliseconds(nTimeoutMs), [&] {
        for (const SinkCall& call : m_Calls)
        {
            if (call.kind == SinkCall::Text && call.nCode == nCode && call.text == text)
                return true;
        }
        return false;
    });
}

bool RecordingSink::WaitForError(int nCode, int nTimeoutMs)
{
    std::unique_lock<std::mutex> hold(m_Mutex);
    return m_Changed.wait_for(hold, std::chrono::milliseconds(nTimeoutMs), [&] {
        for (const SinkCall& call : m_Calls)
        {
            if (call.kind == SinkCall::Error && call.nCode == nCode)
                return true;
        }
        return false;
    });
}

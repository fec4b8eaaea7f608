#include "ContractSink.h"

#include <algorithm>
#include <chrono>

namespace contract
{
ContractSink::ContractSink() : m_nReservedCalls(0)
{
}

void ContractSink::SinkReserved1()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    ++m_nReservedCalls;
}

void ContractSink::SinkReserved2()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    ++m_nReservedCalls;
}

void ContractSink::NotifyEvent(int code, int value)
{
    Add("event " + std::to_string(code) + " " + std::to_string(value));
}

void ContractSink::NotifyText(int code, const char* text)
{
    Add(Text(code, text != nullptr ? text : "(null)"));
}

int ContractSink::ReportError(int code, const char* text)
{
    Add("error " + std::to_string(code) + " " + (text != nullptr ? text : "(null)"));
    return 0;
}

std::string ContractSink::Text(int code, const std::string& text)
{
    return "text " + std::to_string(code) + " " + text;
}

void ContractSink::Add(const std::string& line)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Lines.push_back(line);
    }
    m_Changed.notify_all();
}

size_t ContractSink::Count() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Lines.size();
}

bool ContractSink::WaitFor(const std::string& line, size_t from, int timeoutMs) const
{
    return WaitForEither(line, line, from, timeoutMs);
}

bool ContractSink::WaitForEither(const std::string& line, const std::string& other, size_t from,
                                 int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    return m_Changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&]() {
        if (from > m_Lines.size())
        {
            return false;
        }
        auto first = m_Lines.begin() + from;
        return std::find(first, m_Lines.end(), line) != m_Lines.end() ||
               std::find(first, m_Lines.end(), other) != m_Lines.end();
    });
}

bool ContractSink::Has(const std::string& line, size_t from) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return from <= m_Lines.size() &&
           std::find(m_Lines.begin() + from, m_Lines.end(), line) != m_Lines.end();
}

int ContractSink::ReservedCalls() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_nReservedCalls;
}
}

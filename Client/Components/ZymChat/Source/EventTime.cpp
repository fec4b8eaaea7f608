#include "EventTime.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace
{
    std::string Format(std::time_t nSeconds, int nMilliseconds)
    {
        std::tm parts{};
#ifdef _WIN32
        if (gmtime_s(&parts, &nSeconds) != 0)
            return std::string();
#else
        if (gmtime_r(&nSeconds, &parts) == nullptr)
            return std::string();
#endif
        char text[32];
        std::snprintf(text, sizeof(text), "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ",
                      parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                      parts.tm_min, parts.tm_sec, nMilliseconds);
        return text;
    }
}

std::string EventTime::Now()
{
    using namespace std::chrono;
    long long nMilliseconds =
        duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return Format(static_cast<std::time_t>(nMilliseconds / 1000),
                  static_cast<int>(nMilliseconds % 1000));
}

bool EventTime::IsStamp(const std::string& text)
{
    static const char kForm[] = "dddd-dd-ddTdd:dd:dd.dddZ";
    if (text.size() != sizeof(kForm) - 1)
        return false;
    for (size_t i = 0; i < text.size(); ++i)
    {
        bool bDigit = text[i] >= '0' && text[i] <= '9';
        if (kForm[i] == 'd' ? !bDigit : text[i] != kForm[i])
            return false;
    }
    return true;
}

std::string EventTime::FromUnixSeconds(const std::string& text)
{
    if (text.empty() || text.size() > 11 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::string();
    return Format(static_cast<std::time_t>(std::strtoll(text.c_str(), nullptr, 10)), 0);
}

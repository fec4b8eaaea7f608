#include "TestServer.h"

#include <cstdlib>

namespace
{
std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}
}

std::string TestServer::Address()
{
    return Environment("ZYM_IRC_SERVER");
}

std::string TestServer::Kind()
{
    return Environment("ZYM_IRC_KIND");
}

std::string TestServer::NextServerText()
{
    static int clients = 0;
    std::string secure = Environment("ZYM_IRC_TLS_SERVER");
    return !secure.empty() && clients++ % 2 == 0 ? secure : Address();
}

std::string TestServer::UniqueName(const std::string& prefix)
{
    static int counter = 0;
    return prefix + std::to_string(++counter);
}

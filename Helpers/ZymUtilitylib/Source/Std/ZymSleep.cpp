#include "ZymSleep.h"

#include <chrono>
#include <thread>

void ZymSleep(int nMilliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(nMilliseconds));
}

#include "ChatLogSetting.h"

// Without a registry there is nowhere to name a log file: no log.
FILE* OpenConfiguredChatLog()
{
    return nullptr;
}

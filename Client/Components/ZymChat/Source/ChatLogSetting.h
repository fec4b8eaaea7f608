#ifndef ZYM_CHATLOGSETTING_H
#define ZYM_CHATLOGSETTING_H

#include <cstdio>

// The diagnostic log is switched on without a rebuild: the string value
// "ChatLogFile" under HKEY_CURRENT_USER\SOFTWARE\Quillmarsh\SkelvaneClient\2.0
// names a file that each component object opens for appending. No value, an
// empty one, another type or a file that cannot be opened mean no log (null).
FILE* OpenConfiguredChatLog();

extern const char* const kChatLogKey;
extern const wchar_t* const kChatLogValue;

#endif

#ifndef ANSITEXT_H
#define ANSITEXT_H

#include <stddef.h>

#include <string>

// Text in the ANSI code page as UTF-16, the way the ANSI file functions read
// it; empty when it cannot be converted.
std::wstring WidenAnsi(const char* text, size_t length);

#endif

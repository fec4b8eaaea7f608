#ifndef UNINSTALL_UPPERCASETEXT_H
#define UNINSTALL_UPPERCASETEXT_H

// Upper-cases a zero-terminated text in place, as Windows compares names:
// by the letters of the ANSI code page. Off Windows, by the ASCII letters
// only.
void UpperCaseText(char* text);

#endif

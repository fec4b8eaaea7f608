#ifndef ZYM_OUTGOINGLINE_H
#define ZYM_OUTGOINGLINE_H

#include <cstddef>

// The rules a protocol line must meet before it may be queued. A host text
// or a word from the server that holds a line break would reach the server
// as a command of its own, and a line longer than the server's limit is cut
// or refused by the server, so neither may ever go out.
namespace OutgoingLine
{
    // Characters of one line on the wire, without its CR LF.
    const size_t kMaxLength = 510;

    // True when the text can go out as exactly one line: at most kMaxLength
    // characters and no CR or LF. A null text is not sendable.
    bool IsSendable(const char* pszText);

    // True when a piece of a line (a host text, a name) holds no CR or LF.
    // A null text has none.
    bool HasNoLineBreak(const char* pszText);
}

#endif

#ifndef ZYM_INBOUNDFIELDS_H
#define ZYM_INBOUNDFIELDS_H

#include <cstddef>

// Field searches over one received line. Words are separated by single
// blanks; every copy is bounded by the size of its destination.
namespace InboundFields
{
    // The command word: the second word when the line begins with ":" (the
    // sender's prefix), else the first. Null when a prefix stands alone.
    const char* CommandWord(const char* pszLine);

    // True when the word at pszAt is exactly pszWord.
    bool WordIs(const char* pszAt, const char* pszWord);

    // The word after the one at pszAt (past exactly one blank), or null when
    // the word at pszAt is the last.
    const char* NextWord(const char* pszAt);

    // Copies the word at pszAt into pArea, cut to fit nAreaSize bytes with
    // its terminator. Null pszAt gives an empty text.
    void CopyWord(const char* pszAt, char* pArea, size_t nAreaSize);

    // Length of the prefix "nick" part: the characters from the line's
    // start to its first "!" when that "!" lies before pszCommand, else -1.
    int SenderLength(const char* pszLine, const char* pszCommand);

    // The trailing parameter: the text after the first ":" found from
    // pszFrom on, or null when there is none.
    const char* Trailing(const char* pszFrom);

    // Equality of two texts ignoring the case of ASCII letters.
    bool EqualsIgnoringCase(const char* pszLeft, const char* pszRight);

    // Appends at most nLength characters of pszText to the text in pArea,
    // cut to fit nAreaSize bytes with its terminator.
    void AppendText(char* pArea, size_t nAreaSize, const char* pszText, size_t nLength);

    // Length of the word at pszAt: the characters up to a blank or the end.
    size_t WordLength(const char* pszAt);

    // The leading decimal number of the word at pszAt; 0 when it does not
    // begin with a digit. Digits beyond the sixth are not read.
    int LeadingNumber(const char* pszAt);
}

#endif

#ifndef ZYM_TOKENIZER_H
#define ZYM_TOKENIZER_H

// Splits a text at every occurrence of one delimiter: n delimiters give
// n + 1 tokens, empty ones included.
class Tokenizer
{
public:
    Tokenizer(const char* pszText, char cDelimiter);
    ~Tokenizer();

    int GetCount() const;
    // Valid while the tokenizer lives; "no tokens" outside 0..GetCount()-1.
    const char* GetToken(int nIndex) const;

private:
    Tokenizer(const Tokenizer&) = delete;
    Tokenizer& operator=(const Tokenizer&) = delete;

    int m_nTokens;
    char m_cDelimiter;
    char** m_ppTokens;
};

#endif

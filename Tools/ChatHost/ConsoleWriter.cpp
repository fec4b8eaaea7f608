#include "ConsoleWriter.h"

ConsoleWriter::ConsoleWriter(FILE* stream) : m_pStream(stream)
{
}

void ConsoleWriter::WriteLine(const std::string& line)
{
    // Texts come from the server and from other people: an escape sequence or
    // a carriage return in them could clear or rewrite the user's terminal.
    // Only line breaks (between the lines of a longer text) and tabs pass.
    std::string shown(line);
    for (char& c : shown)
    {
        unsigned char u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\n' && c != '\t') || u == 0x7f)
        {
            c = '?';
        }
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::fputs(shown.c_str(), m_pStream);
    std::fputc('\n', m_pStream);
    // Output may be a pipe (the demo script, a test): flush so lines appear
    // as the conversation happens.
    std::fflush(m_pStream);
}

#include "ConsoleWriter.h"

ConsoleWriter::ConsoleWriter(FILE* stream) : m_pStream(stream)
{
}

void ConsoleWriter::WriteLine(const std::string& line)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::fputs(line.c_str(), m_pStream);
    std::fputc('\n', m_pStream);
    // Output may be a pipe (the demo script, a test): flush so lines appear
    // as the conversation happens.
    std::fflush(m_pStream);
}

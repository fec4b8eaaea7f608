#ifndef ARCHIVEBUILDER_H
#define ARCHIVEBUILDER_H

#include <windows.h>

#include <string>

// Writes a ZIP archive entry by entry with minizip's zip API, so the tests
// make their archives themselves instead of carrying binary files.
class ArchiveBuilder {
public:
    explicit ArchiveBuilder(const std::string& path);
    ~ArchiveBuilder();
    ArchiveBuilder(const ArchiveBuilder&) = delete;
    ArchiveBuilder& operator=(const ArchiveBuilder&) = delete;

    bool opened() const { return m_zip != nullptr; }

    // Adds an entry dated with the given local time (2024-03-01 10:00 when
    // none is given), deflated or stored.
    bool Add(const std::string& name, const std::string& data, bool deflate = true,
             const SYSTEMTIME* localTime = nullptr);
    // Adds a deflated entry whose name is flagged as UTF-8 (general-purpose
    // bit 11); name holds the UTF-8 bytes.
    bool AddUtf8(const std::string& name, const std::string& data);
    bool Close();

private:
    bool AddEntry(const std::string& name, const std::string& data, bool deflate,
                  const SYSTEMTIME* localTime, unsigned long flags);

    void* m_zip = nullptr;
};

#endif

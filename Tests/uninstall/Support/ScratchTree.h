#ifndef UNINSTALL_TESTS_SCRATCHTREE_H
#define UNINSTALL_TESTS_SCRATCHTREE_H

#include <string>

// Builds files and folders below one root folder for a test; paths are
// relative to the root, with backslashes.
class ScratchTree
{
public:
    explicit ScratchTree(const std::string& root);

    const std::string& Root() const { return m_Root; }
    std::string PathOf(const std::string& relative) const;
    // Creates the file and every folder on its way.
    void AddFile(const std::string& relative) const;
    void AddFolder(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::string m_Root;
};

#endif

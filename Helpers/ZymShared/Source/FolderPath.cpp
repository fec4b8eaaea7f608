#include "FolderPath.h"

#include <direct.h>
#include <errno.h>
#include <string.h>

namespace {

const size_t kPathBufferSize = 256;

} // namespace

int MakeFolderPath(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return 0;
    size_t length = strlen(path);
    if (length >= kPathBufferSize)
        return 0;

    char folder[kPathBufferSize];
    memcpy(folder, path, length + 1);
    if (folder[length - 1] == '/')
        folder[--length] = '\0';

    if (_mkdir(folder) == 0)
        return 1;

    for (size_t i = 1; i <= length; ++i) {
        if (i < length && folder[i] != '\\' && folder[i] != '/')
            continue;
        const char kept = folder[i];
        folder[i] = '\0';
        const bool parentMissing = _mkdir(folder) != 0 && errno == ENOENT;
        folder[i] = kept;
        if (parentMissing)
            return 0;
    }
    return 1;
}

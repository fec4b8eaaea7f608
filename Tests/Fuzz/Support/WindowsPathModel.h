#ifndef ZYM_FUZZ_WINDOWSPATHMODEL_H
#define ZYM_FUZZ_WINDOWSPATHMODEL_H

#include <string>

// Whether name, joined to destination as extraction joins them (one
// backslash between), lands inside destination once resolved the way Windows
// resolves a path: both separators, "." and ".." steps, trailing dots and
// spaces dropped from each step, streams (a colon), and device names, which
// Windows opens as the device in any folder.
bool StaysInsideDestination(const std::string& destination, const std::string& name);

#endif

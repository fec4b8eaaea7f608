#ifndef ZYM_FUZZ_WINDOWSPATHMODEL_H
#define ZYM_FUZZ_WINDOWSPATHMODEL_H

#include <string>

// Whether name, joined to destination as extraction joins them (one
// backslash between), lands inside destination once resolved the way Windows
// resolves a path: both separators, "." and ".." steps, trailing dots and
// spaces dropped from each step, streams (a colon), device names, which
// Windows opens as the device in any folder, and a NUL, which ends the path
// the system sees.
bool StaysInsideDestination(const std::wstring& destination, const std::wstring& name);

#endif

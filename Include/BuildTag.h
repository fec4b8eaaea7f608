#ifndef BUILDTAG_H
#define BUILDTAG_H

// Build stamp shared by all deliverables of one release. Raise ZYM_BUILD_NUMBER
// for every build that leaves the team.
#define ZYM_BUILD_NUMBER 1
#define ZYM_BUILD_TAG "2026.12-1"

#endif

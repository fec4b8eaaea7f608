#ifndef CLIENTVERSIONS_H
#define CLIENTVERSIONS_H

// Version and identity of every deliverable of the client kit. The values
// come from the build (cmake/ProductIdentity.cmake); the product's registry
// key follows the major and minor numbers.
#include "ProductIdentity.h"

#define ZYM_STRINGIZE_(x) #x
#define ZYM_STRINGIZE(x) ZYM_STRINGIZE_(x)

#endif

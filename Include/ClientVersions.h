#ifndef CLIENTVERSIONS_H
#define CLIENTVERSIONS_H

// Version of every deliverable of the client kit. The product's registry key
// ("SkelvaneClient\\2.0") follows the major and minor numbers.
#define ZYM_VERSION_MAJOR 2
#define ZYM_VERSION_MINOR 0
#define ZYM_VERSION_PATCH 0

#define ZYM_COMPANY_NAME "Quillmarsh"
#define ZYM_PRODUCT_NAME "Skelvane Client"
#define ZYM_COPYRIGHT "Copyright (C) 2026 Quillmarsh"

#define ZYM_STRINGIZE_(x) #x
#define ZYM_STRINGIZE(x) ZYM_STRINGIZE_(x)

#endif

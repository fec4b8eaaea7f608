#include "PathNames.h"

wchar_t FoldCase(wchar_t c)
{
    return UpperByTable(c);
}

#ifndef ZYM_ZYMALERT_H
#define ZYM_ZYMALERT_H

// Internal alarm: a modal "Alert!" message box with an OK button and no owner
// window, on the calling thread.
void ZymAlert(const char* pszText);

#endif

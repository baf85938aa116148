#include "compat/win32_text.h"

BOOL IsDBCSLeadByte(BYTE) { return FALSE; }

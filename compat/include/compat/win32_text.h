// The ANSI code page: text here is single-byte or UTF-8, neither of which has DBCS lead bytes.
#pragma once

#include "compat/win32_types.h"

BOOL IsDBCSLeadByte(BYTE testChar);

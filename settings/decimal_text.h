// Numbers in text the way the C library's decimal conversion reads them.
#pragma once

#include <cstdint>
#include <string>

// Leading blanks and tabs, an optional sign, then digits up to the first non-digit; no digits reads
// as 0. Values beyond the 32-bit range stop at its ends instead of wrapping.
int32_t ReadDecimal(const std::string &text);

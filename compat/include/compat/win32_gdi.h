// GDI: device contexts, pens, lines and curves, logical palettes.
#pragma once

#include "compat/win32_types.h"

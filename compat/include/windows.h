// The subset of the Win32 API that Lumivane 95 calls, for Linux. One header per area.
#pragma once

#include "compat/win32_types.h"
#include "compat/win32_profile.h"
#include "compat/win32_registry.h"
#include "compat/win32_memory.h"
#include "compat/win32_process.h"
#include "compat/win32_module.h"
#include "compat/win32_window.h"
#include "compat/win32_gdi.h"
#include "compat/win32_dialog.h"

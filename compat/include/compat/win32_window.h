// Windows, classes, the message queue, timers, cursor, system parameters, registry, modules.
#pragma once

#include "compat/win32_types.h"

// A fault that nothing handles must not leave the system's screen-saver-running flag set.
#pragma once

void InstallFaultGuard();

// The registered modules, for the headless reset.
#pragma once

namespace compat {

void ForgetAllModules();

}  // namespace compat

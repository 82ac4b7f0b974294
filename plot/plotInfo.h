// The texts the host may ask for before a plot (codes 15 and 31).
#pragma once

#include <cstdint>

namespace tavix {

void showLineTypes();                     // code 15
void showSettingsSummary();               // code 31

}  // namespace tavix

#pragma once
// Draws a window at an opacity: 0 transparent to 255 opaque. Where the desktop
// cannot blend windows the window stays opaque.
#include "platform/forms/form.h"

#include <cstdint>

void SetFormTransparency(vb::Form& form, std::uint8_t alpha);

#pragma once
// Places and sizes stay in twips in the game code; the screen is drawn at
// fifteen twips to a pixel.
#include <cmath>

namespace vb {

inline constexpr int TwipsPerPixel = 15;

inline int ToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

inline int ToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

} // namespace vb

#pragma once

#include <cstdint>

// A colour as 0xffRRGGBB, each component 0 to 255.
using Rgb = std::uint32_t;

constexpr Rgb MakeRgb(int red, int green, int blue)
{
    return 0xff000000u | std::uint32_t(red & 0xff) << 16 | std::uint32_t(green & 0xff) << 8
        | std::uint32_t(blue & 0xff);
}

// The same colour with red and blue exchanged: 0xffBBGGRR, which in memory on
// a little-endian machine is the bytes R, G, B, A of a canvas's image.
constexpr Rgb SwapRedBlue(Rgb colour)
{
    return (colour & 0xff00ff00u) | (colour & 0xffu) << 16 | (colour >> 16 & 0xffu);
}

#pragma once

#include <cstdint>

namespace vuelco::forms {
class DrawingSurface;
}

namespace vuelco::Module1 {

// Paints a horizontal gradient over a form's whole drawing area: strips 3 units wide at
// a pitch of 2, one channel falling evenly from 255 at the left edge to 100 at the right,
// the others 0. Modo 0 paints blue, 1 green, 2 red; any other value paints nothing.
//
// The arithmetic is that of the forms runtime, 16-bit positions and single-precision
// intensity, so a width or height beyond 16 bits throws Overflow (6) and a zero width
// DivisionByZero (11); the strips drawn before the failure stay drawn.
void Degradado(std::uint8_t Modo, vuelco::forms::DrawingSurface &Forma);

} // namespace vuelco::Module1

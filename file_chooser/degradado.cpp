#include "file_chooser/module1.h"

#include "runtime/failure.h"
#include "forms/drawing_surface.h"
#include "words/failure_words.h"

#include <cmath>
#include <limits>

using vuelco::Failure;

namespace vuelco::Module1 {
namespace {

[[noreturn]] void overflow()
{
    throw Failure(words::kOverflow);
}

// A value into 16 bits, rounding half to even as the runtime's integer conversion does.
std::int16_t toInt16(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max()))
        overflow();
    return static_cast<std::int16_t>(rounded);
}

std::int16_t add(std::int16_t a, int b) { return toInt16(static_cast<double>(a) + b); }

QColor colourOf(std::uint8_t mode, int v)
{
    switch (mode) {
    case 0: return QColor(0, 0, v);
    case 1: return QColor(0, v, 0);
    default: return QColor(v, 0, 0);
    }
}

} // namespace

void Degradado(std::uint8_t Modo, vuelco::forms::DrawingSurface &Forma)
{
    const std::int16_t alto = toInt16(Forma.ScaleHeight());
    const std::int16_t ancho = toInt16(Forma.ScaleWidth());
    if (ancho == 0)
        throw Failure(words::kDivisionByZero);
    const auto paso = static_cast<float>(-310.0 / ancho);
    float intensidad = 255.0f;
    if (ancho < 0)
        return;

    for (std::int16_t x = 0; x <= ancho; x = add(x, 2)) {
        if (Modo <= 2) {
            const int v = static_cast<int>(std::nearbyint(intensidad));
            Forma.fillBox(add(x, -1), -1.0f, add(x, 2), alto, colourOf(Modo, v));
        }
        intensidad = intensidad + paso;
    }
}

} // namespace vuelco::Module1

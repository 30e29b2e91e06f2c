#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace vuelco::forms {
class DrawingSurface;
}

// The shared request state of the file chooser, alive for the whole run. A caller puts
// the starting path in RutaArchivo and the mode in Opcion[1], shows Fdisco modally, and
// reads the result from Opcion[0] (1 accepted, 0 cancelled) and, in mode 0, the chosen
// file's full path from RutaArchivo. Nothing resets Opcion[0] between requests.
//
// The state is read and written only around a modal showing: the caller writes it just
// before, the dialog reads it while it loads and writes it as Aceptar or Cancelar unloads
// it, and the caller reads it just after. The showing is modal, so no two requests ever
// overlap, and one shared state serves them all without a lock or a copy.
namespace vuelco::Module1 {

inline constexpr std::size_t kResultado = 0;  // Opcion index of the result
inline constexpr std::size_t kModo = 1;       // Opcion index of the mode

inline QString RutaArchivo;
inline std::array<std::uint8_t, 2> Opcion{0, 0};

} // namespace vuelco::Module1

namespace vuelco::Module1 {

// The text after a path's last separator: the file name of a full path, the whole
// text when it has no separator, the empty text when it ends with one.
[[nodiscard]] QString NombreArchivo(const QString &Ruta);

// Paints a horizontal gradient over a form's whole drawing area (degradado.cpp): strips 3
// units wide at a pitch of 2, one channel falling evenly from 255 at the left edge to 100
// at the right, the others 0. Modo 0 paints blue, 1 green, 2 red; any other value paints
// nothing.
//
// The arithmetic is that of the forms runtime, 16-bit positions and single-precision
// intensity, so a width or height beyond 16 bits throws Overflow (6) and a zero width
// DivisionByZero (11) (their numbers in words/failure_words.h); the strips drawn before the
// failure stay drawn.
void Degradado(std::uint8_t Modo, vuelco::forms::DrawingSurface &Forma);

} // namespace vuelco::Module1

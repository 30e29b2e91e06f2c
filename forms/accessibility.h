#pragma once

namespace vuelco::forms {

// What screen readers are told beyond what Qt tells them by itself, from this call on:
// - a top-level window made of a plain QWidget is a window, read by its title, rather than
//   an anonymous pane (a "filler" on Linux), as dialogs and main windows are;
// - a drop-down list is read by its accessible name ("Unidad"), with the entry it shows as
//   its value. Qt on Linux reads a drop-down list by that entry alone and leaves its name to
//   a caption beside it, which the forms' drive list does not have.
// Once the application exists; calling it again does nothing.
void installAccessibility();

} // namespace vuelco::forms

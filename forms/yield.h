#pragma once

namespace vuelco::forms {

// Handles the window messages already pending, once, and returns: enough for a frame
// just made visible to be painted before slow work starts. Clicks delivered here reach
// their handlers, which is why every handler that yields begins with the busy guard.
void DoEvents();

} // namespace vuelco::forms

#include "forms/yield.h"

#include <QCoreApplication>

namespace vuelco::forms {

void DoEvents() { QCoreApplication::processEvents(); }

} // namespace vuelco::forms

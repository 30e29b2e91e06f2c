#pragma once

#include "fixtures.h"

#include <QByteArray>

// The bytes as Qt holds them, for the widget tests.
inline QByteArray qBytes(const Bytes &bytes)
{
    return {reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

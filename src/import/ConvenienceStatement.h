#pragma once

#include "import/ConvenienceSettings.h"
#include "import/Statement.h"

#include <QByteArrayView>

// A convenience-store collection agent's file, CSV or 120-byte, as a
// statement: one line per payment, each naming the order its slip carries.
class ConvenienceStatement final
{
public:
    // The bytes are one of the agents' files, told by their first record.
    static bool recognises(QByteArrayView bytes);
    static Statement read(QByteArrayView bytes, const ConvenienceSettings &settings);
};

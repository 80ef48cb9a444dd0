#pragma once

#include <QtGlobal>

// The two registry roots the suite reads, with the values of their Windows
// handles, so a root passes through unchanged to the real calls there.
enum class RegRoot : quint32 {
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
};

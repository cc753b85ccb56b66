#pragma once
// The machine's physical memory, for limits that keep the program from
// swapping itself to a halt.

#include <QtGlobal>

// Bytes of physical memory; 0 when the system does not tell.
qint64 FyzickaPamet();

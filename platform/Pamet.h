#pragma once
// The machine's physical memory, for limits that keep the program from
// swapping itself to a halt.

#include <QString>
#include <QtGlobal>

// Bytes of physical memory; 0 when the system does not tell.
qint64 FyzickaPamet();

// Asks the system to back a big buffer with huge pages, before it is first
// written. Each page of fresh memory costs the system a fault on its first
// write, and on a virtual machine that fault can cost more than copying the
// page: a buffer of hundreds of megabytes written once pays far less with
// pages of 2 MiB. Nothing for a small buffer, nor where the system has no
// such pages.
void VelkyBlok(void *Data, qint64 Bajtu);
// The same for the whole room of a string, its length or what it reserved.
inline void VelkyBlok(QString &Text)
{
    VelkyBlok(Text.data(), Text.capacity() * qint64(sizeof(QChar)));
}

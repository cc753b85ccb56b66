#pragma once
// Part of a file read through mmap, without the copy that read() makes.
//
// A file that another program shrinks while it is mapped would end the
// process: the kernel answers a read of a page past the file's new end with
// SIGBUS. A handler, installed with the first view, maps zeros over such a
// page of a view and marks the view, so that its reader learns from Stav()
// that the file changed and fails the file instead of the process; a SIGBUS
// anywhere else goes on to whatever handled it before. A file cut inside the
// view's last page reads zeros without any signal; Stav() finds that from the
// file's size.

#include <QtGlobal>

class TMapa {
public:
    TMapa() = default;
    ~TMapa() { Zavri(); }
    TMapa(const TMapa &) = delete;
    TMapa &operator=(const TMapa &) = delete;

    // Maps Delka bytes of the file Fd from offset Od. False where it cannot
    // be mapped (a file system without mmap, no room for another view): the
    // caller reads those bytes instead.
    bool Otevri(int Fd, qint64 Od, qint64 Delka);
    void Zavri();
    bool Otevrena() const { return FData != nullptr; }
    const uchar *Data() const { return FData; }
    // Whether the bytes read were the file's: Kratsi where the file is now
    // shorter than the view (a page past its end read zeros), Necitelna
    // where a page could not be read although the file still holds it (an
    // I/O error, which the kernel reports the same way).
    enum TStav { Cela, Kratsi, Necitelna };
    TStav Stav() const;

private:
    void *FZacatek = nullptr;
    size_t FDelka = 0;
    const uchar *FData = nullptr;
    int FMisto = -1;
    int FFd = -1;
    qint64 FKonec = 0; // the offset in the file where the view ends
};

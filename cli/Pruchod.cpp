#include "Pruchod.h"

#include "Soubor.h"

#include <QtAlgorithms>
#include <cerrno>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

QString Duvod(int Chyba)
{
    return TextChybySystemu(Chyba);
}

} // namespace

bool TPruchod::LzeRiznout(const uchar *b, qsizetype p) const
{
    const auto pokracovaci = [](uchar c) { return c >= 0x80 && c <= 0xBF; };
    if (!pokracovaci(b[p]) && !(b[p - 1] == '\r' && b[p] == '\n'))
        return true;
    return p >= 3 && pokracovaci(b[p - 1]) && pokracovaci(b[p - 2]) && pokracovaci(b[p - 3]);
}

qsizetype TPruchod::PosledniRez(const uchar *b, qsizetype Od, qsizetype n) const
{
    if (bUtf16)
        return n - n % 2 >= Od ? n - n % 2 : -1;
    for (qsizetype p = n - 1; p >= qMax<qsizetype>(Od, 1); --p)
        if (LzeRiznout(b, p))
            return p;
    return -1;
}

qint64 TPruchod::Rez(qint64 k, qint64 Delka)
{
    const qint64 nominal = k * Blok;
    if (k == 0)
        return 0;
    if (nominal >= Delka)
        return Delka;
    if (bUtf16)
        return nominal - nominal % 2;
    // Among any five places one may be cut; sixteen are looked at.
    uchar okno[20];
    const qint64 od = nominal - 19;
    const qsizetype n = Zdroj.CtiNa(Zacatek + od, reinterpret_cast<char *>(okno), 20);
    if (n < 20)
        throw ChybaOtevreni(Zdroj.Jmeno(), QStringLiteral("The file changed while it was read"));
    for (qsizetype p = 19; p >= 4; --p)
        if (LzeRiznout(okno, p))
            return od + p;
    return nominal; // never: some place among any five can be cut
}

TPocty TPruchod::Spust(TPrevodBloku &Prevod, TVystup *Vystup)
{
    if (!Zdroj.Nahodny())
        return SpustProud(Prevod, Vystup);
    const qint64 delka = Zdroj.Velikost() - Zacatek;
    const qint64 bloku = qMax<qint64>(1, (delka + Blok - 1) / Blok);
    if (Prevod.Nezavisly() && Vlaken > 1 && bloku > 1)
        return SpustParalelne(Prevod, Vystup, delka, bloku);
    TPocty pocty;
    TBlok blok;
    qint64 od = 0;
    for (qint64 k = 0; k < bloku && !pocty.bSelhalo; ++k) {
        const qint64 doBloku = Rez(k + 1, delka);
        Nacti(od, doBloku, blok);
        PrevedBlok(Prevod, blok, k + 1 == bloku, pocty);
        Uvolni(blok);
        Predej(blok, pocty, Vystup);
        od = doBloku;
    }
    return pocty;
}

void TPruchod::Zmenen() const
{
    throw ChybaOtevreni(Zdroj.Jmeno(), QStringLiteral("The file changed while it was read"));
}

void TPruchod::Nacti(qint64 Od, qint64 Do, TBlok &Blok)
{
    qint64 posun = 0;
    const int fd = bMapovat ? Zdroj.Deskriptor(posun) : -1;
    if (fd >= 0 && Zacatek + Do + Presah <= Zdroj.Velikost() &&
        Blok.Mapa.Otevri(fd, posun + Zacatek + Od, Do - Od + Presah)) {
        Blok.Data = Blok.Mapa.Data();
        Blok.Delka = Do - Od;
        return;
    }
    if (Zdroj.CtiNa(Zacatek + Od, Blok.Priprav(Do - Od), Do - Od) != Do - Od)
        Zmenen();
}

void TPruchod::Uvolni(TBlok &Blok) const
{
    if (!Blok.Mapa.Otevrena())
        return;
    const TMapa::TStav stav = Blok.Mapa.Stav();
    Blok.Mapa.Zavri();
    Blok.Data = nullptr;
    if (stav == TMapa::Kratsi)
        Zmenen();
    if (stav == TMapa::Necitelna)
        throw ChybaOtevreni(Zdroj.Jmeno(), Duvod(EIO));
}

void TPruchod::PrevedBlok(TPrevodBloku &Prevod, TBlok &Blok, bool bPosledni, TPocty &Pocty)
{
    Blok.Vystup.resize(Blok.Delka * Prevod.Nasobek() + Presah);
    Blok.Vyslo = Prevod.Preved(Blok.Data, Blok.Delka, bPosledni, reinterpret_cast<uchar *>(Blok.Vystup.data()), Pocty);
}

void TPruchod::Predej(const TBlok &Blok, const TPocty &Pocty, TVystup *Cil)
{
    if (Cil && !Pocty.bSelhalo)
        Cil->Zapis(Blok.Vystup.constData(), Blok.Vyslo);
    if (Prubeh)
        Prubeh(Blok.Delka);
}

TPocty TPruchod::SpustProud(TPrevodBloku &Prevod, TVystup *Vystup)
{
    TPocty pocty;
    // The mark is not text.
    char znacka[4];
    if (Zacatek > 0 && Zdroj.CtiDal(znacka, Zacatek) != Zacatek)
        throw ChybaOtevreni(Zdroj.Jmeno(), QStringLiteral("The file changed while it was read"));
    TBlok blok;
    QByteArray zbytek;
    bool bKonec = false;
    while (!bKonec && !pocty.bSelhalo) {
        QByteArray vstup = zbytek;
        const qsizetype mame = vstup.size();
        vstup.resize(mame + Blok);
        const qsizetype n = Zdroj.CtiDal(vstup.data() + mame, Blok);
        vstup.resize(mame + n);
        bKonec = n == 0;
        qsizetype rez = vstup.size();
        if (!bKonec) {
            rez = PosledniRez(reinterpret_cast<const uchar *>(vstup.constData()), 1, vstup.size());
            if (rez <= 0) {
                zbytek = vstup;
                continue;
            }
        }
        zbytek = vstup.mid(rez);
        std::memcpy(blok.Priprav(rez), vstup.constData(), size_t(rez));
        PrevedBlok(Prevod, blok, bKonec, pocty);
        Predej(blok, pocty, Vystup);
    }
    return pocty;
}

TPocty TPruchod::SpustParalelne(TPrevodBloku &Prevod, TVystup *Cil, qint64 Delka, qint64 Bloku)
{
    struct TMisto {
        TBlok Blok;
        TPocty Pocty;
        qint64 Cislo = -1; // the block it holds, ready to be written
        std::exception_ptr Chyba;
    };
    const int mist = 2 * Vlaken;
    std::vector<TMisto> mista(mist);
    std::mutex zamek;
    std::condition_variable zmena;
    qint64 dalsi = 0, zapsano = 0;
    bool bKonec = false;

    const auto pracuj = [&] {
        for (;;) {
            qint64 k;
            {
                std::unique_lock<std::mutex> z(zamek);
                zmena.wait(z, [&] { return bKonec || dalsi >= Bloku || dalsi < zapsano + mist; });
                if (bKonec || dalsi >= Bloku)
                    return;
                k = dalsi++;
            }
            TMisto &m = mista[k % mist];
            TPocty pocty;
            std::exception_ptr chyba;
            try {
                Nacti(Rez(k, Delka), Rez(k + 1, Delka), m.Blok);
                PrevedBlok(Prevod, m.Blok, k + 1 == Bloku, pocty);
                Uvolni(m.Blok);
            } catch (...) {
                chyba = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> z(zamek);
                m.Pocty = pocty;
                m.Chyba = chyba;
                m.Cislo = k;
            }
            zmena.notify_all();
        }
    };
    std::vector<std::thread> vlakna;
    for (int i = 0; i < Vlaken; ++i)
        vlakna.emplace_back(pracuj);
    const auto zastav = [&] {
        {
            std::lock_guard<std::mutex> z(zamek);
            bKonec = true;
        }
        zmena.notify_all();
        for (std::thread &v : vlakna)
            v.join();
    };

    TPocty pocty;
    try {
        for (qint64 k = 0; k < Bloku && !pocty.bSelhalo; ++k) {
            TMisto &m = mista[k % mist];
            {
                std::unique_lock<std::mutex> z(zamek);
                zmena.wait(z, [&] { return m.Cislo == k; });
            }
            if (m.Chyba)
                std::rethrow_exception(m.Chyba);
            pocty += m.Pocty;
            Predej(m.Blok, pocty, Cil);
            {
                std::lock_guard<std::mutex> z(zamek);
                m.Cislo = -1;
                ++zapsano;
            }
            zmena.notify_all();
        }
    } catch (...) {
        zastav();
        throw;
    }
    zastav();
    return pocty;
}

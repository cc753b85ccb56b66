#pragma once
// The error that a command does not handle itself: its message reaches the
// general error report.

#include <QByteArray>
#include <QString>
#include <exception>

// What an error concerns, for a caller that goes on differently by it. A
// caller decides by this, never by the message's text, which names files and
// may be worded otherwise on another system.
enum class TDruhChyby : quint8 {
    Obecna,         // the work at hand (a file, a value) failed; other work may go on
    SpolecnyVystup, // the output that all further work goes to failed: no further work can succeed
};

class EChyba : public std::exception {
public:
    explicit EChyba(QString Zprava, TDruhChyby Druh = TDruhChyby::Obecna)
        : FZprava(std::move(Zprava)),
          FUtf8(FZprava.toUtf8()),
          FDruh(Druh)
    { }
    // The error of one file: its path and the reason besides the whole
    // message, for a caller that words it its own way ("<path>: <reason>").
    EChyba(QString Zprava, QString Cesta, QString Duvod) : EChyba(std::move(Zprava))
    {
        FCesta = std::move(Cesta);
        FDuvod = std::move(Duvod);
    }
    const QString &Zprava() const { return FZprava; }
    const QString &Cesta() const { return FCesta; } // empty where the error names no file
    const QString &Duvod() const { return FDuvod; }
    TDruhChyby Druh() const { return FDruh; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FZprava;
    QString FCesta, FDuvod;
    QByteArray FUtf8;
    TDruhChyby FDruh;
};

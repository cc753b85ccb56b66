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
    const QString &Zprava() const { return FZprava; }
    TDruhChyby Druh() const { return FDruh; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FZprava;
    QByteArray FUtf8;
    TDruhChyby FDruh;
};

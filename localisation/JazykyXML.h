#pragma once
// The language engine: the current language code and the texts of the
// language file.

#include <QString>

class TJazykXML {
public:
    TJazykXML() = default;
    const QString &Jazyk() const { return FJazyk; }
    void NastavJazyk(const QString &Jazyk) { FJazyk = Jazyk; }

private:
    QString FJazyk = QStringLiteral("CZ");
};

// The global instance, alive for the whole run.
extern TJazykXML *JazykXML;

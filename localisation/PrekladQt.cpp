#include "PrekladQt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <algorithm>
#include <cstring>

// The texts as the toolkit asks for them (context "QPlatformTheme"), which is
// also where the file and font dialogs take theirs.
const std::array<TTlacitkoDialogu, 4> TlacitkaDialogu = {{
    {"OK", "OK", u"OK"},
    {"Ano", "&Yes", u"&Ano"},
    {"Ne", "&No", u"&Ne"},
    {"Storno", "Cancel", u"Storno"},
}};

TPrekladQt::TPrekladQt(QObject *Vlastnik) : QTranslator(Vlastnik) { }

TPrekladQt::~TPrekladQt()
{
    if (bInstalovany && QCoreApplication::instance())
        QCoreApplication::removeTranslator(this);
}

QString TPrekladQt::JazykQt(const QString &Kod)
{
    static const struct {
        const char *Kod;
        const char *Jazyk;
    } jazyky[] = {{"CZ", "cs"}, {"SK", "sk"}, {"DE", "de"}, {"EN", "en"}};
    for (const auto &j : jazyky)
        if (Kod.compare(QLatin1String(j.Kod), Qt::CaseInsensitive) == 0)
            return QLatin1String(j.Jazyk);
    return {};
}

void TPrekladQt::Nastav(const QString &Kod, const std::array<QString, 4> &Tlacitka)
{
    // Taken out and put back with the new texts: the installing is what
    // tells the widgets that the texts changed.
    if (bInstalovany)
        QCoreApplication::removeTranslator(this);
    bInstalovany = false;
    FQt.reset();
    FNactenyJazyk.clear();
    const QString jazyk = JazykQt(Kod);
    if (!jazyk.isEmpty()) {
        auto qt = std::make_unique<QTranslator>();
        if (qt->load(QStringLiteral("qtbase_") + jazyk, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            FQt = std::move(qt);
            FNactenyJazyk = jazyk;
        }
    }
    FTlacitka = Tlacitka;
    bInstalovany = QCoreApplication::installTranslator(this);
}

QString TPrekladQt::translate(const char *Kontext, const char *Zdroj, const char *Rozliseni, int Pocet) const
{
    if (Kontext && Zdroj && std::strcmp(Kontext, "QPlatformTheme") == 0)
        for (size_t i = 0; i < TlacitkaDialogu.size(); ++i)
            if (!FTlacitka[i].isEmpty() && std::strcmp(Zdroj, TlacitkaDialogu[i].Zdroj) == 0)
                return FTlacitka[i];
    // Empty: the translators installed before this one answer, the system's
    // language among them.
    return FQt ? FQt->translate(Kontext, Zdroj, Rozliseni, Pocet) : QString();
}

bool TPrekladQt::isEmpty() const
{
    return !FQt && std::all_of(FTlacitka.cbegin(), FTlacitka.cend(), [](const QString &t) { return t.isEmpty(); });
}

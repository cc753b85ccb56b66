#pragma once
// Czech prose for the benchmarks: sentences with their diacritics, mixed with
// ASCII punctuation, digits and line breaks as real text is.

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// About one sentence in JednouZ ends its line.
inline QString CeskyText(qsizetype PocetZnaku, const QString &KonecRadku = QStringLiteral("\r\n"), int JednouZ = 6)
{
    static const QStringList vety = {
        QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy."),
        QStringLiteral("Večer jsme šli s dědečkem na procházku k řece, kde kvetly první sněženky."),
        QStringLiteral("V roce 2024 vyšlo 1 356 nových knih; většina z nich byla určena dětem."),
        QStringLiteral("Ťukání na dveře přerušilo Růženčino čtení: „Kdo je tam?“ zeptala se tiše."),
        QStringLiteral("Program odstraní diakritiku, takže text půjde poslat i do starších systémů."),
        QStringLiteral("Učitelka řekla, že úloha č. 7 je nepovinná, ale žáci ji přesto vyřešili."),
        QStringLiteral("Ľudovít Štúr pôsobil v Bratislave a jeho dielo ovplyvnilo slovenčinu."),
        QStringLiteral("Na nádraží v Ústí nad Labem čekalo 42 cestujících na zpožděný vlak."),
        QStringLiteral("Děkuji."),
        QStringLiteral("Kolik to stojí?"),
        QStringLiteral("Zítra bude pršet."),
        QStringLiteral("Ano, přijdu v úterý."),
    };
    QRandomGenerator nahoda(20261209);
    QString text;
    text.reserve(PocetZnaku + 200);
    while (text.size() < PocetZnaku) {
        text += vety.at(nahoda.bounded(int(vety.size())));
        text += nahoda.bounded(JednouZ) == 0 ? KonecRadku : QStringLiteral(" ");
    }
    text.truncate(PocetZnaku);
    return text;
}

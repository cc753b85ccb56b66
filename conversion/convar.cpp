#include "convar.h"

QString ZnakySeZnamenkem;
QString ZnakyBezZnamenka;

const QString VychoziZnakySeZnamenkem =
    QStringLiteral("ěéëšśčćřŕžźżýáâăäíîúůűüťďňńľĺóôőöĚÉËŠŚČĆŘŔŽŹŻÝÁÂĂÄÍÎÚŮŰÜŤĎŇŃĽĹÓÔŐÖ");
const QString VychoziZnakyBezZnamenka =
    QStringLiteral("eeessccrrzzzyaaaaiiuuuutdnnllooooEEESSCCRRZZZYAAAAIIUUUUTDNNLLOOOO");

#define LUMARIN_TEXT(klic, vychozi)                                                                                    \
    static constexpr const char16_t klic##_Vychozi[] = vychozi;                                                        \
    QString klic = QString::fromUtf16(klic##_Vychozi);

LUMARIN_TEXT(rsCHYBA, u"Chyba")
LUMARIN_TEXT(rsOBECNACHYBA, u"V aplikaci se vyskytla neurčitá chyba")
LUMARIN_TEXT(rsNELZEZEREGISTRU, u"Při čtení hodnot nastavení z registru došlo k chybě")
LUMARIN_TEXT(rsNELZEDOREGISTRU, u"Při zápisu hodnot nastavení do registru došlo k chybě")
LUMARIN_TEXT(rsNEVYBRANAPOLOZKA, u"Není vybrána žádná položka")
LUMARIN_TEXT(rsUPRAVIT, u"Upravit")
LUMARIN_TEXT(rsZMENIT, u"Změnit")
LUMARIN_TEXT(rsVAROVANI, u"Varování")
LUMARIN_TEXT(rsSMAZATPOLOZKU, u"Smazat označenou položku")
LUMARIN_TEXT(rsNELZESMAZAT, u"Ze seznamu nelze smazat poslední položku")
LUMARIN_TEXT(rsINFORMACE, u"Informace")
LUMARIN_TEXT(rsNENIZNAK, u"Nejsou zvolené znaky pro konverzi")
LUMARIN_TEXT(rsPOTVRZENI, u"Potvrzení")
LUMARIN_TEXT(rsULOZITSOUBOR, u"Uložit změněný soubor")
LUMARIN_TEXT(rsULOZENO, u"Soubor je uložen")
LUMARIN_TEXT(rsNEULOZENO, u"Soubor není uložen")
LUMARIN_TEXT(
    rsULOZITUTF8,
    u"Text obsahuje znaky, které osmibitové kódování souboru neumí uložit.\rUložit soubor v kódování UTF-8 se značkou BOM? (Ne: soubor se neuloží.)")

LUMARIN_TEXT(
    rsNEPLATNEUTF8,
    u"Soubor je v kódování UTF-8, ale obsahuje bajty, které v něm nejsou platné.\rTyto bajty se zobrazují jako zástupné znaky, odstranění diakritiky je nemění a při uložení se zapíší zpět beze změny.")
LUMARIN_TEXT(
    rsLICHEUTF16,
    u"Soubor v kódování UTF-16 má lichý počet bajtů.\rPoslední bajt se zobrazuje jako zástupný znak, odstranění diakritiky jej nemění a při uložení se zapíše zpět beze změny.")
LUMARIN_TEXT(
    rsVELKYSOUBOR,
    u"Soubor \"%1\" má %2 bajtů a je pro editor příliš velký: otevře nejvýše %3 bajtů a jen soubor, jehož text si v paměti nevezme víc než %4 bajtů (asi %5 bajtů na znak a %6 navíc na každý řádek). Soubor nebyl otevřen")
LUMARIN_TEXT(
    rsZASTUPCI,
    u"Text obsahuje všechny znaky, které editor potřebuje jako zástupné za konce řádků, a nelze jej proto zobrazit beze ztráty")
LUMARIN_TEXT(
    rsPREPSATZMENENY,
    u"Soubor \"%1\" byl od otevření nebo posledního uložení změněn na disku jiným programem.\rPřepsat jej textem z editoru? (Ne: soubor se neuloží.)")
LUMARIN_TEXT(
    rsZMENENNADISKU,
    u"Soubor \"%1\" byl od otevření nebo posledního uložení změněn na disku jiným programem.\rText v editoru zůstává, jak byl. Novou verzi uvidíte, když soubor otevřete znovu; před uložením se program zeptá, zda soubor přepsat.")
LUMARIN_TEXT(
    rsSMAZANNADISKU,
    u"Soubor \"%1\" byl od otevření nebo posledního uložení smazán nebo přesunut jiným programem.\rText v editoru zůstává, jak byl; uložení se zeptá na jméno souboru.")
LUMARIN_TEXT(
    rsZASTUPCEBAJTU,
    u"Tabulka znaků mění poloviny dvojic UTF-16 tak, že by v textu vznikl nebo zanikl zástupný znak za bajt souboru (U+DC80 až U+DCFF) a uložení by zapsalo jiné bajty, než jaké text obsahuje. Diakritika nebyla odstraněna")
LUMARIN_TEXT(
    rsSMISENEZLOMY,
    u"Konce řádků v souboru nejsou všechny stejné (CR LF: %1, LF: %2, CR: %3).\rPři uložení se všechny zapíší jako nejčastější z nich, %4.")

LUMARIN_TEXT(rsNAHRAZENO, u"Nahrazeno znaků: %1")
LUMARIN_TEXT(rsNENINAHRAZENO, u"V textu není co nahradit")

#undef LUMARIN_TEXT

#define LUMARIN_POLOZKA(klic)                                                                                          \
    TZpravovyText                                                                                                      \
    {                                                                                                                  \
#klic, &klic, klic##_Vychozi                                                                                   \
    }

const std::array<TZpravovyText, 28> ZpravoveTexty = {
    LUMARIN_POLOZKA(rsCHYBA),           LUMARIN_POLOZKA(rsOBECNACHYBA),      LUMARIN_POLOZKA(rsNELZEZEREGISTRU),
    LUMARIN_POLOZKA(rsNELZEDOREGISTRU), LUMARIN_POLOZKA(rsNEVYBRANAPOLOZKA), LUMARIN_POLOZKA(rsUPRAVIT),
    LUMARIN_POLOZKA(rsZMENIT),          LUMARIN_POLOZKA(rsVAROVANI),         LUMARIN_POLOZKA(rsSMAZATPOLOZKU),
    LUMARIN_POLOZKA(rsNELZESMAZAT),     LUMARIN_POLOZKA(rsINFORMACE),        LUMARIN_POLOZKA(rsNENIZNAK),
    LUMARIN_POLOZKA(rsPOTVRZENI),       LUMARIN_POLOZKA(rsULOZITSOUBOR),     LUMARIN_POLOZKA(rsULOZENO),
    LUMARIN_POLOZKA(rsNEULOZENO),       LUMARIN_POLOZKA(rsULOZITUTF8),       LUMARIN_POLOZKA(rsNEPLATNEUTF8),
    LUMARIN_POLOZKA(rsLICHEUTF16),      LUMARIN_POLOZKA(rsVELKYSOUBOR),      LUMARIN_POLOZKA(rsZASTUPCI),
    LUMARIN_POLOZKA(rsPREPSATZMENENY),  LUMARIN_POLOZKA(rsZMENENNADISKU),    LUMARIN_POLOZKA(rsSMAZANNADISKU),
    LUMARIN_POLOZKA(rsZASTUPCEBAJTU),   LUMARIN_POLOZKA(rsSMISENEZLOMY),     LUMARIN_POLOZKA(rsNAHRAZENO),
    LUMARIN_POLOZKA(rsNENINAHRAZENO),
};

#undef LUMARIN_POLOZKA

void ObnovZpravoveTexty()
{
    for (const TZpravovyText &t : ZpravoveTexty)
        *t.Text = QString::fromUtf16(t.Vychozi);
}

void UvolniConvar()
{
    ZnakySeZnamenkem.clear();
    ZnakyBezZnamenka.clear();
    for (const TZpravovyText &t : ZpravoveTexty)
        t.Text->clear();
}

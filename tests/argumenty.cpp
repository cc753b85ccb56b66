// Prints the arguments that ArgumentyProgramu gives this program, one a line,
// decoded back into text and written as UTF-8 in hexadecimal; the test that
// starts it compares them with what it passed.

#include "Konzole.h"
#include "Soubor.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    PripravStandardniVystup();
    for (const QByteArray &argument : ArgumentyProgramu(argc, argv))
        std::printf("%s\n", DekodujCestu(argument).toUtf8().toHex().constData());
    return 0;
}

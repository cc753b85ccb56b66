#pragma once
// Program-wide strings: the character-pair table and the message texts.

#include <QString>
#include <array>

// The character-pair table: pair k is the k-th UTF-16 code unit of each string.
extern QString ZnakySeZnamenkem;
extern QString ZnakyBezZnamenka;

extern const QString VychoziZnakySeZnamenkem;
extern const QString VychoziZnakyBezZnamenka;

// Message texts. Each holds its Czech default from program start; the language
// application replaces them.
extern QString rsCHYBA;
extern QString rsOBECNACHYBA;
extern QString rsNELZEZEREGISTRU;
extern QString rsNELZEDOREGISTRU;
extern QString rsNEVYBRANAPOLOZKA;
extern QString rsUPRAVIT;
extern QString rsZMENIT;
extern QString rsVAROVANI;
extern QString rsSMAZATPOLOZKU;
extern QString rsNELZESMAZAT;
extern QString rsINFORMACE;
extern QString rsNENIZNAK;
extern QString rsPOTVRZENI;
extern QString rsULOZITSOUBOR;
extern QString rsULOZENO;
extern QString rsNEULOZENO;
extern QString rsULOZITUTF8;
extern QString rsNEPLATNEUTF8;   // told once at open: a UTF-8 file with invalid bytes
extern QString rsLICHEUTF16;     // told once at open: a UTF-16 file of odd length
extern QString rsVELKYSOUBOR;    // %1 the file, %2 its size, %3 the largest the editor takes, %4 the
                                 // most memory its text may take, %5 and %6 bytes for each character and line
extern QString rsZASTUPCI;       // why a text cannot be shown without loss
extern QString rsPREPSATZMENENY; // %1 the file: asked before a save over a file changed on disk
extern QString rsZMENENNADISKU;  // %1 the file: told when the window comes back, the file changed
extern QString rsSMAZANNADISKU;  // %1 the file: told when the window comes back, the file gone
extern QString rsZASTUPCEBAJTU;  // why F6 refuses a table that would make or undo a byte's stand-in
extern QString rsSMISENEZLOMY;   // told once at open: %1 CR LF, %2 LF, %3 CR line breaks, %4 the form saved
extern QString rsNAHRAZENO;      // %1 the number of characters F6 replaced, in the status bar
extern QString rsNENINAHRAZENO;  // F6 found nothing to replace, in the status bar

// One message text: its key (also its element name in the language file),
// the variable that holds it and its built-in default.
struct TZpravovyText {
    const char *Klic;
    QString *Text;
    const char16_t *Vychozi;
};

// All message texts, in the order in which the language application sets them.
// The texts added after the first sixteen stand after them: the question before
// text is saved in UTF-8 instead of the 8-bit code page, the notes on files with
// bytes their encoding cannot read, the refusals of files the editor cannot
// hold, what is said of a document's file that another program changed or
// removed, the refusal of a conversion that would change bytes of the file
// kept as stand-ins, the note on a file whose line breaks are mixed, and
// what a conversion tells in the status bar.
extern const std::array<TZpravovyText, 28> ZpravoveTexty;

// Puts every message text back to its built-in default.
void ObnovZpravoveTexty();

// Empties the pair table and the message texts at the end of the run.
void UvolniConvar();

#pragma once
// The program's command line and standard streams as the system gives them.

#include <QByteArrayList>

// The arguments after the program's name, each as the bytes of a path
// (DekodujCestu gives it back). Elsewhere these are argv's bytes as they
// are; on Windows argv holds the ANSI code page, which loses every character
// it lacks, so the UTF-16 command line is read instead.
QByteArrayList ArgumentyProgramu(int argc, char *argv[]);

// Makes standard output and error ready for the program's own text. On
// Windows they are binary (a line ends with LF, as elsewhere), and a program
// of the window subsystem, which has no console, writes to the console of
// the program that started it (cmd, PowerShell) where it has none redirected.
void PripravStandardniVystup();

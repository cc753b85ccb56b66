#pragma once
// Where the program's dialogs open.

class QWidget;

// Moves Dialog, about to be shown, so that it stands centred over the main
// window (the owner of all its owners), inside the screen's free area. Each
// opening centres it again, wherever the user moved it or its owner before.
void VycentrujNadHlavnimOknem(QWidget *Dialog);

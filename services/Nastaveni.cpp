#include "Nastaveni.h"

TNastaveni *Nastaveni = nullptr;

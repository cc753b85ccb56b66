#include "Retezce.h"

TRetezce *Retezce = nullptr;

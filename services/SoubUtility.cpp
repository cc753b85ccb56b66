#include "SoubUtility.h"

TSouboroveInfo *SouboroveInfo = nullptr;

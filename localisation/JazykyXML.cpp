#include "JazykyXML.h"

TJazykXML *JazykXML = nullptr;

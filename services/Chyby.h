#pragma once
// Errors that a command does not handle itself: thrown as EChyba (or any
// std::exception) and shown by the general error report, after which the
// program goes on.

#include "Chyba.h"

#include <QString>
#include <functional>

// The message as the report shows it: a full stop is added unless the message
// is empty or already ends in a character whose code is 46 ('.') or lower.
QString ZpravaSTeckou(const QString &Zprava);

// The general error report: a box titled "Lumarin" with the message, an error
// icon and OK.
void ZobrazChybu(const QString &Zprava);

// Runs a handler; an error it lets through is shown by the general error report
// and goes no further, so no exception ever crosses the event loop.
void Proved(const std::function<void()> &Obsluha);

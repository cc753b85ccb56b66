#pragma once
// Toggle states of Caps Lock, Num Lock and the Insert key.

#include <memory>

class TStavKlaves {
public:
    virtual ~TStavKlaves() = default;
    virtual bool CapsLock() const = 0;
    virtual bool NumLock() const = 0;
    virtual bool Insert() const = 0;
};

// The keyboard state the program reads. Created on first use; a test may put its
// own in place.
TStavKlaves &StavKlaves();
void NastavStavKlaves(std::unique_ptr<TStavKlaves> Stav);

#pragma once
// Settings and input helpers.

class TNastaveni {
public:
    TNastaveni() = default;
};

// The global instance, alive for the whole run.
extern TNastaveni *Nastaveni;

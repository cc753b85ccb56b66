#pragma once
// String and list-row helpers.

class TRetezce {
public:
    TRetezce() = default;
};

// The global instance, alive for the whole run.
extern TRetezce *Retezce;

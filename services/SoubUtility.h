#pragma once
// File and version information.

class TSouboroveInfo {
public:
    TSouboroveInfo() = default;
};

// The global instance, alive for the whole run.
extern TSouboroveInfo *SouboroveInfo;

#pragma once
// The whole program as a test drives it: services, the five forms and the main
// window, with scripted message boxes and dialogs.

#include "Aplikace.h"
#include "Prostredi.h"
#include "convar.h"
#include "fHlavni.h"

#include <functional>
#include <memory>

struct TTestovaciOkno {
    // PredOknem runs in the test's environment before anything of the program
    // exists: a test puts its stored settings or files in place there.
    explicit TTestovaciOkno(const std::function<void()> &PredOknem = {})
    {
        if (PredOknem)
            PredOknem();
        auto dialogy = std::make_unique<TSkriptDialogy>();
        Dialogy = dialogy.get();
        NastavDialogy(std::move(dialogy));
        PoradiZivota().clear();
        ObnovZpravoveTexty();
        Sluzby = std::make_unique<TSluzby>();
        Formy = std::make_unique<TFormy>();
        Okno = Formy->HlavniForm;
    }
    ~TTestovaciOkno()
    {
        Formy.reset();
        Sluzby.reset();
        NastavDialogy(nullptr);
    }

    TProstredi Prostredi;
    TSkriptDialogy *Dialogy = nullptr;
    std::unique_ptr<TSluzby> Sluzby;
    std::unique_ptr<TFormy> Formy;
    THlavniForm *Okno = nullptr;
};

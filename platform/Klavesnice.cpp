#include "Klavesnice.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// Reads an XKB indicator of the X11 display the program runs on; false when
// there is none. Defined at the end: the X11 headers define names such as
// KeyPress that clash with Qt's.
#ifndef Q_OS_WIN
static bool XkbIndikator(const char *Jmeno, bool &Zapnuto);
#endif

namespace {

#ifdef Q_OS_WIN

// The low bit of the key state is the toggle.
class TWindowsStavKlaves : public TStavKlaves {
public:
    bool CapsLock() const override { return GetKeyState(VK_CAPITAL) & 1; }
    bool NumLock() const override { return GetKeyState(VK_NUMLOCK) & 1; }
    bool Insert() const override { return GetKeyState(VK_INSERT) & 1; }
};

#else

// Elsewhere the toggles are followed from the key presses the program sees; on
// X11 the lock keys are read from the keyboard's indicators instead, so their
// state is right from the start and follows presses made in other windows.
class TSledovanyStavKlaves : public QObject, public TStavKlaves {
public:
    TSledovanyStavKlaves()
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(this);
    }

    bool CapsLock() const override
    {
        bool zapnuto;
        if (Indikator("Caps Lock", zapnuto))
            return zapnuto;
        return bCaps;
    }
    bool NumLock() const override
    {
        bool zapnuto;
        if (Indikator("Num Lock", zapnuto))
            return zapnuto;
        return bNum;
    }
    bool Insert() const override { return bInsert; }

protected:
    bool eventFilter(QObject *Objekt, QEvent *Udalost) override
    {
        // A key press reaches the filter again for every widget it propagates
        // through; the native window receives it once, first.
        if (Udalost->type() == QEvent::KeyPress && Objekt->isWindowType()) {
            auto *klavesa = static_cast<QKeyEvent *>(Udalost);
            if (!klavesa->isAutoRepeat()) {
                switch (klavesa->key()) {
                case Qt::Key_CapsLock: bCaps = !bCaps; break;
                case Qt::Key_NumLock: bNum = !bNum; break;
                case Qt::Key_Insert: bInsert = !bInsert; break;
                default: break;
                }
            }
        }
        return false;
    }

private:
    static bool Indikator(const char *Jmeno, bool &Zapnuto) { return XkbIndikator(Jmeno, Zapnuto); }

    bool bCaps = false;
    bool bNum = false;
    bool bInsert = false;
};

#endif

std::unique_ptr<TStavKlaves> &Instance()
{
    static std::unique_ptr<TStavKlaves> stav;
    return stav;
}

} // namespace

TStavKlaves &StavKlaves()
{
    auto &stav = Instance();
    if (!stav) {
#ifdef Q_OS_WIN
        stav = std::make_unique<TWindowsStavKlaves>();
#else
        stav = std::make_unique<TSledovanyStavKlaves>();
#endif
    }
    return *stav;
}

void NastavStavKlaves(std::unique_ptr<TStavKlaves> Stav)
{
    Instance() = std::move(Stav);
}

#ifdef LUMARIN_XKB
#include <QGuiApplication>
#include <QHash>
#include <X11/XKBlib.h>

static bool XkbIndikator(const char *Jmeno, bool &Zapnuto)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *displej = x11 ? x11->display() : nullptr;
    if (!displej)
        return false;
    // The indicators are found by name: which bit is which depends on the
    // keyboard map. The names' atoms are asked for once.
    static QHash<QByteArray, Atom> atomy;
    auto atom = atomy.find(Jmeno);
    if (atom == atomy.end())
        atom = atomy.insert(Jmeno, XInternAtom(displej, Jmeno, True));
    if (*atom == None)
        return false;
    int index = 0;
    Bool stav = False;
    if (!XkbGetNamedIndicator(displej, *atom, &index, &stav, nullptr, nullptr))
        return false;
    Zapnuto = stav;
    return true;
}
#elif !defined(Q_OS_WIN)
static bool XkbIndikator(const char *, bool &)
{
    return false;
}
#endif

#include "Okna.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QWidget>
#include <algorithm>

#ifdef LUMARIN_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace {

std::optional<QString> &Nahrada()
{
    static std::optional<QString> jmeno;
    return jmeno;
}

#ifdef LUMARIN_X11
// One window-valued or text-valued property of a window; empty when it is
// missing or of another type, or when the window is gone (Qt's handler of
// X errors discards the error, and the request fails).
QByteArray Vlastnost(Display *Displej, Window Okno, const char *Jmeno, Atom Typ)
{
    const Atom vlastnost = XInternAtom(Displej, Jmeno, True);
    if (vlastnost == None)
        return {};
    Atom typ = None;
    int format = 0;
    unsigned long polozek = 0;
    unsigned long zbyva = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(Displej, Okno, vlastnost, 0, 1024, False, Typ, &typ, &format, &polozek, &zbyva, &data) !=
            Success ||
        !data)
        return {};
    QByteArray vysledek;
    if (typ == Typ && format == 8)
        vysledek = QByteArray(reinterpret_cast<const char *>(data), int(polozek));
    else if (typ == Typ && format == 32 && polozek == 1)
        vysledek = QByteArray::number(qulonglong(*reinterpret_cast<const unsigned long *>(data)));
    XFree(data);
    return vysledek;
}

QString JmenoSpravceX11()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *displej = x11 ? x11->display() : nullptr;
    if (!displej)
        return {};
    // The manager names a window of its own on the root window, and that
    // window names it back: a stale property left by a manager that has gone
    // does not.
    const Window koren = DefaultRootWindow(displej);
    const QByteArray kontrola = Vlastnost(displej, koren, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
    if (kontrola.isEmpty())
        return {};
    const Window okno = Window(kontrola.toULongLong());
    if (Vlastnost(displej, okno, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW) != kontrola)
        return {};
    const Atom utf8 = XInternAtom(displej, "UTF8_STRING", False);
    return QString::fromUtf8(Vlastnost(displej, okno, "_NET_WM_NAME", utf8));
}
#endif

} // namespace

QString JmenoSpravceOken()
{
    if (Nahrada())
        return *Nahrada();
#ifdef LUMARIN_X11
    return JmenoSpravceX11();
#else
    return {};
#endif
}

void NastavJmenoSpravceOken(std::optional<QString> Jmeno)
{
    Nahrada() = std::move(Jmeno);
}

namespace {

// Names the dialog a toolbar window at each showing under openbox. The show
// event comes when the window system has the window but has not mapped it
// yet, when the manager still reads the type; a window made any earlier
// would be placed by the manager without its frame counted.
class TTypPodleSpravce : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *Objekt, QEvent *Udalost) override
    {
        if (Udalost->type() == QEvent::Show && Objekt->isWidgetType())
            static_cast<QWidget *>(Objekt)->setAttribute(
                Qt::WA_X11NetWmWindowTypeToolBar,
                JmenoSpravceOken().compare(QLatin1String("Openbox"), Qt::CaseInsensitive) == 0);
        return false;
    }
};

} // namespace

void BezMinimalizace(QWidget *Dialog)
{
    Dialog->installEventFilter(new TTypPodleSpravce(Dialog));
}

int SirkaProTitulek(const QWidget *Okno, const QString &Titulek)
{
    // Where the platform has a font of its own for title bars, the general
    // font and the title bar's differ; elsewhere both are the general font,
    // which says nothing about the title bar.
    QFont pismo = QApplication::font("QMdiSubWindowTitleBar");
    int sirkaTitulku = QFontMetrics(pismo).horizontalAdvance(Titulek);
    if (pismo == QApplication::font()) {
        pismo = Okno->font();
        pismo.setBold(true);
        sirkaTitulku = QFontMetrics(pismo).horizontalAdvance(Titulek);
        // An X11 window manager draws the title in a font of the system's,
        // never in one that only the program has loaded (Wine's Tahoma):
        // the system's sans-serif at the window's size is measured too.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            QFont systemove = pismo;
            systemove.setFamilies({QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()});
            sirkaTitulku = std::max(sirkaTitulku, QFontMetrics(systemove).horizontalAdvance(Titulek));
        }
    }
    QStyleOptionTitleBar volby;
    volby.initFrom(Okno);
    volby.titleBarFlags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    QStyle *styl = Okno->style();
    const int vyska = styl->pixelMetric(QStyle::PM_TitleBarHeight, &volby, Okno);
    const int ramecek = styl->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, &volby, Okno);
    // The icon and the close box each about as wide as the bar is high, and
    // the frame on both sides.
    return sirkaTitulku + 2 * vyska + 2 * ramecek;
}

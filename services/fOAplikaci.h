#pragma once
// The about box: the program's title, what it does, its version, "FREEWARE"
// in a frame, the author's notice, the author's web address and "Zavřít".
// Created once with the program and shown modally; Enter, Esc, the button and
// the close box all close it with Cancel.
//
// The version is the product version of the program's own executable to
// three parts ("3.0.0"), read once when the form is created; empty when the
// executable carries no readable version block.
//
// The labels take the size of their text: those anchored on the left grow to
// the right, the right-aligned ones keep their right edge at 420 and grow to
// the left. They are placed anew as soon as a text changes, also while the
// box is hidden (a language being applied), not only when it is shown.

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QUrl;

class TOAplikaciForm : public QDialog {
    Q_OBJECT
public:
    explicit TOAplikaciForm(QWidget *Vlastnik = nullptr);

    // What the form owns, in the order in which it declares it.
    QList<QObject *> Komponenty;

    QFrame *Shape1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblPopis = nullptr;
    QLabel *lblVerze = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QPushButton *btnZavrit = nullptr;

    // The address that Label5 shows and a click on it opens.
    static const QString AdresaAutora;

    // Event handlers.
    void FormCreate(QObject *Sender);
    void Label5Click(QObject *Sender);

    // Hands an address to the desktop's browser; false when the desktop
    // refused it. Tests put their own in place so that no browser starts.
    std::function<bool(const QUrl &)> OtevritAdresu;

protected:
    bool eventFilter(QObject *Objekt, QEvent *Udalost) override;
};

#pragma once
// Driving the program's modal windows from a test: a window made active, an
// action run on the modal window that the next call opens, a key pressed.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <functional>

// Waits until Okno is the active window, as it is when the user goes on
// typing. The offscreen platform activates a window only once: one activated
// while the menu that opened it was still closing never reaches the widgets,
// where a real window system would activate it again.
inline void Aktivuj(QWidget *Okno)
{
    QVERIFY(QTest::qWaitForWindowActive(Okno));
    if (QApplication::activeWindow() != Okno)
        QApplication::setActiveWindow(Okno);
}

// Runs Akce on the modal window that the next call opens, once its event loop
// runs; a window that Akce leaves open (a failed check) is closed, so a
// failure never hangs the test.
inline void NaModalnimOkne(std::function<void(QWidget *)> Akce)
{
    QTimer::singleShot(0, [Akce] {
        QPointer<QWidget> okno = QApplication::activeModalWidget();
        QVERIFY(okno);
        Aktivuj(okno);
        Akce(okno);
        if (auto *dialog = qobject_cast<QDialog *>(okno.data()); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
}

// A key pressed where the keyboard's focus is.
inline void Stiskni(Qt::Key Klavesa, Qt::KeyboardModifiers Modifikatory = Qt::NoModifier)
{
    QWidget *cil = QApplication::focusWidget();
    QVERIFY(cil);
    QTest::keyClick(cil, Klavesa, Modifikatory);
}

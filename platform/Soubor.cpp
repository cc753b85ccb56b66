#include "Soubor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString DuvodSlozky()
{
    return QStringLiteral("It is a folder, not a file");
}

} // namespace

EChyba ChybaVytvoreni(const QString &Cesta, const QString &Duvod)
{
    return EChyba(QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(Cesta), Duvod));
}

EChyba ChybaOtevreni(const QString &Cesta, const QString &Duvod)
{
    return EChyba(QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(Cesta), Duvod));
}

QByteArray NactiBajty(const QString &Cesta)
{
    QFile soubor(Cesta);
    QString duvod;
    const QFileInfo info(Cesta);
    if (info.isDir())
        duvod = DuvodSlozky();
    else if (info.exists() && !info.isFile())
        // A pipe or a device would block the window or never end.
        duvod = QStringLiteral("It is not a regular file");
    else if (!soubor.open(QIODevice::ReadOnly))
        duvod = soubor.errorString();
    else {
        QByteArray bajty = soubor.readAll();
        if (soubor.error() == QFileDevice::NoError)
            return bajty;
        duvod = soubor.errorString();
    }
    throw ChybaOtevreni(Cesta, duvod);
}

void ZapisSoubor(const QString &Cesta, const QByteArray &Bajty)
{
    // The name of a link stands for the file it points to.
    const QFileInfo info(Cesta);
    const QString cil = info.isSymLink() ? info.symLinkTarget() : Cesta;
    QString duvod;
    QFile stavajici(cil);
    if (QFileInfo(cil).isDir()) {
        duvod = DuvodSlozky();
    } else if (stavajici.exists() && !stavajici.open(QIODevice::WriteOnly | QIODevice::Append)) {
        // A write-protected file stays protected: it is not replaced behind the
        // user's back.
        duvod = stavajici.errorString();
    } else {
        stavajici.close();
        QSaveFile soubor(cil);
        if (!soubor.open(QIODevice::WriteOnly) || soubor.write(Bajty) != Bajty.size() || !soubor.commit())
            duvod = soubor.errorString();
        else
            return;
    }
    throw ChybaVytvoreni(Cesta, duvod);
}

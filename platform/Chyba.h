#pragma once
// The error that a command does not handle itself: its message reaches the
// general error report.

#include <QByteArray>
#include <QString>
#include <exception>

class EChyba : public std::exception {
public:
    explicit EChyba(QString Zprava) : FZprava(std::move(Zprava)), FUtf8(FZprava.toUtf8()) {}
    const QString &Zprava() const { return FZprava; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FZprava;
    QByteArray FUtf8;
};

// Readable GoogleTest output for Qt types (force-included into every test).
#pragma once
#ifdef __cplusplus
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}
inline void PrintTo(const QDateTime& d, std::ostream* os) {
    *os << d.toString(Qt::ISODateWithMs).toStdString();
}
#endif

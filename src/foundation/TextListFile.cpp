#include "foundation/TextListFile.h"

#include <QFile>
#include <QSaveFile>

namespace palvo {

bool ReadTextList(const QString& path, QStringList* lines, qint64 maxBytes) {
    lines->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.read(maxBytes));
    if (file.error() != QFile::NoError)
        return false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.isEmpty())
            lines->push_back(line);
    }
    return true;
}

bool WriteTextList(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace palvo

#include "foundation/IniFile.h"

#include <QFile>
#include <QSaveFile>

namespace palvo {

namespace {
constexpr qint64 kMaxIniSize = 1 << 20;
}

bool IniFile::load(const QString& path) {
    lines_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.read(kMaxIniSize));
    if (file.error() != QFile::NoError)
        return false;
    lines_ = text.split(QLatin1Char('\n'));
    for (QString& line : lines_) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines_.isEmpty() && lines_.last().isEmpty())
        lines_.removeLast();
    return true;
}

QString IniFile::sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

qsizetype IniFile::sectionLine(const QString& section) const {
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        const QString name = sectionName(lines_[i]);
        if (!name.isEmpty() && name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype IniFile::keyLine(qsizetype header, const QString& key) const {
    for (qsizetype i = header + 1; i < lines_.size(); ++i) {
        if (!sectionName(lines_[i]).isEmpty())
            break;
        const QString& line = lines_[i];
        if (line.trimmed().startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    const qsizetype header = sectionLine(section);
    return header >= 0 && keyLine(header, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key) const {
    const qsizetype header = sectionLine(section);
    if (header < 0)
        return {};
    const qsizetype at = keyLine(header, key);
    if (at < 0)
        return {};
    const QString& line = lines_[at];
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

void IniFile::setValue(const QString& section, const QString& key, const QString& text) {
    const QString line = key + QLatin1Char('=') + text;
    qsizetype header = sectionLine(section);
    if (header < 0) {
        lines_ << QLatin1Char('[') + section + QLatin1Char(']') << line;
        return;
    }
    const qsizetype at = keyLine(header, key);
    if (at >= 0) {
        lines_[at] = line;
        return;
    }
    // After the section's last value line.
    qsizetype end = header + 1;
    while (end < lines_.size() && sectionName(lines_[end]).isEmpty())
        ++end;
    while (end > header + 1 && lines_[end - 1].trimmed().isEmpty())
        --end;
    lines_.insert(end, line);
}

QString IniFile::text() const {
    QString out;
    for (const QString& line : lines_)
        out += line + QStringLiteral("\r\n");
    return out;
}

bool IniFile::save(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text().toUtf8();
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace palvo

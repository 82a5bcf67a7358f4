#include "foundation/SettingsFile.h"

#include "foundation/QRoutine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace palvo {

namespace {
constexpr qint64 kMaxFileSize = 1 << 20; // far above any real settings file
}

QString SettingsFile::pathFor(const QString& programName) {
    QString name = programName;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(0), QLatin1Char('_'));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("_");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Palvo/") + name + QStringLiteral(".ini");
}

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {}

bool SettingsFile::exists() const {
    return QFileInfo::exists(path_);
}

bool SettingsFile::open(bool create) {
    entries_.clear();
    corrupt_ = false;
    unreadable_ = false;
    QFile file(path_);
    if (!file.exists()) {
        if (!create)
            return true;
        return save();
    }
    if (!file.open(QIODevice::ReadOnly)) {
        unreadable_ = true;
        return false;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFile::NoError) {
        unreadable_ = true;
        return false;
    }
    if (bytes.size() > kMaxFileSize || bytes.contains('\0'))
        corrupt_ = true;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes.left(kMaxFileSize));
    if (decoder.hasError())
        corrupt_ = true;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = eq > 0 ? line.left(eq).trimmed() : QString();
        if (name.isEmpty()) {
            corrupt_ = true;
            continue;
        }
        setValue(name, unescape(line.mid(eq + 1)));
    }
    return true;
}

qsizetype SettingsFile::find(const QString& name) const {
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> SettingsFile::value(const QString& name) const {
    const qsizetype i = find(name);
    if (i < 0)
        return std::nullopt;
    return entries_[i].value;
}

void SettingsFile::setValue(const QString& name, const QString& text) {
    const qsizetype i = find(name);
    if (i >= 0)
        entries_[i].value = text;
    else
        entries_.push_back({name, text});
}

void SettingsFile::remove(const QString& name) {
    const qsizetype i = find(name);
    if (i >= 0)
        entries_.removeAt(i);
}

QStringList SettingsFile::names() const {
    QStringList result;
    for (const auto& e : entries_)
        result << e.name;
    return result;
}

bool SettingsFile::save() {
    if (unreadable_)
        return false;
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return false;
    if (corrupt_) {
        // Keep what we could not understand; the user may want it back.
        const QString aside = path_ + QStringLiteral(".corrupt");
        QFile::remove(aside);
        if (!QFile::copy(path_, aside))
            return false;
        corrupt_ = false;
    }
    QByteArray out;
    for (const auto& e : entries_)
        out += (e.name + QLatin1Char('=') + escape(e.value) + QLatin1Char('\n')).toUtf8();
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(out) != out.size())
        return false;
    return file.commit();
}

bool SettingsFile::erase() {
    entries_.clear();
    if (!QFileInfo::exists(path_))
        return true;
    return QFile::remove(path_);
}

QString SettingsFile::escape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString SettingsFile::unescape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else
            out += next;
    }
    return out;
}

QString ReadRegValue(const QString& programName, const QString& name) {
    SettingsFile key(SettingsFile::pathFor(programName));
    if (!key.open(false))
        return {};
    return key.value(name).value_or(QString());
}

void WriteRegValue(const QString& programName, const QString& name, const QString& text) {
    SettingsFile key(SettingsFile::pathFor(programName));
    if (!key.open(true))
        throw EError(QStringLiteral("Error encountered saving registry"));
    if (text.isEmpty())
        key.remove(name);
    else
        key.setValue(name, text);
    if (!key.save())
        throw EError(QStringLiteral("Error encountered saving registry"));
}

} // namespace palvo

#include "library/TextRoutines.h"

#include "foundation/QFileRoutine.h"

namespace palvo {

namespace {
const QString kEllipsis = QStringLiteral("...");
} // namespace

QString MinimizeString(const QFontMetrics& metrics, int width, const QString& text) {
    if (metrics.horizontalAdvance(text) < width)
        return text;
    QString kept = text;
    while (!kept.isEmpty() && metrics.horizontalAdvance(kept + kEllipsis) > width)
        kept.chop(1);
    while (kept.endsWith(QLatin1Char(' ')))
        kept.chop(1);
    return kept + kEllipsis;
}

namespace {
// One shortening step of a folder part that is not "/.../".
QString dropFirstFolder(const QString& folder) {
    const QString lead = folder.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    QString rest = folder.mid(lead.size());
    if (rest.startsWith(QLatin1String(".../")))
        rest.remove(0, 4);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return lead + QStringLiteral(".../") + rest.mid(slash + 1);
}
} // namespace

QString MinimizePathName(const QFontMetrics& metrics, int width, const QString& path) {
    QString drive;
    QString rest = path;
    if (path.size() >= 2 && path.at(1) == QLatin1Char(':')) {
        drive = path.left(2);
        rest = path.mid(2);
    }
    const qsizetype lastSlash = rest.lastIndexOf(QLatin1Char('/'));
    QString folder = lastSlash < 0 ? QString() : rest.left(lastSlash + 1);
    const QString name = rest.mid(lastSlash + 1);
    while ((!drive.isEmpty() || !folder.isEmpty()) &&
           metrics.horizontalAdvance(drive + folder + name) > width) {
        if (folder == QLatin1String("/.../")) {
            folder = QStringLiteral(".../");
            drive.clear();
        } else if (!folder.isEmpty()) {
            folder = dropFirstFolder(folder);
        } else {
            drive.clear();
        }
    }
    return drive + folder + name;
}

QString bytestostr(std::int64_t number, bool compact) {
    const auto digitCount = [](std::int64_t n) { return QString::number(n < 0 ? -n : n).size(); };
    QString unit = QStringLiteral(" bytes");
    std::int64_t shown = number;
    if (digitCount(number) > (compact ? 3 : 6)) {
        shown = (number + 512) / 1024;
        unit = QStringLiteral(" KB");
    }
    QString digits = QString::number(shown);
    if (digitCount(shown) > 3)
        digits.insert(digits.size() - 3, QLatin1Char(','));
    return digits + unit;
}

QString gridDisplayName(const QString& fileName, bool hideExtensions) {
    QString entry = fileName;
    if (entry.startsWith(QLatin1Char(';')))
        entry.remove(0, 1);
    const QString name = fileNameOf(entry);
    if (!hideExtensions)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString fitNameToWidth(const QFontMetrics& metrics, int width, const QString& text) {
    if (text.size() <= 3 || metrics.horizontalAdvance(text) <= width)
        return text;
    QString kept = text;
    while (kept.size() > 1 && metrics.horizontalAdvance(kept + kEllipsis) > width)
        kept.chop(1);
    return kept + kEllipsis;
}

} // namespace palvo

#pragma once

#include <QString>
#include <QStringList>

namespace palvo {

// A profile (INI) text file: "[Section]" lines followed by "Key=Value" lines.
// Section and key names compare without regard to case; a missing key reads
// as an empty text. Writing one value keeps every other line of the file as
// it was and replaces the file atomically.
class IniFile {
public:
    // Reads the file (at most 1 MB); false when it is missing or unreadable.
    bool load(const QString& path);
    [[nodiscard]] QString value(const QString& section, const QString& key) const;
    [[nodiscard]] bool contains(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& text);
    bool save(const QString& path) const;

    // The whole text (lines joined by CR LF), for tests and writing.
    [[nodiscard]] QString text() const;

private:
    // Index of the section's header line, or -1.
    qsizetype sectionLine(const QString& section) const;
    // Index of the key's line inside the section starting after header, or -1.
    qsizetype keyLine(qsizetype header, const QString& key) const;
    static QString sectionName(const QString& line);

    QStringList lines_;
};

} // namespace palvo

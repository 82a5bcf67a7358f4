#pragma once

#include <QString>
#include <QVector>

#include <optional>

namespace palvo {

// One settings key: a small text file of "Name=Value" lines, kept in the order
// the values were first written. Names compare without regard to case; values
// are texts, with "\", CR and LF escaped as "\\", "\r" and "\n".
//
// The file is replaced atomically on every save. A file that could not be
// understood (not UTF-8, a line without "=", oversized) is copied aside to
// "<file>.corrupt" before the first save replaces it; a file that exists but
// cannot be read is never overwritten.
class SettingsFile {
public:
    // $XDG_CONFIG_HOME/Palvo/<program name>.ini; "/" and NUL in the name become "_".
    [[nodiscard]] static QString pathFor(const QString& programName);

    explicit SettingsFile(QString path);

    // Reads the file. With create, a missing file is created empty. False when
    // the file exists but can't be read, or can't be created.
    bool open(bool create);
    [[nodiscard]] bool isCorrupt() const { return corrupt_; }
    [[nodiscard]] bool exists() const;

    [[nodiscard]] std::optional<QString> value(const QString& name) const;
    void setValue(const QString& name, const QString& text);
    void remove(const QString& name);
    [[nodiscard]] QStringList names() const;

    // Writes all values; false on failure (the old file then stays as it was).
    bool save();
    // Deletes the file; true when it is gone afterwards.
    bool erase();

    [[nodiscard]] const QString& path() const { return path_; }

    // The text form of one line's value.
    [[nodiscard]] static QString escape(const QString& text);
    [[nodiscard]] static QString unescape(const QString& text);

private:
    struct Entry {
        QString name;
        QString value;
    };
    qsizetype find(const QString& name) const;

    QString path_;
    QVector<Entry> entries_;
    bool corrupt_ = false;
    bool unreadable_ = false;
};

// The single-value routines of the settings keys.
[[nodiscard]] QString ReadRegValue(const QString& programName, const QString& name);
// Writes the text, or deletes the value when the text is empty. Raises EError
// "Error encountered saving registry" when the key can't be opened or saved.
void WriteRegValue(const QString& programName, const QString& name, const QString& text);

} // namespace palvo

#pragma once

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QString>

#include <cstdint>
#include <stdexcept>

namespace palvo {

// An exception that carries its message text.
class ETextError : public std::runtime_error {
public:
    explicit ETextError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

// Raised only by TextToBoolStrict.
class EQFunctionError : public ETextError {
    using ETextError::ETextError;
};

// The other failures raised inside the routines.
class EError : public ETextError {
    using ETextError::ETextError;
};

// --- booleans -------------------------------------------------------------

[[nodiscard]] QString BoolToText(bool flag);
// "TRUE" gives true and "FALSE" false, in any letter case; anything else the default.
[[nodiscard]] bool TextToBool(const QString& text, bool defaultValue);
// As TextToBool, but anything else raises EQFunctionError("Not a boolean string").
[[nodiscard]] bool TextToBoolStrict(const QString& text);

// --- colours --------------------------------------------------------------
// A colour is the 32-bit value 0x00BBGGRR; the top byte 0xFF marks a system
// colour (0xFF000000 | index), 0x1FFFFFFF is "none" and 0x20000000 "default".

using Colour = std::int32_t;

inline constexpr Colour clBlack = 0x000000;
inline constexpr Colour clRed = 0x0000FF;
inline constexpr Colour clWhite = 0xFFFFFF;

// A colour name such as "clBlack" for the standard colours, else "$" and eight
// upper-case hexadecimal digits.
[[nodiscard]] QString ColourToText(Colour colour);
// Colour names (any letter case), decimal numbers and "$" or "0x" hexadecimal
// numbers; any other text gives the default.
[[nodiscard]] Colour TextToColour(const QString& text, Colour defaultValue);
// The colour to paint with; system colours resolve to typical desktop values.
[[nodiscard]] QColor ColourToQColor(Colour colour);
[[nodiscard]] Colour QColorToColour(const QColor& colour);

// --- texts and numbers ----------------------------------------------------

[[nodiscard]] QString TextOrDefault(const QString& text, const QString& defaultValue);
[[nodiscard]] inline QString IfText(bool flag, const QString& a, const QString& b) {
    return flag ? a : b;
}
[[nodiscard]] inline int IfInt(bool flag, int a, int b) {
    return flag ? a : b;
}
[[nodiscard]] bool ContainsText(const QString& part, const QString& text);
[[nodiscard]] QString ReplaceText(const QString& text, const QString& oldText,
                                  const QString& newText, bool matchCase);
[[nodiscard]] QString ReplaceChar(const QString& text, QChar character, QChar newCharacter);
[[nodiscard]] QString ReplaceCharByText(const QString& text, QChar character,
                                        const QString& newText);
// Deletes the first occurrence of the part again and again until none is left.
[[nodiscard]] QString RemoveAll(const QString& text, const QString& part);
// "http://" in front unless the address begins with "HTTP" in any letter case.
[[nodiscard]] QString EnsureHttp(const QString& address);
// a × b / 100 rounded to the nearest integer, halves to even.
[[nodiscard]] int Percent(int a, int b);
[[nodiscard]] int CeilInt(double value);
// Rounds to the nearest integer, halves to even.
[[nodiscard]] int RoundHalfEven(double value);
// "%.<decimals>f"; with trimZeros trailing zeros after a "." go; a trailing
// "." always goes.
[[nodiscard]] QString FormatNumber(double value, int decimals, bool trimZeros);
// "1.18 MB", "1 KB", "1,500 bytes": the unit chosen by the digit count of the
// number against the width.
[[nodiscard]] QString SizeToText(std::int64_t bytes, int width);

// --- cache names ----------------------------------------------------------

[[nodiscard]] std::uint32_t TextHash(const QString& text);
[[nodiscard]] std::uint32_t TextChecksum16(const QString& text);
// Hash + digits of the date-time + "F" + checksum; dateTime is a day count
// (see DelphiDateTime), 0 for none.
[[nodiscard]] QString CacheKey(const QString& text, double dateTime);

// A local date-time as a count of days since 1899-12-30 with the time of day
// as the fraction (the form file dates are kept in); 0 for an invalid one.
[[nodiscard]] double DelphiDateTime(const QDateTime& dateTime);
[[nodiscard]] QDateTime FromDelphiDateTime(double days);

// Styles: 1 short date, 2 short date + separator + time, 3 long date, 4 long
// date + separator + time, 5 "yyyy-mm-dd", 6 that + separator + "hh-nn-ss"
// (longTime) or "hh-nn". Afterwards ":", "\" and "/" become "-"
// (replaceSeparators) or are removed, so the text can be part of a file name.
[[nodiscard]] QString DateTimeText(bool replaceSeparators, int style, const QString& separator,
                                   const QDateTime& value, bool longTime);

// Sets size (points), name, then only the asked styles.
void SetFontStyle(QFont& font, int size, const QString& name, bool bold, bool italic,
                  bool underline);

// A whole decimal number (optional sign, digits only, within 32 bits).
[[nodiscard]] bool ParseDecimal(const QString& text, int* value);

} // namespace palvo

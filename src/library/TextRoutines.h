#pragma once

#include <QFontMetrics>
#include <QString>

#include <cstdint>

namespace palvo {

// Text routines that shorten names to a width in pixels, measured with the
// control's font.

// A text at least as wide as the width loses characters from its end until it
// fits with "..." appended; trailing blanks go before the "...". A narrower
// text comes back unchanged.
[[nodiscard]] QString MinimizeString(const QFontMetrics& metrics, int width, const QString& text);

// Splits the path into drive ("X:" when the second character is ":"), folder
// part (leading and trailing "/") and file name, then replaces the leading
// folders by "..." one by one ("/a/b/c/x.jpg", "/.../b/c/x.jpg", …,
// "/.../x.jpg", ".../x.jpg", "x.jpg") until the whole fits.
[[nodiscard]] QString MinimizePathName(const QFontMetrics& metrics, int width, const QString& path);

// Short names are already long on Linux.
[[nodiscard]] inline QString longPathName(const QString& path) {
    return path;
}

// "999,999 bytes", "1,206 KB": kilobytes once the decimal has more than 3
// digits (compact) or more than 6; one "," before the last three digits.
[[nodiscard]] QString bytestostr(std::int64_t number, bool compact);

// The name a grid cell shows: the file name without folder, and without its
// extension when hideExtensions.
[[nodiscard]] QString gridDisplayName(const QString& fileName, bool hideExtensions);

// A cell's name text fitted into the width: a wider text gets "..." and then
// loses the character before the "..." until it fits or one character is
// left. Names of three characters or fewer are never shortened.
[[nodiscard]] QString fitNameToWidth(const QFontMetrics& metrics, int width, const QString& text);

} // namespace palvo

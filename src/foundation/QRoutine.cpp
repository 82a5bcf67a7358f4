#include "foundation/QRoutine.h"

#include <QColor>
#include <QLocale>
#include <QRegularExpression>

#include <array>
#include <cmath>
#include <cstdio>

namespace palvo {

QString BoolToText(bool flag) {
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

bool TextToBool(const QString& text, bool defaultValue) {
    if (text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return false;
    return defaultValue;
}

bool TextToBoolStrict(const QString& text) {
    if (text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0)
        return false;
    throw EQFunctionError(QStringLiteral("Not a boolean string"));
}

// --- colours --------------------------------------------------------------

namespace {

struct NamedColour {
    Colour value;
    const char* name;
    QRgb display; // what a system colour looks like on a typical desktop
};

constexpr Colour kSystem = static_cast<Colour>(0xFF000000u);

// The standard colour names, in the order the conversion looks them up.
constexpr std::array<NamedColour, 52> kColourNames{{
    {0x000000, "clBlack", 0},
    {0x000080, "clMaroon", 0},
    {0x008000, "clGreen", 0},
    {0x008080, "clOlive", 0},
    {0x800000, "clNavy", 0},
    {0x800080, "clPurple", 0},
    {0x808000, "clTeal", 0},
    {0x808080, "clGray", 0},
    {0xC0C0C0, "clSilver", 0},
    {0x0000FF, "clRed", 0},
    {0x00FF00, "clLime", 0},
    {0x00FFFF, "clYellow", 0},
    {0xFF0000, "clBlue", 0},
    {0xFF00FF, "clFuchsia", 0},
    {0xFFFF00, "clAqua", 0},
    {0xFFFFFF, "clWhite", 0},
    {0xC0DCC0, "clMoneyGreen", 0},
    {0xF0CAA6, "clSkyBlue", 0},
    {0xF0FBFF, "clCream", 0},
    {0xA4A0A0, "clMedGray", 0},
    {kSystem | 10, "clActiveBorder", 0xFFB4B4B4},
    {kSystem | 2, "clActiveCaption", 0xFF99B4D1},
    {kSystem | 12, "clAppWorkSpace", 0xFFABABAB},
    {kSystem | 1, "clBackground", 0xFF000000},
    {kSystem | 15, "clBtnFace", 0xFFF0F0F0},
    {kSystem | 20, "clBtnHighlight", 0xFFFFFFFF},
    {kSystem | 16, "clBtnShadow", 0xFFA0A0A0},
    {kSystem | 18, "clBtnText", 0xFF000000},
    {kSystem | 9, "clCaptionText", 0xFF000000},
    {kSystem | 17, "clGrayText", 0xFF6D6D6D},
    {kSystem | 13, "clHighlight", 0xFF3399FF},
    {kSystem | 14, "clHighlightText", 0xFFFFFFFF},
    {kSystem | 11, "clInactiveBorder", 0xFFF4F7FC},
    {kSystem | 3, "clInactiveCaption", 0xFFBFCDDB},
    {kSystem | 19, "clInactiveCaptionText", 0xFF434E54},
    {kSystem | 24, "clInfoBk", 0xFFFFFFE1},
    {kSystem | 23, "clInfoText", 0xFF000000},
    {kSystem | 4, "clMenu", 0xFFF0F0F0},
    {kSystem | 7, "clMenuText", 0xFF000000},
    {kSystem | 0, "clScrollBar", 0xFFC8C8C8},
    {kSystem | 21, "cl3DDkShadow", 0xFF696969},
    {kSystem | 22, "cl3DLight", 0xFFE3E3E3},
    {kSystem | 5, "clWindow", 0xFFFFFFFF},
    {kSystem | 6, "clWindowFrame", 0xFF646464},
    {kSystem | 8, "clWindowText", 0xFF000000},
    {kSystem | 26, "clHotLight", 0xFF0066CC},
    {kSystem | 27, "clGradientActiveCaption", 0xFFB9D1EA},
    {kSystem | 28, "clGradientInactiveCaption", 0xFFD7E4F2},
    {kSystem | 29, "clMenuHighlight", 0xFF3399FF},
    {kSystem | 30, "clMenuBar", 0xFFF0F0F0},
    {0x1FFFFFFF, "clNone", 0},
    {0x20000000, "clDefault", 0},
}};

bool ParseInt32(QString text, Colour* value) {
    // Leading blanks are allowed, as the standard conversion allows them.
    while (!text.isEmpty() && text.front().isSpace())
        text.remove(0, 1);
    bool negative = false;
    if (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'))) {
        negative = text.front() == QLatin1Char('-');
        text.remove(0, 1);
    }
    int base = 10;
    if (text.startsWith(QLatin1Char('$'))) {
        base = 16;
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text.remove(0, 2);
    }
    if (text.isEmpty())
        return false;
    qint64 result = 0;
    for (QChar c : text) {
        const int digit =
            c.isDigit() ? c.digitValue()
            : (base == 16 && c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))
                ? c.toLower().unicode() - 'a' + 10
                : -1;
        if (digit < 0 || digit >= base)
            return false;
        result = result * base + digit;
        if (result > 0xFFFFFFFFLL)
            return false;
    }
    if (base == 10) {
        // Decimal numbers must fit a signed 32-bit integer.
        if ((!negative && result > 0x7FFFFFFF) || (negative && result > 0x80000000LL))
            return false;
        *value = static_cast<Colour>(negative ? -result : result);
        return true;
    }
    // Hexadecimal numbers are the 32-bit pattern.
    const auto bits = static_cast<std::uint32_t>(result);
    *value = static_cast<Colour>(negative ? 0u - bits : bits);
    return true;
}

} // namespace

QString ColourToText(Colour colour) {
    for (const auto& entry : kColourNames) {
        if (entry.value == colour)
            return QString::fromLatin1(entry.name);
    }
    return QStringLiteral("$%1")
        .arg(static_cast<std::uint32_t>(colour), 8, 16, QLatin1Char('0'))
        .toUpper();
}

Colour TextToColour(const QString& text, Colour defaultValue) {
    for (const auto& entry : kColourNames) {
        if (text.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.value;
    }
    Colour value = 0;
    return ParseInt32(text, &value) ? value : defaultValue;
}

QColor ColourToQColor(Colour colour) {
    const auto bits = static_cast<std::uint32_t>(colour);
    if ((bits & 0xFF000000u) == 0xFF000000u) {
        for (const auto& entry : kColourNames) {
            if (entry.value == colour)
                return QColor::fromRgb(entry.display);
        }
        return QColor(Qt::black);
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

Colour QColorToColour(const QColor& colour) {
    return static_cast<Colour>(std::uint32_t(colour.red()) | (std::uint32_t(colour.green()) << 8) |
                               (std::uint32_t(colour.blue()) << 16));
}

// --- texts and numbers ----------------------------------------------------

QString TextOrDefault(const QString& text, const QString& defaultValue) {
    return text.isEmpty() ? defaultValue : text;
}

bool ContainsText(const QString& part, const QString& text) {
    return text.contains(part, Qt::CaseInsensitive);
}

QString ReplaceText(const QString& text, const QString& oldText, const QString& newText,
                    bool matchCase) {
    if (oldText.isEmpty())
        return text;
    QString result = text;
    return result.replace(oldText, newText, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

QString ReplaceChar(const QString& text, QChar character, QChar newCharacter) {
    QString result = text;
    return result.replace(character, newCharacter);
}

QString ReplaceCharByText(const QString& text, QChar character, const QString& newText) {
    QString result = text;
    return result.replace(character, newText);
}

QString RemoveAll(const QString& text, const QString& part) {
    if (part.isEmpty())
        return text;
    QString result = text;
    for (qsizetype at = result.indexOf(part); at >= 0; at = result.indexOf(part))
        result.remove(at, part.size());
    return result;
}

QString EnsureHttp(const QString& address) {
    if (address.startsWith(QLatin1String("HTTP"), Qt::CaseInsensitive))
        return address;
    return QStringLiteral("http://") + address;
}

int Percent(int a, int b) {
    const qint64 n = qint64(a) * b;
    qint64 q = n / 100;
    const qint64 r = n % 100; // same sign as n
    const qint64 twice = 2 * (r < 0 ? -r : r);
    if (twice > 100 || (twice == 100 && (q % 2) != 0))
        q += (n < 0) ? -1 : 1;
    return int(q);
}

int CeilInt(double value) {
    return int(std::ceil(value));
}

int RoundHalfEven(double value) {
    return int(std::nearbyint(value));
}

QString FormatNumber(double value, int decimals, bool trimZeros) {
    QString text = QString::asprintf("%.*f", decimals < 0 ? 0 : decimals, value);
    if (trimZeros && text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString SizeToText(std::int64_t bytes, int width) {
    const QString digits = QString::number(bytes < 0 ? -bytes : bytes);
    const qsizetype count = digits.size();
    if (count > 6 * width && bytes >= 1048576) {
        const std::int64_t b = bytes + 512;
        if (b < 10485760)
            return QString::asprintf("%.2f", double(b) / 1048576.0) + QStringLiteral(" MB");
        return QString::number(b / 1048576) + QStringLiteral(" MB");
    }
    if (count > 3 * width)
        return QString::number((bytes + 512) / 1024) + QStringLiteral(" KB");
    // Thousands separated by ",".
    QString grouped = QString::number(bytes);
    const qsizetype signLength = bytes < 0 ? 1 : 0;
    for (qsizetype at = grouped.size() - 3; at > signLength; at -= 3)
        grouped.insert(at, QLatin1Char(','));
    return grouped + QStringLiteral(" bytes");
}

// --- cache names ----------------------------------------------------------

std::uint32_t TextHash(const QString& text) {
    if (text.isEmpty())
        return 0;
    std::uint32_t h = text.at(0).unicode();
    for (qsizetype i = 1; i < text.size(); ++i)
        h = h * 31u + text.at(i).unicode();
    return h & 0x7FFFFFFu;
}

std::uint32_t TextChecksum16(const QString& text) {
    if (text.isEmpty())
        return 0;
    QByteArray bytes = text.toUtf8();
    const qsizetype pad = (4 - bytes.size() % 4) % 4;
    bytes.prepend(QByteArray(pad, '\0'));
    std::uint32_t sum = 0;
    for (qsizetype i = 0; i < bytes.size(); i += 4) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + i);
        sum += std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
               (std::uint32_t(p[3]) << 24);
    }
    return (sum >> 16) ^ (sum & 0xFFFFu);
}

QString CacheKey(const QString& text, double dateTime) {
    QString digits;
    if (dateTime != 0.0) {
        // Fixed notation, 10 significant digits, 5 decimals.
        const double rounded = std::stod(QString::asprintf("%.9e", dateTime).toStdString());
        digits = QString::asprintf("%.5f", rounded);
        digits.remove(0, 2);
        digits.remove(QLatin1Char('.'));
    }
    return QString::number(TextHash(text)) + digits + QLatin1Char('F') +
           QString::number(TextChecksum16(text));
}

namespace {
const QDateTime& DelphiEpoch() {
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return epoch;
}
} // namespace

double DelphiDateTime(const QDateTime& dateTime) {
    if (!dateTime.isValid())
        return 0.0;
    // The local wall-clock time counts, as on the system the dates come from.
    const QDateTime local = dateTime.toLocalTime();
    const QDateTime wall(local.date(), local.time(), Qt::UTC);
    const qint64 ms = DelphiEpoch().msecsTo(wall);
    const double days = std::floor(double(ms) / 86400000.0);
    const double fraction = double(ms - qint64(days) * 86400000) / 86400000.0;
    // Before the epoch the fraction still counts forward from midnight.
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime FromDelphiDateTime(double days) {
    if (days == 0.0)
        return {};
    const double whole = std::trunc(days);
    const double fraction = std::fabs(days - whole);
    const QDate date = DelphiEpoch().date().addDays(qint64(whole));
    const QTime time = QTime(0, 0).addMSecs(int(std::llround(fraction * 86400000.0)) % 86400000);
    return QDateTime(date, time, Qt::LocalTime);
}

QString DateTimeText(bool replaceSeparators, int style, const QString& separator,
                     const QDateTime& value, bool longTime) {
    const QLocale locale = QLocale::system();
    const QString time =
        locale.toString(value.time(), longTime ? QLocale::LongFormat : QLocale::ShortFormat);
    QString text;
    switch (style) {
    case 1:
        text = locale.toString(value.date(), QLocale::ShortFormat);
        break;
    case 2:
        text = locale.toString(value.date(), QLocale::ShortFormat) + separator + time;
        break;
    case 3:
        text = locale.toString(value.date(), QLocale::LongFormat);
        break;
    case 4:
        text = locale.toString(value.date(), QLocale::LongFormat) + separator + time;
        break;
    case 5:
        text = value.toString(QStringLiteral("yyyy-MM-dd"));
        break;
    case 6:
        text = value.toString(QStringLiteral("yyyy-MM-dd")) + separator +
               value.toString(longTime ? QStringLiteral("hh-mm-ss") : QStringLiteral("hh-mm"));
        break;
    default:
        break;
    }
    static const QRegularExpression separators(QStringLiteral("[:\\\\/]"));
    return text.replace(separators, replaceSeparators ? QStringLiteral("-") : QString());
}

void SetFontStyle(QFont& font, int size, const QString& name, bool bold, bool italic,
                  bool underline) {
    if (size > 0)
        font.setPointSize(size);
    font.setFamily(name);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
}

bool ParseDecimal(const QString& text, int* value) {
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
    if (!decimal.match(text).hasMatch())
        return false;
    bool ok = false;
    const int parsed = text.toInt(&ok, 10);
    if (ok && value)
        *value = parsed;
    return ok;
}

} // namespace palvo

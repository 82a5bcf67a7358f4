#pragma once

#include <QString>
#include <QStringList>

namespace palvo {

// Plain lists of texts, one per line, as the program's ".dat" lists are kept:
// lines end with CR LF when written; LF alone is accepted when read. Empty
// lines are skipped. Reads at most maxBytes; writes go through a temporary
// file and a rename, so a failed write leaves the old list whole.
[[nodiscard]] bool ReadTextList(const QString& path, QStringList* lines,
                                qint64 maxBytes = 16 << 20);
bool WriteTextList(const QString& path, const QStringList& lines);

} // namespace palvo

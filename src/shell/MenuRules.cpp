#include "shell/MenuRules.h"

#include "foundation/QRoutine.h"

#include <QUrl>

#include <algorithm>

namespace palvo {

QPoint MenuPopupPosition(QPoint barScreenTopLeft, int barHeight, int labelLeft) {
    return {barScreenTopLeft.x() + labelLeft + 6, barScreenTopLeft.y() + barHeight - 15};
}

QString AcceleratorMarkup(const QString& caption) {
    QString out;
    bool marked = false;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i);
        if (c == QLatin1Char('&') && i + 1 < caption.size()) {
            const QString next = QString(caption.at(++i)).toHtmlEscaped();
            if (caption.at(i) != QLatin1Char('&') && !marked) {
                out += QStringLiteral("<u>") + next + QStringLiteral("</u>");
                marked = true;
            } else {
                out += next;
            }
            continue;
        }
        out += c == QLatin1Char(' ') ? QStringLiteral("&nbsp;") : QString(c).toHtmlEscaped();
    }
    return out;
}

QString SiteName(const QString& generalWebsite) {
    const QString address = generalWebsite.trimmed();
    QString host;
    if (!address.isEmpty())
        host = QUrl(EnsureHttp(address), QUrl::StrictMode).host();
    if (host.startsWith(QLatin1String("www.")))
        host.remove(0, 4);
    // Only a domain name reads as a site's name: a bare address or a local
    // host name (a test or home service) shows the service's own name.
    const QString topLevel = host.section(QLatin1Char('.'), -1);
    const bool domainName =
        host.contains(QLatin1Char('.')) &&
        std::any_of(topLevel.begin(), topLevel.end(), [](QChar ch) { return ch.isLetter(); });
    if (!domainName || !host.at(0).isLetterOrNumber())
        return QStringLiteral("Palvo.com");
    host[0] = host.at(0).toUpper();
    return host;
}

QString SiteMenuCaption(const QString& siteName) {
    QString caption = siteName;
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    const qsizetype c = caption.indexOf(QLatin1Char('c'), 0, Qt::CaseInsensitive);
    if (c >= 0)
        caption.insert(c, QLatin1Char('&'));
    return caption;
}

FileMenuEnabling FileMenuRules(const FileMenuInputs& in) {
    FileMenuEnabling out;
    out.saveAs = in.pictureCurrent && !in.loading;
    out.save = out.saveAs && in.changed && in.maySaveOver;
    return out;
}

EditMenuEnabling EditMenuRules(const EditMenuInputs& in) {
    EditMenuEnabling out;
    const UndoState& u = in.undo;
    if (u.losslessPending)
        out.undoCaption = QStringLiteral("Undo Rotate");
    else if (u.undoCount <= 0)
        out.undoCaption = QStringLiteral("Undo");
    else
        out.undoCaption = QStringLiteral("Undo ") + u.lastUndo;
    out.redoCaption =
        u.redoCount <= 0 ? QStringLiteral("Redo") : QStringLiteral("Redo ") + u.nextRedo;
    out.undo = u.undoCount > 0 || u.losslessPending;
    out.redo = u.redoCount > 0 && !u.losslessPending;
    out.copy = in.pictureShown && !in.loading;
    out.selectAll = in.gridItems > 0;
    out.selectNone = in.uploadEntries > 0;
    return out;
}

PictureMenuEnabling PictureMenuRules(const PictureMenuInputs& in) {
    PictureMenuEnabling out;
    const bool ready = in.pictureCurrent && !in.viewEmpty && !in.loading;
    out.right = in.rotateRightButton && ready;
    out.left = in.rotateLeftButton && ready;
    out.rotate = out.left || out.right;
    out.redEye = in.redEyeButton && ready;
    out.crop = in.freeCropButton && ready;
    out.right = out.crop;
    out.left = out.crop;
    out.quickFix = in.quickFixButton && ready;
    out.zoom = in.zoomInButton && !in.viewEmpty;
    return out;
}

} // namespace palvo

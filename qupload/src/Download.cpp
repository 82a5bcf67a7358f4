#include "Download.h"

#include "Config.h"
#include "Http.h"
#include "UserState.h"

#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace palvo::qupload {

bool downloadFile(const QString& address, const QString& targetPath) {
    const QUrl url(address.trimmed(), QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty())
        return false;
    if (targetPath.isEmpty())
        return false;
    const QFileInfo target(targetPath);
    if (target.isDir() && !target.isSymLink())
        return false;
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return false;

    // QTemporaryFile creates its file exclusively (O_CREAT | O_EXCL): it
    // never opens an existing file or a symlink planted under its name.
    QTemporaryFile part(folder.absoluteFilePath() + "/.download-XXXXXX.part");
    if (!part.open())
        return false;

    const LibraryConfig config = LibraryConfig::load();
    HttpClient client(config, UserState::load().proxy, QEventLoop::ExcludeUserInputEvents);
    HttpRequest req;
    req.url = url.toString(QUrl::FullyEncoded);
    req.followRedirects = true;
    req.maxResponseBytes = config.downloadMaxBytes;
    bool writeFailed = false;
    req.sink = [&](const char* data, size_t size) {
        if (part.write(data, qint64(size)) != qint64(size)) {
            writeFailed = true;
            return false;
        }
        return true;
    };
    const HttpResult r = client.performWithRetries(req, {}, [&] {
        part.resize(0);
        part.seek(0);
    });
    if (!r.ok() || writeFailed || !part.flush() || ::fsync(part.handle()) != 0)
        return false;

    // The file was created readable by its owner only; give it the usual
    // permissions of a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(part.handle(), 0666 & ~mask);

    const QByteArray from = QFile::encodeName(part.fileName());
    const QByteArray to = QFile::encodeName(target.absoluteFilePath());
    if (std::rename(from.constData(), to.constData()) != 0)
        return false;
    part.setAutoRemove(false);
    return true;
}

} // namespace palvo::qupload

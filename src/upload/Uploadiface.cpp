#include "upload/Uploadiface.h"

#include "foundation/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <dlfcn.h>
#include <vector>

namespace palvo {

namespace {

// NULL-terminated arrays of UTF-8 texts that live as long as this object.
class CStrings {
public:
    explicit CStrings(const QStringList& texts) {
        for (const QString& t : texts)
            bytes_.push_back(t.toUtf8());
        for (const QByteArray& b : bytes_)
            pointers_.push_back(b.constData());
        pointers_.push_back(nullptr);
    }
    const char* const* data() const { return pointers_.data(); }

private:
    std::vector<QByteArray> bytes_;
    std::vector<const char*> pointers_;
};

} // namespace

Uploadiface::Uploadiface(QString libraryPath) : path_(std::move(libraryPath)) {
    if (path_.isEmpty())
        path_ = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                QLatin1String(QUPLOAD_LIBRARY_NAME);
}

Uploadiface::~Uploadiface() {
    release();
}

void Uploadiface::release() {
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
    checkForUpdate_ = nullptr;
    promptForProxySettings_ = nullptr;
    uploadImagesToServer_ = nullptr;
    downloadInternetFile_ = nullptr;
}

bool Uploadiface::load() {
    if (handle_)
        return true;
    void* handle = dlopen(QFile::encodeName(path_).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle) {
        checkForUpdate_ =
            reinterpret_cast<QUploadCheckForUpdateFn>(dlsym(handle, "CheckForUpdate"));
        promptForProxySettings_ = reinterpret_cast<QUploadPromptForProxySettingsFn>(
            dlsym(handle, "PromptForProxySettings"));
        uploadImagesToServer_ =
            reinterpret_cast<QUploadUploadImagesToServerFn>(dlsym(handle, "UploadImagesToServer"));
        downloadInternetFile_ =
            reinterpret_cast<QUploadDownloadInternetFileFn>(dlsym(handle, "DownloadInternetFile"));
        if (checkForUpdate_ && promptForProxySettings_ && uploadImagesToServer_ &&
            downloadInternetFile_) {
            handle_ = handle;
            return true;
        }
        dlclose(handle);
    }
    checkForUpdate_ = nullptr;
    promptForProxySettings_ = nullptr;
    uploadImagesToServer_ = nullptr;
    downloadInternetFile_ = nullptr;
    qMessageDlg(LoadStrFromRes(QStringLiteral("An error was encountered loading the DLL, %s."),
                               QLatin1String(QUPLOAD_LIBRARY_NAME)),
                MsgType::Information, mbOK);
    return false;
}

std::int16_t Uploadiface::CheckForUpdate(void* window, const QString& programName,
                                         const QString& version, bool interactive) {
    if (!load())
        return kNotLoaded;
    return checkForUpdate_(window, programName.toUtf8().constData(), version.toUtf8().constData(),
                           interactive ? 1 : 0);
}

void Uploadiface::PromptForProxySettings(void* window) {
    if (!load())
        return;
    promptForProxySettings_(window);
}

std::int16_t Uploadiface::UploadImagesToServer(void* window, const QString& programName,
                                               const QString& version, const QString& operation,
                                               const QString& title, const QStringList& files,
                                               int reserved1, int reserved2,
                                               const QStringList& widths,
                                               const QStringList& heights) {
    if (!load())
        return kNotLoaded;
    const CStrings cFiles(files), cWidths(widths), cHeights(heights);
    return uploadImagesToServer_(window, programName.toUtf8().constData(),
                                 version.toUtf8().constData(), operation.toUtf8().constData(),
                                 title.toUtf8().constData(), cFiles.data(), reserved1, reserved2,
                                 cWidths.data(), cHeights.data());
}

bool Uploadiface::DownloadInternetFile(void* window, const QString& address,
                                       const QString& targetPath) {
    if (!load())
        return false;
    return downloadInternetFile_(window, address.toUtf8().constData(),
                                 targetPath.toUtf8().constData()) != 0;
}

} // namespace palvo

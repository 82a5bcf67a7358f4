#pragma once

#include "QUploadApi.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace palvo {

// The run-time binding of the upload library. The first call of any
// operation loads the library and resolves its four entry points; a library
// that can't be loaded, or lacks an entry point, is reported with "An error
// was encountered loading the DLL, libQUpload.so." and the call returns
// 0xFFF7 (−9) or false. Every later call tries again. The library stays
// loaded until release() or destruction.
class Uploadiface {
public:
    // libraryPath: the library file; by default the program folder's libQUpload.so.
    explicit Uploadiface(QString libraryPath = QString());
    ~Uploadiface();
    Uploadiface(const Uploadiface&) = delete;
    Uploadiface& operator=(const Uploadiface&) = delete;

    static constexpr std::int16_t kNotLoaded = static_cast<std::int16_t>(0xFFF7);

    std::int16_t CheckForUpdate(void* window, const QString& programName, const QString& version,
                                bool interactive);
    void PromptForProxySettings(void* window);
    std::int16_t UploadImagesToServer(void* window, const QString& programName,
                                      const QString& version, const QString& operation,
                                      const QString& title, const QStringList& files, int reserved1,
                                      int reserved2, const QStringList& widths,
                                      const QStringList& heights);
    bool DownloadInternetFile(void* window, const QString& address, const QString& targetPath);

    [[nodiscard]] bool isLoaded() const { return handle_ != nullptr; }
    void release();

private:
    bool load();

    QString path_;
    void* handle_ = nullptr;
    QUploadCheckForUpdateFn checkForUpdate_ = nullptr;
    QUploadPromptForProxySettingsFn promptForProxySettings_ = nullptr;
    QUploadUploadImagesToServerFn uploadImagesToServer_ = nullptr;
    QUploadDownloadInternetFileFn downloadInternetFile_ = nullptr;
};

} // namespace palvo

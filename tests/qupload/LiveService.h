// The real palvo-service on loopback with one account, and the QUpload.dat
// that points the upload library at it; what the account's frame holds.
#pragma once

#include "qupload/DialogDriver.h"
#include "service/ServiceProcess.h"

#include "foundation/QFileRoutine.h"
#include "imaging/JpegCodec.h"
#include "upload/UploadFixtures.h"
#include "upload/UploadList.h"
#include "upload/UploadRun.h"
#include "upload/Uploadiface.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

namespace palvo::test {

inline constexpr char kServiceUser[] = "demo";
inline constexpr char kServicePassword[] = "secret";

class LiveService {
public:
    // The service keeps its data in folder + "/service"; the configuration
    // is written to configFile (the program folder's "QUpload.dat" where a
    // window runs) with extraConfig appended to its [Service] section, and
    // the library is sent there through QUPLOAD_CONFIG.
    LiveService(const QString& folder, const QString& configFile,
                const QByteArray& extraConfig = {})
        : process_(folder + "/service",
                   {"--account", QStringLiteral("%1:%2").arg(kServiceUser, kServicePassword)}) {
        if (!process_.start())
            return;
        const QByteArray config =
            "[Service]\nSERVER=" + process_.url().toUtf8() + "\nRETRY_DELAY_MS=50\n" + extraConfig;
        if (!putFile(configFile, config))
            return;
        qputenv("QUPLOAD_CONFIG", QFile::encodeName(configFile));
        started_ = true;
    }
    ~LiveService() { qunsetenv("QUPLOAD_CONFIG"); }
    LiveService(const LiveService&) = delete;
    LiveService& operator=(const LiveService&) = delete;

    [[nodiscard]] bool started() const { return started_; }
    // The service goes away; the configuration still names it.
    void stop() { process_.stop(); }

    struct StoredPicture {
        QString name;   // the name the frame shows
        int width = 0;  // as the service recorded it
        int height = 0; //
        QByteArray bytes;
        QSize decodedSize;
    };
    // The pictures of the account's only frame, in the order they arrived.
    [[nodiscard]] QList<StoredPicture> framePictures() const {
        QString frameDir;
        QList<StoredPicture> out;
        for (const auto& value : FramePictures(process_.dataDir(), &frameDir)) {
            const QJsonObject picture = value.toObject();
            StoredPicture stored;
            stored.name = picture["name"].toString();
            stored.width = picture["width"].toInt();
            stored.height = picture["height"].toInt();
            stored.bytes = fileBytes(frameDir + "/" + picture["file"].toString());
            stored.decodedSize = decodeJpeg(stored.bytes).image.size();
            out << stored;
        }
        return out;
    }

private:
    palvo::testing::ServiceProcess process_;
    bool started_ = false;
};

// The window's upload run without the window, against the live service: the
// files on the upload list, the real library, a quiet host, two pictures
// prepared at once, and the account's sign-in ready for the library's window.
struct UploadRunAgainstService {
    UploadRunAgainstService(UploadFolders& env, const QStringList& files)
        : list(env.settings, env.folders), context{list,    env.settings, limits, env.folders,
                                                   library, host,         2} {
        for (const QString& file : files)
            list.AddToUploadList(file);
        driver.signIns = {{kServiceUser, kServicePassword}};
    }
    UploadList list;
    ServiceConfig limits;
    Uploadiface library{PALVO_PROGRAM_DIR "/" QUPLOAD_LIBRARY_NAME};
    QuietUploadHost host;
    UploadContext context;
    palvo::testing::DialogDriver driver;
};

// What preparing for an upload left in the temporary folder; empty after
// every run, whatever its end.
inline QStringList PreparedLeftovers() {
    return QDir(TempFolder()).entryList({"*.jpg", "*.JPG", "~plvlist*"}, QDir::Files);
}

} // namespace palvo::test

// The program's own binding (Uploadiface) with the real libQUpload.so and the
// real palvo-service: the road an upload takes from the program.
#include "qupload/DialogDriver.h"
#include "service/ServiceProcess.h"

#include "upload/Uploadiface.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using palvo::testing::DialogDriver;
using palvo::testing::makeJpeg;
using palvo::testing::ServiceProcess;

TEST(QUploadThroughTheBinding, UploadsDownloadsAndChecksForUpdates) {
    QTemporaryDir tmp;
    ServiceProcess service(tmp.path() + "/data", {"--account", "demo:secret"});
    ASSERT_TRUE(service.start());
    QFile config(tmp.path() + "/QUpload.dat");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(("[Service]\nSERVER=" + service.url() + "\nRETRY_DELAY_MS=50\n").toUtf8());
    config.close();
    qputenv("QUPLOAD_CONFIG", QFile::encodeName(config.fileName()));

    DialogDriver driver;
    driver.signIns = {{"demo", "secret"}};
    palvo::Uploadiface iface(PALVO_PROGRAM_DIR "/" QUPLOAD_LIBRARY_NAME);
    QStringList files, widths, heights;
    QList<QByteArray> jpegs;
    for (int i = 0; i < 3; ++i) {
        const QSize size(640 - 100 * i, 480);
        jpegs << makeJpeg(size.width(), size.height(), 80, false, quint32(i + 1));
        files << tmp.path() + QString("/picture%1.jpg").arg(i);
        QFile f(files.last());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(jpegs.last());
        widths << QString::number(size.width());
        heights << QString::number(size.height());
    }
    EXPECT_EQ(iface.UploadImagesToServer(nullptr, "Palvo Sender", "1.0.4.3", "upload",
                                         "Upload Images to Palvo", files, 0, 0, widths, heights),
              3);
    EXPECT_TRUE(iface.isLoaded());

    const QStringList frames =
        QDir(tmp.path() + "/data/frames").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(frames.size(), 1);
    const QString frameDir = tmp.path() + "/data/frames/" + frames.first();
    QFile frame(frameDir + "/frame.json");
    ASSERT_TRUE(frame.open(QIODevice::ReadOnly));
    const QJsonArray pictures =
        QJsonDocument::fromJson(frame.readAll()).object()["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QJsonObject p = pictures[i].toObject();
        EXPECT_EQ(p["name"].toString(), QString("picture%1.jpg").arg(i));
        EXPECT_EQ(p["width"].toInt(), widths[i].toInt());
        QFile stored(frameDir + "/" + p["file"].toString());
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
        EXPECT_EQ(stored.readAll(), jpegs[i]);
    }

    // A stationery file through the same binding.
    ASSERT_TRUE(QDir().mkpath(tmp.path() + "/data/static"));
    QFile card(tmp.path() + "/data/static/card.jpg");
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write(jpegs[0]);
    card.close();
    EXPECT_TRUE(iface.DownloadInternetFile(nullptr, service.url() + "/static/card.jpg",
                                           tmp.path() + "/card.jpg"));
    EXPECT_FALSE(iface.DownloadInternetFile(nullptr, service.url() + "/static/none.jpg",
                                            tmp.path() + "/none.jpg"));
    EXPECT_EQ(QFileInfo(tmp.path() + "/card.jpg").size(), jpegs[0].size());

    driver.messages.clear();
    EXPECT_EQ(iface.CheckForUpdate(nullptr, "Palvo Sender", "1.0.4.3", false), 0);
    EXPECT_TRUE(driver.messages.isEmpty());
    qunsetenv("QUPLOAD_CONFIG");
}

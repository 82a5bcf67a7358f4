// The program's upload run end to end: UploadSelectionList through the
// binding and the real libQUpload.so to the real palvo-service.
#include "qupload/DialogDriver.h"
#include "service/ServiceProcess.h"

#include "foundation/QFileRoutine.h"
#include "imaging/JpegCodec.h"
#include "support/ScriptedMessages.h"
#include "upload/UploadFixtures.h"
#include "upload/UploadList.h"
#include "upload/UploadPictures.h"
#include "upload/UploadRun.h"
#include "upload/Uploadiface.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace palvo;
using palvo::testing::DialogDriver;
using palvo::testing::ServiceProcess;

namespace {

QStringList PreparedLeftovers() {
    return QDir(TempFolder()).entryList({"*.jpg", "*.JPG", "~plvlist*"}, QDir::Files);
}

} // namespace

TEST(UploadEndToEnd, ThreePicturesReachTheFrameAndAStoppedServiceKeepsTheList) {
    test::UploadFolders env;
    const QString data = env.path("service");
    auto service = std::make_unique<ServiceProcess>(data, QStringList{"--account", "demo:secret"});
    ASSERT_TRUE(service->start());
    const QString config = env.path("QUpload.dat");
    ASSERT_TRUE(test::putFile(
        config,
        ("[Service]\nSERVER=" + service->url() + "\nRETRY_DELAY_MS=50\nRETRIES=1\n").toUtf8()));
    qputenv("QUPLOAD_CONFIG", QFile::encodeName(config));

    const QString photos = env.path("photos");
    ASSERT_TRUE(test::writeJpeg(photos + "/one.jpg", test::noiseImage(1600, 1200, 1)));
    ASSERT_TRUE(test::noiseImage(800, 1000, 2).save(photos + "/two.png"));
    ASSERT_TRUE(test::writeJpeg(photos + "/three.jpg", test::noiseImage(320, 240, 3)));
    UploadList list(env.settings, env.folders);
    for (const char* name : {"one.jpg", "two.png", "three.jpg"})
        list.AddToUploadList(photos + "/" + name);
    ServiceConfig limits;
    Uploadiface library(PALVO_PROGRAM_DIR "/" QUPLOAD_LIBRARY_NAME);
    test::QuietUploadHost host;
    UploadContext context{list, env.settings, limits, env.folders, library, host, 2};
    DialogDriver driver;
    driver.signIns = {{"demo", "secret"}};
    {
        test::ScriptedMessages messages(true);
        const UploadRunResult result = UploadSelectionList(context);
        EXPECT_EQ(result.outcome, UploadOutcome::Uploaded);
        EXPECT_EQ(result.libraryResult, 3);
    }
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(PreparedLeftovers(), QStringList());

    QString frameDir;
    const QJsonArray pictures = test::FramePictures(data, &frameDir);
    ASSERT_EQ(pictures.size(), 3);
    const QStringList names{"one.jpg", "two.jpg", "three.jpg"};
    const QList<QSize> sizes{{640, 480}, {640, 480}, {320, 240}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject picture = pictures[i].toObject();
        EXPECT_EQ(picture["name"].toString(), names[i]);
        QFile stored(frameDir + "/" + picture["file"].toString());
        ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
        const QByteArray bytes = stored.readAll();
        EXPECT_LE(bytes.size(), 65499);
        EXPECT_EQ(decodeJpeg(bytes).image.size(), sizes[i]);
    }

    // The service goes away: the run fails, the list stays, nothing is left behind.
    service.reset();
    list.AddToUploadList(photos + "/one.jpg");
    list.AddToUploadList(photos + "/three.jpg");
    const QStringList before = list.entries();
    driver.reset();
    {
        test::ScriptedMessages messages(true);
        const UploadRunResult result = UploadSelectionList(context);
        EXPECT_EQ(result.outcome, UploadOutcome::Failed);
        EXPECT_LT(result.libraryResult, 0);
    }
    EXPECT_EQ(list.entries(), before);
    EXPECT_EQ(PreparedLeftovers(), QStringList());
    qunsetenv("QUPLOAD_CONFIG");
}

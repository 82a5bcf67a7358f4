// The upload run and the command-line upload with the real libQUpload.so and
// the real palvo-service: what the frame finally holds.
#include "qupload/LiveService.h"

#include "foundation/QFileRoutine.h"
#include "support/ScriptedMessages.h"
#include "upload/CameraPhotos.h"
#include "upload/UploadFixtures.h"
#include "upload/UploadPictures.h"
#include "upload/UploadRun.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace palvo;

namespace {

TEST(UploadWithTheService, WindowRunAndCommandLineBothReachTheFrame) {
    test::UploadFolders env;
    test::LiveService service(env.dir.path(), env.path("QUpload.dat"));
    ASSERT_TRUE(service.started());

    // The window's run: three listed pictures, the middle one unreadable and
    // skipped; the user signs in once.
    const QString photos = env.path("photos");
    ASSERT_TRUE(test::putFile(photos + "/a.jpg", test::cameraLikeJpeg(2400, 1800, 1)));
    ASSERT_TRUE(test::putFile(photos + "/b.jpg", "not a picture"));
    ASSERT_TRUE(test::gradientImage(500, 900).save(photos + "/c.png"));
    test::UploadRunAgainstService run(env,
                                      {photos + "/a.jpg", photos + "/b.jpg", photos + "/c.png"});
    {
        test::ScriptedMessages messages(true);
        messages.answers = {mrOK};
        const UploadRunResult result = UploadSelectionList(run.context);
        EXPECT_EQ(result.outcome, UploadOutcome::Uploaded);
        EXPECT_EQ(result.libraryResult, 2);
        EXPECT_EQ(messages.asked.size(), 1);
    }
    EXPECT_EQ(run.driver.signInShown, 1);
    EXPECT_TRUE(run.list.isEmpty());
    EXPECT_EQ(run.host.emptied, 1);

    // The command line, started as cron would: the remembered sign-in, no
    // display.
    const QString folder = env.path("cron");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(test::putFile(folder + QString("/IMG_%1.JPG").arg(i),
                                  test::cameraLikeJpeg(3000, 2000, quint64(10 + i))));
    QProcess p;
    QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
    pe.remove("DISPLAY");
    pe.insert("QT_QPA_PLATFORM", "xcb");
    p.setProcessEnvironment(pe);
    p.start(QString(PALVO_PROGRAM_DIR) + "/PSender", {"--upload", folder});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString() << p.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains("Uploaded 3 pictures")) << out.toStdString();

    const auto pictures = service.framePictures();
    ASSERT_EQ(pictures.size(), 5);
    const QStringList names = {"a.jpg", "c.jpg", "IMG_0.JPG", "IMG_1.JPG", "IMG_2.JPG"};
    const QSize size(640, 480);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pictures[i].name, names[i]);
        EXPECT_EQ(pictures[i].width, size.width());
        EXPECT_FALSE(pictures[i].bytes.isEmpty());
        EXPECT_LT(pictures[i].bytes.size(), 65499);
        EXPECT_EQ(pictures[i].decodedSize, size);
    }
    // Nothing prepared is left behind by either.
    EXPECT_EQ(test::PreparedLeftovers(), QStringList());
}

} // namespace

// The program's upload run end to end through the binding and the real
// libQUpload.so to the real palvo-service.
#include "qupload/DialogDriver.h"
#include "qupload/LiveService.h"

#include "controls/ui/ClickLabel.h"
#include "foundation/QFileRoutine.h"
#include "library/GridGeometry.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/MainWindowFixture.h"
#include "support/ScriptedMessages.h"
#include "upload/CameraPhotos.h"
#include "upload/UploadFixtures.h"
#include "upload/UploadList.h"
#include "upload/UploadPictures.h"
#include "upload/UploadRun.h"
#include "upload/Uploadiface.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace palvo;
using palvo::testing::DialogDriver;

TEST(UploadEndToEnd, ThreePicturesReachTheFrameAndAStoppedServiceKeepsTheList) {
    test::UploadFolders env;
    test::LiveService service(env.dir.path(), env.path("QUpload.dat"), "RETRIES=1\n");
    ASSERT_TRUE(service.started());

    const QString photos = env.path("photos");
    ASSERT_TRUE(test::writeJpeg(photos + "/one.jpg", test::noiseImage(1600, 1200, 1)));
    ASSERT_TRUE(test::noiseImage(800, 1000, 2).save(photos + "/two.png"));
    ASSERT_TRUE(test::writeJpeg(photos + "/three.jpg", test::noiseImage(320, 240, 3)));
    test::UploadRunAgainstService run(
        env, {photos + "/one.jpg", photos + "/two.png", photos + "/three.jpg"});
    UploadList& list = run.list;
    {
        test::ScriptedMessages messages(true);
        const UploadRunResult result = UploadSelectionList(run.context);
        EXPECT_EQ(result.outcome, UploadOutcome::Uploaded);
        EXPECT_EQ(result.libraryResult, 3);
    }
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(test::PreparedLeftovers(), QStringList());

    const auto pictures = service.framePictures();
    ASSERT_EQ(pictures.size(), 3);
    const QStringList names{"one.jpg", "two.jpg", "three.jpg"};
    const QList<QSize> sizes{{640, 480}, {640, 480}, {320, 240}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pictures[i].name, names[i]);
        EXPECT_FALSE(pictures[i].bytes.isEmpty());
        EXPECT_LE(pictures[i].bytes.size(), 65499);
        EXPECT_EQ(pictures[i].decodedSize, sizes[i]);
    }

    // The service goes away: the run fails, the list stays, nothing is left behind.
    service.stop();
    list.AddToUploadList(photos + "/one.jpg");
    list.AddToUploadList(photos + "/three.jpg");
    const QStringList before = list.entries();
    run.driver.reset();
    {
        test::ScriptedMessages messages(true);
        const UploadRunResult result = UploadSelectionList(run.context);
        EXPECT_EQ(result.outcome, UploadOutcome::Failed);
        EXPECT_LT(result.libraryResult, 0);
    }
    EXPECT_EQ(list.entries(), before);
    EXPECT_EQ(test::PreparedLeftovers(), QStringList());
}

// The user's way: the main window on a folder, two pictures ticked by their
// check boxes, the Upload button, the library's sign-in answered.
TEST(UploadEndToEnd, PicturesTickedInTheWindowReachTheFrame) {
    QTemporaryDir program, photos, scratch;
    const QString config = program.path() + "/QUpload.dat";
    test::LiveService service(scratch.path(), config);
    ASSERT_TRUE(service.started());
    // The program reads the receiver limits from the same file.
    QFile limits(config);
    ASSERT_TRUE(limits.open(QIODevice::Append));
    limits.write("[Palvo]\nPALVO_MAX_WIDTH=640\nPALVO_MAX_HEIGHT=480\nPALVO_MAX_SIZE=65499\n");
    limits.close();

    ASSERT_TRUE(test::putFile(photos.path() + "/a.jpg", test::cameraLikeJpeg(2400, 1800, 7)));
    ASSERT_TRUE(test::gradientImage(500, 900).save(photos.path() + "/b.png"));
    ASSERT_TRUE(test::writeJpeg(photos.path() + "/c.jpg", test::noiseImage(320, 240, 3)));

    StartOptions options = test::FirstStartOptions(program.path(), photos.path());
    options.uploadLibraryPath = PALVO_PROGRAM_DIR "/" QUPLOAD_LIBRARY_NAME;
    test::ScriptedMessages messages(true);
    TfrmMain w(options);
    QSignalSpy finished(&w, &TfrmMain::setupFinished);
    w.show();
    ASSERT_TRUE(finished.wait(10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.currentFile().isEmpty() && !w.Loading(); }, 20000));
    ASSERT_EQ(w.ThumbGrid->ItemCount(), 3);

    // The check boxes of the first and the last picture.
    for (int index : {0, 2}) {
        const QRect box = checkBoxRect(w.ThumbGrid->ItemRect(index), w.ThumbGrid->CheckBoxAlign);
        QTest::mouseClick(w.ThumbGrid->viewport(), Qt::LeftButton, {}, box.center());
    }
    ASSERT_EQ(w.uploadList().entries(),
              (QStringList{photos.path() + "/a.jpg", photos.path() + "/c.jpg"}));
    EXPECT_EQ(w.lblSelUpload1->text(), "to upload (2)");
    ASSERT_TRUE(w.btnUpload->isEnabled());

    DialogDriver driver;
    driver.signIns = {{test::kServiceUser, test::kServicePassword}};
    QTest::mouseClick(w.btnUpload, Qt::LeftButton);
    EXPECT_EQ(w.btnUploadClickResult, UploadOutcome::Uploaded);
    EXPECT_LE(driver.signInShown, 1);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();

    const auto pictures = service.framePictures();
    ASSERT_EQ(pictures.size(), 2);
    const QStringList names{"a.jpg", "c.jpg"};
    const QList<QSize> sizes{{640, 480}, {320, 240}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(pictures[i].name, names[i]);
        EXPECT_FALSE(pictures[i].bytes.isEmpty());
        EXPECT_LE(pictures[i].bytes.size(), 65499);
        EXPECT_EQ(pictures[i].decodedSize, sizes[i]);
    }
    // The list is empty and the window says so.
    EXPECT_TRUE(w.uploadList().isEmpty());
    EXPECT_EQ(w.lblSelUpload1->text(), "to upload (0)");
    EXPECT_FALSE(w.btnUpload->isEnabled());
    EXPECT_TRUE(w.KeyPreview);
    EXPECT_EQ(test::PreparedLeftovers(), QStringList());
}

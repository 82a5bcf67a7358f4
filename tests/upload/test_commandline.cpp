#include <gtest/gtest.h>

#include "foundation/QFileRoutine.h"
#include "upload/CameraPhotos.h"
#include "upload/CommandLineJob.h"
#include "upload/PalvoFile.h"
#include "upload/UploadPictures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

using namespace palvo;
using namespace palvo::test;

namespace {

using Mode = CommandLineRequest::Mode;

TEST(CommandLineJob, ParsesModesOptionsAndUsageErrors) {
    const struct {
        QStringList args;
        Mode mode;
        QStringList inputs;
        QString out;
        int jobs;
        QString error;
    } cases[] = {
        {{"--prepare", "a", "b", "--out", "o"}, Mode::Prepare, {"a", "b"}, "o", 0, ""},
        {{"--prepare", "--out=o", "--jobs", "2", "a"}, Mode::Prepare, {"a"}, "o", 2, ""},
        {{"--upload", "--", "--odd name"}, Mode::Upload, {"--odd name"}, "", 0, ""},
        {{"--upload", "a", "--help"}, Mode::Help, {"a"}, "", 0, ""},
        {{"--prepare", "a"}, Mode::Prepare, {"a"}, "", 0, "--prepare needs --out DIR"},
        {{"--upload", "a", "--out", "o"},
         Mode::Upload,
         {"a"},
         "o",
         0,
         "--out belongs to --prepare"},
        {{"--upload"}, Mode::Upload, {}, "", 0, "No folder or picture given"},
        {{"--upload", "a", "--jobs", "0"},
         Mode::Upload,
         {"a"},
         "",
         0,
         "--jobs needs a number from 1 to 64, not \"0\""},
        {{"--upload", "a", "--fast"}, Mode::Upload, {"a"}, "", 0, "Unknown option --fast"},
        {{"--prepare", "a", "--out"}, Mode::Prepare, {"a"}, "", 0, "--out needs a value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CommandLineRequest r = parseCommandLineJob(c.args);
        EXPECT_EQ(r.mode, c.mode);
        EXPECT_EQ(r.inputs, c.inputs);
        EXPECT_EQ(r.outDir, c.out);
        EXPECT_EQ(r.jobs, c.jobs);
        EXPECT_EQ(r.error, c.error);
    }
}

TEST(CommandLineJob, FoldersGiveTheirPicturesByNameAndBadInputsAreNamed) {
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const char* name : {"b.JPG", "a.png", "C.tif", "notes.txt", "sub/d.jpg"})
        ASSERT_TRUE(putFile(d + "/photos/" + name, "x"));
    ASSERT_TRUE(QDir().mkpath(d + "/empty"));
    const JobInputs inputs = collectJobInputs(
        {d + "/photos", d + "/photos/notes.txt", d + "/missing.jpg", d + "/empty"});
    EXPECT_EQ(inputs.pictures, (QStringList{d + "/photos/a.png", d + "/photos/b.JPG",
                                            d + "/photos/C.tif", d + "/photos/notes.txt"}));
    EXPECT_EQ(inputs.problems, (QStringList{d + "/missing.jpg: no such file or folder",
                                            d + "/empty: no pictures in this folder"}));
}

TEST(CommandLineJob, OutputNamesAreFixedInListOrder) {
    EXPECT_EQ(preparedOutputNames({"/a/x.png", "/b/x.jpg", "/c/x.PNG", "/a/y.jpeg"}, "/out"),
              (QStringList{"/out/x.jpg", "/out/x_2.jpg", "/out/x_3.jpg", "/out/y.jpeg"}));
}

// The program itself, as cron would start it: no display at all.
class CommandLineProgram : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString photos = dir.path() + "/Family photos";
    QString out = dir.path() + "/out";

    struct Run {
        int code = -1;
        QStringList out;
        QString err;
    };
    Run run(const QStringList& args, const QProcessEnvironment& extra = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "xcb"); // a window would need a display
        for (const QString& key : extra.keys())
            env.insert(key, extra.value(key));
        p.setProcessEnvironment(env);
        p.start(QString(PALVO_PROGRAM_DIR) + "/PSender", args);
        EXPECT_TRUE(p.waitForFinished(240000));
        Run r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
    // Camera photos (some shot upright), a PNG scan, a broken file and a
    // text file that is not a picture file at all.
    QStringList makeFolder() {
        QStringList names;
        for (int i = 0; i < 8; ++i) {
            const QString name = QString("IMG_%1.JPG").arg(100 + i);
            EXPECT_TRUE(putFile(photos + "/" + name,
                                cameraLikeJpeg(2400, 1600, quint64(i), i % 3 == 1 ? 6 : 1)));
            names << name;
        }
        EXPECT_TRUE(gradientImage(900, 700).save(photos + "/scan.png"));
        names << "scan.png";
        EXPECT_TRUE(putFile(photos + "/notes.txt", "shopping list"));
        return names;
    }
};

TEST_F(CommandLineProgram, PreparesAFolderInOrderAndReportsTheBrokenPicture) {
    QStringList names = makeFolder();
    const QByteArray camera = cameraLikeJpeg(2400, 1600, 99);
    ASSERT_TRUE(putFile(photos + "/IMG_103b.JPG", camera.left(camera.size() / 3)));

    const Run r = run({"--prepare", photos, "--out", out, "--jobs", "2"});
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(photos + "/IMG_103b.JPG: cannot prepare: ")) << r.err.toStdString();
    ASSERT_EQ(r.out.size(), names.size() + 1) << r.out.join('\n').toStdString();
    names.sort(Qt::CaseInsensitive);
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        const QStringList fields = r.out[i].split('\t');
        ASSERT_EQ(fields.size(), 5);
        EXPECT_EQ(fields[0], photos + "/" + names[i]);
        const QString output = palvoTargetName(names[i], out + "/");
        EXPECT_EQ(fields[1], output);
        EXPECT_EQ(fields[2], "640x480");
        const int quality = fields[3].mid(2).toInt();
        EXPECT_GE(quality, 1);
        EXPECT_LE(quality, 100);
        const QByteArray bytes = fileBytes(output);
        EXPECT_EQ(fields[4], QString("%1 bytes").arg(bytes.size()));
        EXPECT_LT(bytes.size(), 65499);
        JpegHeader header;
        ASSERT_TRUE(readJpegHeader(bytes, header));
        EXPECT_EQ(QSize(header.width, header.height), QSize(640, 480));
        EXPECT_FALSE(header.progressive);
    }
    EXPECT_TRUE(r.out.last().startsWith(
        QString("Prepared %1 of %2 pictures (1 failed)").arg(names.size()).arg(names.size() + 1)))
        << r.out.last().toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), names.size());

    // Without the broken file, a second run replaces the files and succeeds.
    QFile::remove(photos + "/IMG_103b.JPG");
    const Run again = run({"--prepare", photos, "--out", out});
    EXPECT_EQ(again.code, 0) << again.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), names.size());
}

TEST_F(CommandLineProgram, UsageErrorsAndMissingInputsAreClear) {
    Run r = run({"--prepare", photos});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.startsWith("--prepare needs --out DIR\nUsage: PSender --prepare"));
    r = run({"--prepare", dir.path() + "/nothing here", "--out", out});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(dir.path() + "/nothing here: no such file or folder"));
    EXPECT_FALSE(QFile::exists(out));
    // Never into the folder of the pictures: a name could meet an original.
    ASSERT_TRUE(putFile(photos + "/a.jpg", "the original"));
    ASSERT_TRUE(gradientImage(100, 100).save(photos + "/a.png"));
    r = run({"--prepare", photos + "/a.png", "--out", photos + "/"});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("holds the pictures themselves")) << r.err.toStdString();
    EXPECT_EQ(fileBytes(photos + "/a.jpg"), "the original");
}

TEST_F(CommandLineProgram, UploadHandsThePicturesOverAndAlwaysCleansUp) {
    makeFolder();
    // An upload library configuration without a service address: the library
    // refuses, the job says so and leaves nothing behind.
    const QString config = dir.path() + "/QUpload.dat";
    ASSERT_TRUE(putFile(config, "[General]\r\n[Service]\r\nSERVER=\r\n"));
    QProcessEnvironment extra;
    extra.insert("QUPLOAD_CONFIG", config);
    const Run r = run({"--upload", photos}, extra);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("The upload did not succeed (upload library result -6)"))
        << r.err.toStdString();
    EXPECT_EQ(QDir(TempFolder()).entryList({"*.jpg", "*.JPG", "~plvlist*"}, QDir::Files),
              QStringList());
}

} // namespace

#include <gtest/gtest.h>

#include "acquire/CameraDetection.h"
#include "foundation/QFileRoutine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace palvo;

namespace {

// Every path under the card's folder sits on one mount of the given type;
// as the system does, the mount is found from the path with its links
// resolved.
class FakeMounts : public MountInfo {
public:
    FakeMounts(QString root, QByteArray fs, bool removable)
        : root_(IncludeTrailingSeparator(QFileInfo(root).canonicalFilePath())), fs_(std::move(fs)),
          removable_(removable) {}
    std::optional<MountEntry> mountOf(const QString& path) const override {
        const QString resolved = QFileInfo(path).canonicalFilePath();
        if (resolved.isEmpty() || !IncludeTrailingSeparator(resolved).startsWith(root_))
            return std::nullopt;
        return MountEntry{root_, fs_, "/dev/sdz1"};
    }
    bool isRemovableDevice(const QByteArray&) const override { return removable_; }

private:
    QString root_;
    QByteArray fs_;
    bool removable_;
};

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(CameraDrive, Rules) {
    QTemporaryDir card;
    const QString root = card.path() + "/";
    const FakeMounts usb(root, "vfat", true);
    const FakeMounts disk(root, "ext4", false);
    const FakeMounts cd(root, "iso9660", false);

    EXPECT_FALSE(IsCameraDrive(card.path(), false, usb)); // empty card
    QDir().mkpath(root + "DCIM/100CANON");
    EXPECT_TRUE(IsCameraDrive(card.path(), false, usb));
    EXPECT_TRUE(IsCameraDrive(root, false, usb));
    EXPECT_FALSE(IsCameraDrive(root + "DCIM", false, usb)); // below the root
    EXPECT_FALSE(IsCameraDrive(card.path(), false, disk));
    EXPECT_FALSE(IsCameraDrive(card.path(), false, cd));
    EXPECT_TRUE(IsCameraDrive(card.path(), true, cd));
    EXPECT_FALSE(IsCameraDrive("/no/such/card", false, usb));

    // Reached through a link (a linked media folder, a link in the home).
    QTemporaryDir links;
    ASSERT_TRUE(QFile::link(card.path(), links.filePath("card")));
    ASSERT_TRUE(QFile::link(root + "DCIM", links.filePath("dcim")));
    EXPECT_TRUE(IsCameraDrive(links.filePath("card"), false, usb));
    EXPECT_FALSE(IsCameraDrive(links.filePath("dcim"), false, usb)); // still below the root
}

TEST(CameraDrive, ACardMountedUnderTheNameDcimIsJudgedByWhatItHolds) {
    QTemporaryDir media;
    const QString root = media.path() + "/DCIM/";
    ASSERT_TRUE(QDir().mkpath(root));
    const FakeMounts usb(root, "vfat", true);
    touch(root + "docs/a.txt");
    EXPECT_FALSE(IsCameraDrive(root, false, usb));
    QDir().mkpath(root + "sub/dcim");
    EXPECT_TRUE(IsCameraDrive(root, false, usb));
}

TEST(CameraDrive, CountsJpegsAgainstOtherFiles) {
    QTemporaryDir card;
    const QString root = card.path() + "/";
    const FakeMounts usb(root, "vfat", true);
    touch(root + "a.jpg");
    touch(root + "pics/b.JPEG");
    touch(root + "c.txt");
    touch(root + "d.mov");
    touch(root + "e.thm");
    EXPECT_FALSE(IsCameraDrive(root, false, usb)); // 2 JPEG against 3 others
    touch(root + "pics/f.jpe");
    EXPECT_TRUE(IsCameraDrive(root, false, usb)); // 3 against 3
    // Hidden folders are not looked into.
    touch(root + ".trash/1.txt");
    touch(root + ".trash/2.txt");
    EXPECT_TRUE(IsCameraDrive(root, false, usb));
}

TEST(CameraDrive, ScanStopsAfterAHundredFolders) {
    QTemporaryDir card;
    const QString root = card.path() + "/";
    const FakeMounts usb(root, "vfat", true);
    for (int i = 0; i < 150; ++i)
        QDir().mkpath(root + QStringLiteral("f%1").arg(i, 3, 10, QLatin1Char('0')));
    EXPECT_FALSE(IsCameraDrive(root, false, usb));
    // Past the limit a JPEG is no longer seen.
    touch(root + "f149/late.jpg");
    QDir().mkpath(root + "zz/DCIM");
    EXPECT_FALSE(IsCameraDrive(root, false, usb));
}

TEST(CameraParameter, Switches) {
    struct Case {
        const char* first;
        const char* second;
        bool useApp;
        bool handled;
        const char* drive;
        bool settings;
    };
    const Case cases[] = {
        {"/SETTINGS", "", true, true, "", false},
        {"/camoff", "", true, true, "", false},
        {"/CAM:E", "", true, true, "E", false},
        {"/cam:f", "settings", true, true, "f", true},
        {"/CAM:G", "SETTINGS", false, true, "", false},
        {"  /CAM:H  ", "x", true, true, "H", false},
        {"/CAM:", "", true, true, "", false},
        {"/picture.jpg", "", true, false, "", false},
        {"", "", true, false, "", false},
    };
    for (const auto& c : cases) {
        PendingCamera pending;
        EXPECT_EQ(CameraParameter(c.first, c.second, c.useApp, &pending), c.handled) << c.first;
        EXPECT_EQ(pending.drive, QString::fromLatin1(c.drive)) << c.first;
        EXPECT_EQ(pending.settings, c.settings) << c.first;
    }
}

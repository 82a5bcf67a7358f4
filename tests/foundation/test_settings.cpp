#include <gtest/gtest.h>

#include "foundation/SettingsFile.h"
#include "foundation/SettingsStore.h"
#include "support/ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace palvo;

namespace {

QString keyPath(const QString& name = QStringLiteral("Palvo Sender")) {
    return SettingsFile::pathFor(name);
}

void writeKey(const QByteArray& content, const QString& name = QStringLiteral("Palvo Sender")) {
    QDir().mkpath(QFileInfo(keyPath(name)).absolutePath());
    QFile f(keyPath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray readKey(const QString& name = QStringLiteral("Palvo Sender")) {
    QFile f(keyPath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList keyNames(const QByteArray& content) {
    QStringList names;
    for (const QByteArray& line : content.split('\n'))
        if (!line.isEmpty())
            names << QString::fromUtf8(line.left(line.indexOf('=')));
    return names;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(keyPath());
        env.screen = QSize(1280, 1024);
        env.picturesFolder = pictures.path() + "/";
    }
    QTemporaryDir pictures;
    SettingsEnvironment env;
    test::ScriptedMessages messages;
};

} // namespace

TEST_F(SettingsTest, KeyLivesInTheUsersConfigFolder) {
    EXPECT_EQ(keyPath(), QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                             "/Palvo/Palvo Sender.ini");
    EXPECT_TRUE(keyPath().startsWith(qEnvironmentVariable("HOME")));
    // A program name can't lead out of the folder.
    EXPECT_TRUE(SettingsFile::pathFor("../../evil").endsWith("/Palvo/.._.._evil.ini"));
}

TEST_F(SettingsTest, FirstRunGivesDefaultsAndRepairsTheCameraSwitch) {
    Settings s;
    ReadSettings(s, env);
    EXPECT_TRUE(messages.shown.isEmpty());
    const Settings d;
    EXPECT_EQ(s.MinCheckDaysInterval, 14);
    EXPECT_EQ(s.PalvoBackgroundColor, 0);
    EXPECT_EQ(s.DefaultFontColor, 255);
    EXPECT_EQ(s.AlwaysUseJPEGComp, 90);
    EXPECT_EQ(s.FileNameMethod, 2);
    EXPECT_EQ(s.DefaultCropRatio, 60);
    EXPECT_EQ(s.StartUpDirectory, env.picturesFolder);
    EXPECT_EQ(s.SPWidth, 950);
    EXPECT_EQ(s.SPHeight, 690);
    EXPECT_EQ(s.SPLeft, 0);
    EXPECT_EQ(s.SPTop, 0);
    EXPECT_FALSE(s.SPMax);
    EXPECT_EQ(s.WPanel, kTwoColumnGridWidth);
    EXPECT_TRUE(s.UseAppforCamera);
    // The key was created and the camera switch written.
    EXPECT_EQ(readKey(), "UseAppforCamera=True\n");

    ASSERT_TRUE(writereg(s, QString()));
    const QStringList names = keyNames(readKey());
    QStringList expected{"UseAppforCamera"};
    for (const auto& [name, text] : SettingsTexts(s))
        expected << name;
    EXPECT_EQ(names, expected);
    EXPECT_EQ(names.size(), 45);
    EXPECT_TRUE(readKey().contains("\nAppVersion=Palvo Sender v1.04\n"));
    EXPECT_TRUE(readKey().contains("\nOptions=\n"));
    EXPECT_TRUE(readKey().contains("\nPalvoBackgroundColor=clBlack\n"));
    EXPECT_TRUE(readKey().contains("\nDefaultFontColor=clRed\n"));
}

TEST_F(SettingsTest, ValuesRoundTripThroughTheirTextForms) {
    Settings s;
    s.PalvoBackgroundColor = 0x123456;
    s.DefaultFontText = "Happy\nBirthday \\ 2024";
    s.DefaultFontName = "  Tahoma  ";
    s.QuickFixBeforeUpload = true;
    s.FolderNameMethod = -3;
    s.DisplayQuality = 7;
    s.StartUpDirectory = pictures.path() + "/";
    ASSERT_TRUE(writereg(s, QString()));
    Settings r;
    ReadSettings(r, env);
    EXPECT_EQ(r.PalvoBackgroundColor, 0x123456);
    EXPECT_EQ(r.DefaultFontText, s.DefaultFontText);
    EXPECT_EQ(r.DefaultFontName, s.DefaultFontName);
    EXPECT_TRUE(r.QuickFixBeforeUpload);
    EXPECT_EQ(r.FolderNameMethod, -3);
    EXPECT_EQ(r.DisplayQuality, 7);
    EXPECT_EQ(SettingsTexts(r), SettingsTexts(s));
}

TEST_F(SettingsTest, UnreadableTextsTakeTheirDefaults) {
    writeKey("Shrink=yes\nShowStartUp=FALSE\nHideFileExtensions=true\nDefaultFontSize=big\n"
             "PalvoBackgroundColor=clNoSuch\nDefaultFontColor=$00FF0000\nAlwaysUseJPEGComp=300\n"
             "PalvoSave=65537\nStartUpDirectory=/no/such/folder\nUseAppforCamera=FALSE\n");
    Settings s;
    ReadSettings(s, env);
    EXPECT_TRUE(s.Shrink);
    EXPECT_FALSE(s.ShowStartUp);
    EXPECT_TRUE(s.HideFileExtensions);
    EXPECT_EQ(s.DefaultFontSize, 24);
    EXPECT_EQ(s.PalvoBackgroundColor, 0);
    EXPECT_EQ(s.DefaultFontColor, 0xFF0000);
    EXPECT_EQ(s.AlwaysUseJPEGComp, 300 & 0xFF);
    EXPECT_EQ(s.PalvoSave, 1);
    EXPECT_EQ(s.StartUpDirectory, env.picturesFolder);
    EXPECT_FALSE(s.UseAppforCamera);
    EXPECT_FALSE(readKey().contains("UseAppforCamera=True"));
}

TEST_F(SettingsTest, CameraSwitchThatIsNotABooleanIsRepaired) {
    writeKey("UseAppforCamera=1\n");
    Settings s;
    ReadSettings(s, env);
    EXPECT_TRUE(s.UseAppforCamera);
    EXPECT_EQ(readKey(), "UseAppforCamera=True\n");
}

TEST(WindowPosition, StrictReadingAndCorrections) {
    struct Case {
        const char* name;
        QMap<QString, QString> values;
        QSize screen;
        WindowPosition expected;
    };
    const QMap<QString, QString> good{{"SPHeight", "500"},
                                      {"SPLeft", "30"},
                                      {"SPWidth", "700"},
                                      {"SPMax", "True"},
                                      {"SPTop", "40"}};
    auto with = [&](const QString& k, const QString& v) {
        auto m = good;
        m[k] = v;
        return m;
    };
    auto without = [&](const QString& k) {
        auto m = good;
        m.remove(k);
        return m;
    };
    const QSize big(1024, 768), small(800, 600);
    const Case cases[] = {
        {"all good", good, big, {500, 700, 30, 40, true}},
        {"top beyond screen", with("SPTop", "2000"), big, {500, 700, 30, 14, true}},
        {"height too small", with("SPHeight", "99"), big, {460, 700, 30, 40, true}},
        {"height above screen", with("SPHeight", "769"), big, {460, 700, 30, 40, true}},
        {"left negative", with("SPLeft", "-1"), big, {500, 700, 20, 40, true}},
        {"left beyond", with("SPLeft", "925"), big, {500, 700, 20, 40, true}},
        {"left at limit", with("SPLeft", "924"), big, {500, 700, 924, 40, true}},
        {"width too small", with("SPWidth", "149"), big, {500, 624, 30, 40, true}},
        {"width above screen", with("SPWidth", "1025"), big, {500, 624, 30, 40, true}},
        {"top negative", with("SPTop", "-5"), big, {500, 700, 30, 14, true}},
        {"first run", {}, big, {690, 950, 0, 0, false}},
        {"width not a number", with("SPWidth", "abc"), big, {690, 950, 30, 0, false}},
        {"height not a number", with("SPHeight", "1e3"), big, {690, 950, 0, 0, false}},
        {"top missing", without("SPTop"), big, {690, 950, 30, 0, false}},
        {"small screen first run", {}, small, {450, 630, 85, 75, true}},
        {"small screen bad width", with("SPWidth", "x"), small, {450, 630, 85, 75, true}},
        {"tiny screen", {}, QSize(640, 481), {450, 630, 5, 15, true}},
    };
    for (const auto& c : cases) {
        const auto pos = ReadWindowPosition(
            [&](const QString& name) -> std::optional<QString> {
                if (!c.values.contains(name))
                    return std::nullopt;
                return c.values.value(name);
            },
            c.screen);
        EXPECT_EQ(pos.height, c.expected.height) << c.name;
        EXPECT_EQ(pos.width, c.expected.width) << c.name;
        EXPECT_EQ(pos.left, c.expected.left) << c.name;
        EXPECT_EQ(pos.top, c.expected.top) << c.name;
        EXPECT_EQ(pos.maximised, c.expected.maximised) << c.name;
    }
}

TEST_F(SettingsTest, StartUpDirectoryRememberedAtClose) {
    Settings s;
    ReadSettings(s, env);
    QTemporaryDir current;
    ASSERT_TRUE(writereg(s, current.path() + "/"));
    EXPECT_EQ(s.StartUpDirectory, current.path() + "/");
    Settings off;
    off.StartUpDirectorySaveLast = false;
    off.StartUpDirectory = "/keep/";
    ASSERT_TRUE(writereg(off, current.path() + "/"));
    EXPECT_EQ(off.StartUpDirectory, "/keep/");
    // An empty current folder leaves the value alone.
    Settings none;
    none.StartUpDirectory = "/keep/";
    ASSERT_TRUE(writereg(none, QString()));
    EXPECT_EQ(none.StartUpDirectory, "/keep/");
}

TEST_F(SettingsTest, ApplicationNameReadsDefaultKeyAndWritesItsOwn) {
    QFile::remove(keyPath("Grandma's Frame"));
    writeKey("ApplicationName=Grandma's Frame\nShrink=False\n");
    Settings s;
    ReadSettings(s, env);
    EXPECT_EQ(s.programName(), "Grandma's Frame");
    EXPECT_FALSE(s.Shrink);
    ASSERT_TRUE(writereg(s, QString()));
    const QByteArray other = readKey("Grandma's Frame");
    EXPECT_TRUE(other.contains("AppVersion=Grandma's Frame v1.04\n"));
    EXPECT_TRUE(other.contains("Shrink=False\n"));
    // The default key is left as it was.
    EXPECT_FALSE(readKey().contains("AppVersion"));
}

TEST_F(SettingsTest, CorruptFileGivesDefaultsAndIsKeptAside) {
    const QByteArray garbage("\xff\xfe\x00garbage without equals\nShrink=False\n", 40);
    writeKey(garbage);
    Settings s;
    ReadSettings(s, env);
    EXPECT_FALSE(s.Shrink); // the readable line still counts
    EXPECT_TRUE(messages.shown.isEmpty());
    QFile aside(keyPath() + ".corrupt");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage);
    ASSERT_TRUE(writereg(s, QString()));
    EXPECT_TRUE(readKey().contains("Shrink=False\n"));
}

TEST_F(SettingsTest, UnreadableFileIsNeverOverwritten) {
    // A key that exists but can't be read: without read permission, or (for
    // the administrator, whom permissions don't stop) a folder in its place.
    const bool root = geteuid() == 0;
    if (root) {
        QDir().mkpath(keyPath());
    } else {
        writeKey("Shrink=False\n");
        QFile::setPermissions(keyPath(), QFileDevice::WriteOwner);
    }
    Settings s;
    ReadSettings(s, env);
    ASSERT_EQ(messages.texts(), QStringList{"Error encountered opening your registry file."});
    EXPECT_TRUE(s.Shrink);
    EXPECT_FALSE(writereg(s, QString()));
    EXPECT_EQ(messages.texts().last(), "Registry Update Failed, using defaults");
    if (root) {
        EXPECT_TRUE(QFileInfo(keyPath()).isDir());
        QDir(keyPath()).removeRecursively();
    } else {
        QFile::setPermissions(keyPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(readKey(), "Shrink=False\n");
    }
}

TEST_F(SettingsTest, ResetDeletesTheKeyAndSingleValuesWriteOrDelete) {
    WriteRegValue("Palvo Sender", "UseAppforCamera", "False");
    EXPECT_EQ(ReadRegValue("Palvo Sender", "useappforcamera"), "False");
    WriteRegValue("Palvo Sender", "UseAppforCamera", "");
    EXPECT_EQ(ReadRegValue("Palvo Sender", "UseAppforCamera"), "");
    EXPECT_TRUE(QFile::exists(keyPath()));
    EXPECT_TRUE(resetregistry("Palvo Sender"));
    EXPECT_FALSE(QFile::exists(keyPath()));
    EXPECT_TRUE(resetregistry("Palvo Sender"));
}

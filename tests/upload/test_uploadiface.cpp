#include <gtest/gtest.h>

#include "support/ScriptedMessages.h"
#include "upload/Uploadiface.h"

#include <QFile>
#include <QTemporaryDir>

using namespace palvo;

namespace {
QStringList recorded(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}
const QString kLoadError = "An error was encountered loading the DLL, libQUpload.so.";
} // namespace

TEST(Uploadiface, MissingLibraryReportsAndRetriesOnEveryCall) {
    test::ScriptedMessages messages;
    Uploadiface lib("/no/such/folder/libQUpload.so");
    EXPECT_EQ(lib.CheckForUpdate(nullptr, "Palvo Sender", "1.0.4.3", false), -9);
    EXPECT_EQ(lib.UploadImagesToServer(nullptr, "Palvo Sender", "1.0.4.3", "upload",
                                       "Upload Images to Palvo", {"a.jpg"}, 0, 0, {"640"}, {"480"}),
              static_cast<std::int16_t>(0xFFF7));
    EXPECT_FALSE(lib.DownloadInternetFile(nullptr, "http://x/", "/tmp/x"));
    lib.PromptForProxySettings(nullptr);
    EXPECT_FALSE(lib.isLoaded());
    EXPECT_EQ(messages.texts(), QStringList(4, kLoadError));
}

TEST(Uploadiface, LibraryWithoutAnEntryPointIsNotKept) {
    test::ScriptedMessages messages;
    Uploadiface lib(PALVO_RECORDING_NO_PROXY_LIB);
    EXPECT_EQ(lib.CheckForUpdate(nullptr, "Palvo Sender", "1.0.4.3", true), -9);
    EXPECT_FALSE(lib.isLoaded());
    EXPECT_EQ(messages.texts(), QStringList{kLoadError});
}

TEST(Uploadiface, HandsTheArgumentsInOrder) {
    QTemporaryDir dir;
    const QString record = dir.path() + "/record.txt";
    qputenv("PALVO_RECORD_FILE", record.toUtf8());
    test::ScriptedMessages messages;
    {
        Uploadiface lib(PALVO_RECORDING_LIB);
        EXPECT_EQ(lib.CheckForUpdate(nullptr, "Palvo Sender", "1.0.4.3", false), 9);
        EXPECT_TRUE(lib.isLoaded());
        EXPECT_EQ(lib.UploadImagesToServer(nullptr, "Palvo Sender", "1.0.4.3", "upload",
                                           "Upload Images to Palvo", {"/tmp/a b.jpg", "/tmp/ü.jpg"},
                                           0, 0, {"640", "480"}, {"480", "360"}),
                  2);
        EXPECT_TRUE(lib.DownloadInternetFile(nullptr, "http://h/x.zip", "/tmp/x.zip"));
        lib.PromptForProxySettings(nullptr);
        lib.release();
        EXPECT_FALSE(lib.isLoaded());
    }
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(
        recorded(record),
        (QStringList{"CheckForUpdate Palvo Sender 1.0.4.3 0",
                     "UploadImagesToServer Palvo Sender;1.0.4.3;upload;Upload Images to "
                     "Palvo;/tmp/a b.jpg|/tmp/ü.jpg|;0;0;640|480|;480|360|",
                     "DownloadInternetFile http://h/x.zip /tmp/x.zip", "PromptForProxySettings"}));
}

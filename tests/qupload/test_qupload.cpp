// The upload library as the program uses it: libQUpload.so loaded with
// dlopen from the program folder, talking to the real palvo-service.
#include "qupload/DialogDriver.h"
#include "service/ServiceProcess.h"

#include <QUploadApi.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using palvo::testing::DialogDriver;
using palvo::testing::makeJpeg;
using palvo::testing::ServiceProcess;

namespace {

// The four entry points, resolved by name as the program's binding does.
struct Library {
    QUploadCheckForUpdateFn checkForUpdate = nullptr;
    QUploadPromptForProxySettingsFn promptForProxySettings = nullptr;
    QUploadUploadImagesToServerFn uploadImagesToServer = nullptr;
    QUploadDownloadInternetFileFn downloadInternetFile = nullptr;

    static const Library& get() {
        static const Library lib = [] {
            Library l;
            void* h = dlopen(PALVO_PROGRAM_DIR "/" QUPLOAD_LIBRARY_NAME, RTLD_NOW | RTLD_LOCAL);
            if (!h)
                return l;
            l.checkForUpdate =
                reinterpret_cast<QUploadCheckForUpdateFn>(dlsym(h, "CheckForUpdate"));
            l.promptForProxySettings = reinterpret_cast<QUploadPromptForProxySettingsFn>(
                dlsym(h, "PromptForProxySettings"));
            l.uploadImagesToServer =
                reinterpret_cast<QUploadUploadImagesToServerFn>(dlsym(h, "UploadImagesToServer"));
            l.downloadInternetFile =
                reinterpret_cast<QUploadDownloadInternetFileFn>(dlsym(h, "DownloadInternetFile"));
            return l;
        }();
        return lib;
    }
};

// NULL-terminated C lists that live as long as this object.
struct CList {
    explicit CList(const QStringList& items) {
        for (const QString& s : items)
            bytes.push_back(s.toUtf8());
        for (const QByteArray& b : bytes)
            pointers.push_back(b.constData());
        pointers.push_back(nullptr);
    }
    const char* const* get() const { return pointers.data(); }
    std::vector<QByteArray> bytes;
    std::vector<const char*> pointers;
};

// A loopback HTTP endpoint that gives every request the same raw answer and
// keeps what it was asked (a proxy, or a server that redirects).
class FixedResponder {
public:
    explicit FixedResponder(QByteArray answer) : m_answer(std::move(answer)) {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = m_server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                requests << s->readAll();
                s->write(m_answer);
                s->disconnectFromHost();
            });
        });
    }
    int port() const { return m_server.serverPort(); }
    QByteArrayList requests;

private:
    QByteArray m_answer;
    QTcpServer m_server;
};

class QUploadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        ASSERT_NE(lib().uploadImagesToServer, nullptr) << dlerror();
        ASSERT_NE(lib().checkForUpdate, nullptr);
        ASSERT_NE(lib().promptForProxySettings, nullptr);
        ASSERT_NE(lib().downloadInternetFile, nullptr);
        service = std::make_unique<ServiceProcess>(tmp.path() + "/data",
                                                   QStringList{"--account", "demo:secret"});
        ASSERT_TRUE(service->start());
        ASSERT_TRUE(QDir().mkpath(tmp.path() + "/prepared"));
        configPath = tmp.path() + "/QUpload.dat";
        qputenv("QUPLOAD_CONFIG", QFile::encodeName(configPath));
        writeConfig(service->url());
    }
    void TearDown() override { qunsetenv("QUPLOAD_CONFIG"); }

    static const Library& lib() { return Library::get(); }

    void writeConfig(const QString& server, const QString& extra = QString()) {
        QFile f(configPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(
            QString("[General]\r\nWEBSITE_SIGNUP=%1/signup\r\n[Palvo]\r\nPALVO_MAX_WIDTH=640\r\n"
                    "[Service]\r\nSERVER=%1\r\nRETRIES=1\r\nRETRY_DELAY_MS=50\r\n"
                    "CONNECT_TIMEOUT=5\r\n%2")
                .arg(server, extra)
                .toUtf8());
    }

    QString prepare(const QString& name, const QByteArray& jpeg) {
        const QString path = tmp.path() + "/prepared/" + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(jpeg);
        return path;
    }

    // Without sizes, each file's own size is passed, as the program does.
    int upload(const QStringList& files, QStringList widths = {}, QStringList heights = {}) {
        if (widths.isEmpty() && heights.isEmpty()) {
            for (const QString& file : files) {
                const QSize size = QImageReader(file).size();
                widths << QString::number(size.isValid() ? size.width() : 640);
                heights << QString::number(size.isValid() ? size.height() : 480);
            }
        }
        const CList f(files), w(widths), h(heights);
        return lib().uploadImagesToServer(nullptr, "Palvo Sender", "1.0.4.3", "upload",
                                          "Upload Images to Palvo", f.get(), 0, 0, w.get(),
                                          h.get());
    }

    // The frame's pictures as the service keeps them.
    QJsonArray stored() {
        const QStringList frames =
            QDir(tmp.path() + "/data/frames").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (frames.size() != 1)
            return {};
        QFile f(tmp.path() + "/data/frames/" + frames.first() + "/frame.json");
        f.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(f.readAll()).object()["pictures"].toArray();
    }
    QByteArray storedBytes(const QJsonObject& picture) {
        const QStringList frames =
            QDir(tmp.path() + "/data/frames").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QFile f(tmp.path() + "/data/frames/" + frames.first() + "/" + picture["file"].toString());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    QTemporaryDir tmp;
    std::unique_ptr<ServiceProcess> service;
    QString configPath;
    DialogDriver driver;
};

TEST_F(QUploadTest, UploadsThreePicturesInOrderAndRemembersTheSignIn) {
    driver.signIns = {{"demo", "secret"}};
    const QList<QByteArray> jpegs{makeJpeg(640, 480, 80, false, 1),
                                  makeJpeg(640, 480, 80, false, 2),
                                  makeJpeg(400, 480, 80, false, 3)};
    const QStringList files{prepare("Beach.jpg", jpegs[0]), prepare("Garden.jpg", jpegs[1]),
                            prepare("Aunt Mia.jpg", jpegs[2])};
    EXPECT_EQ(upload(files, {"640", "640", "400"}, {"480", "480", "480"}), 3);
    EXPECT_EQ(driver.signInShown, 1);
    EXPECT_EQ(driver.messages, QStringList{"3 picture(s) were sent to your Palvo frame."});

    const QJsonArray pictures = stored();
    ASSERT_EQ(pictures.size(), 3);
    const QStringList names{"Beach.jpg", "Garden.jpg", "Aunt Mia.jpg"};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject p = pictures[i].toObject();
        EXPECT_EQ(p["name"].toString(), names[i]);
        EXPECT_EQ(p["size"].toInteger(), jpegs[i].size());
        EXPECT_EQ(storedBytes(p), jpegs[i]);
    }
    EXPECT_EQ(pictures[2].toObject()["width"].toInt(), 400);

    // The token is kept for the user only, and the next run needs no sign-in.
    const QString state = QDir::homePath() + "/.config/Palvo/QUpload.json";
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(state).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    driver.messages.clear();
    EXPECT_EQ(upload({prepare("Dog.jpg", makeJpeg(300, 200))}), 1);
    EXPECT_EQ(driver.signInShown, 1);
    EXPECT_EQ(stored().size(), 4);

    // A token the service no longer knows leads to a new sign-in.
    service->stop();
    QDir(tmp.path() + "/data").removeRecursively();
    ASSERT_TRUE(service->start()); // a fresh service on a new port with the same account
    writeConfig(service->url());
    EXPECT_EQ(upload({prepare("Cat.jpg", makeJpeg(300, 200, 80, false, 9))}), 1);
    EXPECT_EQ(driver.signInShown, 2);
}

TEST_F(QUploadTest, WrongPasswordOrCancelledSignIn) {
    driver.signIns = {{"demo", "wrong"}};
    const QStringList files{prepare("a.jpg", makeJpeg(100, 100))};
    EXPECT_EQ(upload(files), QUPLOAD_ERR_SIGN_IN);
    EXPECT_EQ(driver.signInShown, 3);
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].contains("user name or password is not correct"))
        << driver.messages[0].toStdString();

    driver.reset(); // no credentials: the window is cancelled
    EXPECT_EQ(upload(files), QUPLOAD_ERR_CANCELLED);
    EXPECT_EQ(driver.signInShown, 1);
    EXPECT_TRUE(driver.messages.isEmpty()) << driver.messages.join("|").toStdString();
    EXPECT_EQ(stored().size(), 0);
}

TEST_F(QUploadTest, PictureOverTheCapIsReportedOnceByNameAndReason) {
    driver.signIns = {{"demo", "secret"}};
    const QByteArray big = makeJpeg(640, 480, 100, true);
    ASSERT_GT(big.size(), 65499);
    const QStringList files{
        prepare("one.jpg", makeJpeg(200, 100, 80, false, 1)), prepare("<b>huge.jpg", big),
        prepare("two.jpg", makeJpeg(200, 100, 80, false, 2)), tmp.path() + "/prepared/missing.jpg"};
    EXPECT_EQ(upload(files), 2);
    ASSERT_EQ(driver.messages.size(), 1) << driver.messages.join("|").toStdString();
    const QString m = driver.messages[0];
    EXPECT_EQ(m.count("<b>huge.jpg"), 1);
    EXPECT_EQ(driver.plainText, QList<bool>{true}); // a name is never taken for markup
    EXPECT_TRUE(m.contains("at most 65499 bytes")) << m.toStdString();
    EXPECT_EQ(m.count("missing.jpg"), 1);
    EXPECT_FALSE(m.contains("one.jpg"));
    ASSERT_EQ(stored().size(), 2);
    EXPECT_EQ(stored()[1].toObject()["name"].toString(), "two.jpg");

    driver.messages.clear();
    EXPECT_EQ(upload({prepare("huge2.jpg", big)}), QUPLOAD_ERR_REJECTED);
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].contains("huge2.jpg"));
}

TEST_F(QUploadTest, StoppedServiceAndSilentServerAreNetworkFailures) {
    driver.signIns = {{"demo", "secret"}};
    const QStringList files{prepare("a.jpg", makeJpeg(100, 100))};
    service->stop();
    QStringList statuses;
    driver.onProgress = [&](QWidget* w) {
        const QString text = w->findChild<QLabel*>("lblStatus")->text();
        if (statuses.isEmpty() || statuses.last() != text)
            statuses << text;
    };
    EXPECT_EQ(upload(files), QUPLOAD_ERR_NETWORK);
    ASSERT_FALSE(statuses.isEmpty());
    EXPECT_TRUE(statuses.last().startsWith("The Palvo service did not answer"))
        << statuses.last().toStdString();
    EXPECT_TRUE(statuses.last().contains("attempt 2 of 2")) << statuses.last().toStdString();
    driver.onProgress = nullptr;
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].contains("could not be reached"));
    EXPECT_TRUE(QFile::exists(files[0])); // the caller's file is left to the caller

    // A server that accepts connections and never answers.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(s, 16), 0);
    socklen_t len = sizeof addr;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    writeConfig(QString("http://127.0.0.1:%1").arg(ntohs(addr.sin_port)),
                "STALL_TIMEOUT=1\r\nREQUEST_TIMEOUT=2\r\n");
    driver.messages.clear();
    EXPECT_EQ(upload(files), QUPLOAD_ERR_NETWORK);
    EXPECT_EQ(driver.signInShown, 2);
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].contains("could not be reached"));
    ::close(s);
}

TEST_F(QUploadTest, CancelDuringTheThirdFileKeepsTheFirstTwoAndARepeatAddsOnlyTheThird) {
    driver.signIns = {{"demo", "secret"}};
    QStringList files;
    for (int i = 0; i < 3; ++i)
        files << prepare(QString("p%1.jpg").arg(i), makeJpeg(300, 200, 90, true, quint32(i + 1)));
    const qint64 size = QFileInfo(files[0]).size();
    ASSERT_GT(size, 40000); // more than two of the throttled transfer's 16 KB steps
    ASSERT_LT(size, 65499);
    // About a second per file.
    writeConfig(service->url(), QString("MAX_SEND_SPEED=%1\r\n").arg(size));
    // The program's idle work may call in while the library's windows are up:
    // an update offer or a second upload does not stack on the running one.
    QFile m(tmp.path() + "/data/update.json");
    ASSERT_TRUE(m.open(QIODevice::WriteOnly));
    m.write(R"({"version":"9.0","url":"http://127.0.0.1/setup.run"})");
    m.close();
    QList<int> nested;
    bool clicked = false;
    driver.onProgress = [&](QWidget* w) {
        if (nested.isEmpty())
            nested << lib().checkForUpdate(nullptr, "Palvo Sender", "1.0.4.3", 0) << upload(files);
        if (!clicked && w->findChild<QLabel*>("lblStatus")->text().contains("picture 3 of 3")) {
            clicked = true;
            w->findChild<QPushButton*>("btnCancel")->click();
        }
    };
    EXPECT_EQ(upload(files), QUPLOAD_ERR_CANCELLED);
    EXPECT_TRUE(clicked);
    ASSERT_EQ(stored().size(), 2);
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].contains("2 of 3 pictures had already reached"));

    EXPECT_EQ(nested, (QList<int>{0, QUPLOAD_ERR_INTERNAL}));

    driver.onProgress = nullptr;
    driver.messages.clear();
    writeConfig(service->url());
    EXPECT_EQ(upload(files), 3);
    EXPECT_EQ(driver.messages, QStringList{"3 picture(s) were sent to your Palvo frame."});
    const QJsonArray pictures = stored();
    ASSERT_EQ(pictures.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pictures[i].toObject()["name"].toString(), QString("p%1.jpg").arg(i));
}

TEST_F(QUploadTest, ArgumentsAndConfigurationAreChecked) {
    const QString a = prepare("a.jpg", makeJpeg(100, 100));
    EXPECT_EQ(upload({}), QUPLOAD_ERR_NO_FILES);
    EXPECT_EQ(upload({a}, {"640", "640"}, {"480"}), QUPLOAD_ERR_BAD_ARGUMENTS);
    EXPECT_EQ(upload({a}, {"abc"}, {"480"}), QUPLOAD_ERR_BAD_ARGUMENTS);
    EXPECT_EQ(upload({a}, {"0"}, {"480"}), QUPLOAD_ERR_BAD_ARGUMENTS);
    const char* none[] = {nullptr};
    EXPECT_EQ(lib().uploadImagesToServer(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0,
                                         none, none),
              QUPLOAD_ERR_NO_FILES);
    EXPECT_TRUE(driver.messages.isEmpty());
    for (const char* server : {"", "ftp://127.0.0.1/", "not an address"}) {
        writeConfig(server);
        driver.messages.clear();
        EXPECT_EQ(upload({a}), QUPLOAD_ERR_CONFIG) << server;
        ASSERT_EQ(driver.messages.size(), 1);
        EXPECT_TRUE(driver.messages[0].contains("SERVER"));
    }
    EXPECT_EQ(driver.signInShown, 0);
}

TEST_F(QUploadTest, DownloadsWholeFilesOnly) {
    const auto download = [&](const QString& address, const QString& target) {
        return lib().downloadInternetFile(nullptr, address.toUtf8().constData(),
                                          QFile::encodeName(target).constData());
    };
    ASSERT_TRUE(QDir().mkpath(tmp.path() + "/data/static/Stationery"));
    const QByteArray card = makeJpeg(300, 200, 90, true);
    QFile f(tmp.path() + "/data/static/Stationery/Blue Sky.jpg");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(card);
    f.close();
    const QString url = service->url() + "/static/Stationery/Blue%20Sky.jpg";
    const QString folder = tmp.path() + "/Stationery";
    ASSERT_TRUE(QDir().mkpath(folder));
    auto entries = [&] {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    };

    EXPECT_EQ(download(url, folder + "/Blue Sky.jpg"), 1);
    QFile got(folder + "/Blue Sky.jpg");
    ASSERT_TRUE(got.open(QIODevice::ReadOnly));
    EXPECT_EQ(got.readAll(), card);
    got.close();
    // An address as a catalogue may write it, with a blank in the file name.
    EXPECT_EQ(
        download(service->url() + "/static/Stationery/Blue Sky.jpg", folder + "/Blue Sky.jpg"), 1);

    // A failed fetch leaves an existing target as it was and nothing beside it.
    EXPECT_EQ(download(service->url() + "/static/Stationery/none.jpg", folder + "/Blue Sky.jpg"),
              0);
    EXPECT_EQ(QFileInfo(folder + "/Blue Sky.jpg").size(), card.size());
    EXPECT_EQ(download(service->url() + "/static/Stationery/none.jpg", folder + "/new.jpg"), 0);
    writeConfig(service->url(), "DOWNLOAD_MAX_BYTES=4000\r\n");
    EXPECT_EQ(download(url, folder + "/limited.jpg"), 0);
    writeConfig(service->url());
    EXPECT_EQ(download("file:///etc/passwd", folder + "/passwd"), 0);
    EXPECT_EQ(download("ftp://127.0.0.1/x", folder + "/x"), 0);
    EXPECT_EQ(download(url, tmp.path() + "/no such folder/x.jpg"), 0);
    EXPECT_EQ(download(url, folder), 0);
    EXPECT_EQ(entries(), QStringList{"Blue Sky.jpg"});

    // Redirects are followed to http(s) addresses only.
    FixedResponder redirect("HTTP/1.1 302 Found\r\nLocation: " + url.toLatin1() +
                            "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(
        download(QString("http://127.0.0.1:%1/card").arg(redirect.port()), folder + "/moved.jpg"),
        1);
    EXPECT_EQ(QFileInfo(folder + "/moved.jpg").size(), card.size());
    FixedResponder toFile("HTTP/1.1 302 Found\r\nLocation: file:///etc/passwd\r\n"
                          "Content-Length: 0\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(download(QString("http://127.0.0.1:%1/card").arg(toFile.port()), folder + "/passwd"),
              0);
    QFile::remove(folder + "/moved.jpg");
    EXPECT_EQ(entries(), QStringList{"Blue Sky.jpg"});

    // A symlink at the target is replaced, not followed.
    const QString victim = tmp.path() + "/victim.txt";
    QFile v(victim);
    ASSERT_TRUE(v.open(QIODevice::WriteOnly));
    v.write("keep me");
    v.close();
    ASSERT_TRUE(QFile::link(victim, folder + "/link.jpg"));
    EXPECT_EQ(download(url, folder + "/link.jpg"), 1);
    EXPECT_FALSE(QFileInfo(folder + "/link.jpg").isSymLink());
    EXPECT_EQ(QFileInfo(folder + "/link.jpg").size(), card.size());
    ASSERT_TRUE(v.open(QIODevice::ReadOnly));
    EXPECT_EQ(v.readAll(), QByteArray("keep me"));
}

// Records the addresses the library hands to the desktop.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(QUploadTest, UpdateCheck) {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("http", &recorder, "open");
    const auto check = [&](bool interactive) {
        return lib().checkForUpdate(nullptr, "Palvo Sender", "1.0.4.3", interactive ? 1 : 0);
    };
    EXPECT_EQ(check(false), 0);
    EXPECT_TRUE(driver.messages.isEmpty());
    EXPECT_EQ(check(true), 0);
    EXPECT_EQ(driver.messages, QStringList{"Palvo Sender is up to date (version 1.0.4.3)."});

    auto manifest = [&](const char* json) {
        QFile m(tmp.path() + "/data/update.json");
        ASSERT_TRUE(m.open(QIODevice::WriteOnly | QIODevice::Truncate));
        m.write(json);
    };
    manifest(R"({"version":"1.0.4.3","url":"http://127.0.0.1/x"})");
    driver.messages.clear();
    EXPECT_EQ(check(false), 0);
    EXPECT_TRUE(driver.messages.isEmpty());

    manifest(
        R"({"version":"1.0.10","url":"http://127.0.0.1/setup.run","notes":"Faster uploads.","mustExit":true})");
    driver.answerYes = false;
    driver.messages.clear();
    EXPECT_EQ(check(false), 0); // offered even to the automatic check, and declined
    ASSERT_EQ(driver.messages.size(), 1);
    EXPECT_TRUE(driver.messages[0].contains("version 1.0.10"));
    EXPECT_TRUE(driver.messages[0].contains("Faster uploads."));
    EXPECT_TRUE(recorder.urls.isEmpty());

    driver.answerYes = true;
    EXPECT_EQ(check(true), QUPLOAD_UPDATE_MUST_EXIT);
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_EQ(recorder.urls[0], QUrl("http://127.0.0.1/setup.run"));

    manifest(R"({"version":"2","url":"http://127.0.0.1/setup2.run","mustExit":false})");
    EXPECT_EQ(check(true), 1);
    EXPECT_EQ(recorder.urls.size(), 2);

    service->stop();
    driver.messages.clear();
    EXPECT_EQ(check(false), QUPLOAD_ERR_NETWORK);
    EXPECT_TRUE(driver.messages.isEmpty());
    EXPECT_EQ(check(true), QUPLOAD_ERR_NETWORK);
    EXPECT_EQ(driver.messages.size(), 1);
    QDesktopServices::unsetUrlHandler("http");
}

TEST_F(QUploadTest, ProxySettingsAreUsedByEveryTransfer) {
    // A proxy that answers every request itself.
    FixedResponder proxy("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nproxy");
    QByteArrayList& requests = proxy.requests;
    const auto choose = [&](const char* button, int port) {
        driver.onProxy = [=](QWidget* w) {
            w->findChild<QRadioButton*>(button)->setChecked(true);
            w->findChild<QLineEdit*>("edtHost")->setText("127.0.0.1");
            w->findChild<QSpinBox*>("spnPort")->setValue(port);
            w->findChild<QLineEdit*>("edtUser")->setText("u");
            w->findChild<QLineEdit*>("edtPassword")->setText("p");
            w->findChild<QPushButton*>("btnOK")->click();
        };
        lib().promptForProxySettings(nullptr);
    };
    const QString target = tmp.path() + "/got.txt";
    auto fetch = [&](const QString& address) {
        QFile::remove(target);
        if (!lib().downloadInternetFile(nullptr, address.toUtf8().constData(),
                                        QFile::encodeName(target).constData()))
            return QByteArray("failed");
        QFile f(target);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    QFile page(tmp.path() + "/data/static/page.txt");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("direct");
    page.close();

    choose("rbManualProxy", proxy.port());
    EXPECT_EQ(fetch("http://palvo.invalid/card.jpg"), "proxy");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_TRUE(requests[0].startsWith("GET http://palvo.invalid/card.jpg HTTP/1.1"));
    EXPECT_TRUE(requests[0].contains("Proxy-Authorization: Basic dTpw")); // u:p

    // No proxy ignores the environment's; the system's proxy follows it.
    qputenv("http_proxy", QString("http://127.0.0.1:%1").arg(proxy.port()).toLatin1());
    choose("rbNoProxy", 1);
    EXPECT_EQ(fetch(service->url() + "/static/page.txt"), "direct");
    EXPECT_EQ(requests.size(), 1);
    choose("rbSystemProxy", 1);
    EXPECT_EQ(fetch(service->url() + "/static/page.txt"), "proxy");
    EXPECT_EQ(requests.size(), 2);
    qunsetenv("http_proxy");

    // Cancel keeps the settings.
    driver.onProxy = [](QWidget* w) { w->findChild<QPushButton*>("btnCancel")->click(); };
    lib().promptForProxySettings(nullptr);
    qputenv("http_proxy", QString("http://127.0.0.1:%1").arg(proxy.port()).toLatin1());
    EXPECT_EQ(fetch(service->url() + "/static/page.txt"), "proxy");
    qunsetenv("http_proxy");
}

} // namespace

#include "test_qupload.moc"

// The reference Palvo service, run as its own process on a free loopback port.
#include "service/ServiceProcess.h"

#include "Store.h"

#include <httplib.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using palvo::testing::makeJpeg;
using palvo::testing::ServiceProcess;

namespace {

QJsonObject json(const httplib::Result& r) {
    return r ? QJsonDocument::fromJson(QByteArray::fromStdString(r->body)).object() : QJsonObject();
}

class ServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        service = std::make_unique<ServiceProcess>(tmp.path() + "/data",
                                                   QStringList{"--account", "demo:secret"});
        ASSERT_TRUE(service->start());
        client = std::make_unique<httplib::Client>("127.0.0.1", service->port());
        client->set_read_timeout(20, 0);
    }

    QString signIn(const char* password = "secret") {
        auto r =
            client->Post("/api/signin", httplib::Params{{"user", "demo"}, {"password", password}});
        return r && r->status == 200 ? json(r)["token"].toString() : QString();
    }

    httplib::Headers auth(const QString& token) {
        return {{"Authorization", "Bearer " + token.toStdString()}};
    }

    QString frameId(const QString& token) {
        auto r = client->Get("/api/account", auth(token));
        return json(r)["frames"].toArray().first().toObject()["id"].toString();
    }

    std::string picturesPath(const QString& frame) {
        return "/api/frames/" + frame.toStdString() + "/pictures";
    }

    httplib::Result upload(const QString& token, const QString& frame, const QByteArray& bytes,
                           const std::string& name) {
        httplib::MultipartFormDataItems items{{"picture", bytes.toStdString(), name, "image/jpeg"}};
        return client->Post(picturesPath(frame), auth(token), items);
    }

    QJsonArray listing(const QString& token, const QString& frame) {
        return json(client->Get(picturesPath(frame), auth(token)))["pictures"].toArray();
    }

    QTemporaryDir tmp;
    std::unique_ptr<ServiceProcess> service;
    std::unique_ptr<httplib::Client> client;
};

TEST_F(ServiceTest, StoresValidPicturesInOrderAndKeepsThemAcrossRestart) {
    EXPECT_TRUE(signIn("wrong").isEmpty());
    const QString token = signIn();
    ASSERT_FALSE(token.isEmpty());
    const QString frame = frameId(token);
    ASSERT_TRUE(palvo::service::validFrameId(frame));

    const QList<QByteArray> pictures{makeJpeg(640, 480, 80, false, 1),
                                     makeJpeg(320, 240, 80, false, 2),
                                     makeJpeg(480, 480, 80, false, 3)};
    for (int i = 0; i < 3; ++i) {
        auto r = upload(token, frame, pictures[i], "pic" + std::to_string(i) + ".jpg");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 201) << r->body;
        EXPECT_EQ(json(r)["index"].toInt(), i + 1);
    }
    // The same bytes again are acknowledged without a second copy.
    auto again = upload(token, frame, pictures[0], "pic0.jpg");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_TRUE(json(again)["duplicate"].toBool());

    auto check = [&] {
        const QJsonArray list = listing(token, frame);
        ASSERT_EQ(list.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QJsonObject p = list[i].toObject();
            EXPECT_EQ(p["name"].toString(), QString("pic%1.jpg").arg(i));
            EXPECT_EQ(p["size"].toInteger(), pictures[i].size());
            auto img = client->Get("/frame/" + frame.toStdString() + "/" +
                                   p["file"].toString().toStdString());
            ASSERT_TRUE(img);
            EXPECT_EQ(QByteArray::fromStdString(img->body), pictures[i]);
        }
        auto page = client->Get("/frame/" + frame.toStdString());
        ASSERT_TRUE(page);
        const QString html = QString::fromStdString(page->body);
        const qsizetype a = html.indexOf("000001.jpg"), b = html.indexOf("000002.jpg"),
                        c = html.indexOf("000003.jpg");
        EXPECT_TRUE(a > 0 && a < b && b < c) << page->body;
    };
    check();
    service->stop();
    ASSERT_TRUE(service->start());
    client = std::make_unique<httplib::Client>("127.0.0.1", service->port());
    check(); // the token and the pictures survived the restart
}

TEST_F(ServiceTest, RefusesPicturesTheFrameCannotShow) {
    const QString token = signIn();
    const QString frame = frameId(token);
    const QByteArray good = makeJpeg(200, 150);
    QByteArray png;
    {
        QBuffer b(&png);
        b.open(QIODevice::WriteOnly);
        QImage(20, 20, QImage::Format_RGB32).save(&b, "PNG");
    }
    QByteArray corrupt = good;
    for (qsizetype i = corrupt.size() / 2; i < corrupt.size() - 2; i += 7)
        corrupt[i] = char(0xFF); // markers in the middle of the entropy-coded data
    const QByteArray overCap = makeJpeg(640, 480, 100, true);
    ASSERT_GT(overCap.size(), 65499);

    struct Case {
        const char* what;
        QByteArray bytes;
        int status;
        const char* reason;
    } cases[] = {
        {"png", png, 415, "not a JPEG"},
        {"text", QByteArray("hello, frame"), 415, "not a JPEG"},
        {"empty", QByteArray(), 422, "empty"},
        {"too wide", makeJpeg(800, 600), 422, "800 x 600 pixels"},
        {"too tall", makeJpeg(100, 481), 422, "at most 640 x 480"},
        {"over the byte cap", overCap, 413, "at most 65499 bytes"},
        {"truncated", good.left(good.size() / 2), 422, "damaged or incomplete"},
        {"corrupt", corrupt, 422, "damaged or incomplete"},
    };
    for (const Case& c : cases) {
        auto r = upload(token, frame, c.bytes, "x.jpg");
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->status, c.status) << c.what << ": " << r->body;
        EXPECT_TRUE(json(r)["error"].toString().contains(c.reason)) << c.what << ": " << r->body;
    }
    // A declared size must be the real one.
    auto declared = [&](const char* width, const char* height) {
        return client->Post(
            picturesPath(frame), auth(token),
            httplib::MultipartFormDataItems{{"picture", good.toStdString(), "x.jpg", "image/jpeg"},
                                            {"width", width, "", ""},
                                            {"height", height, "", ""}});
    };
    auto mixUp = declared("150", "200");
    ASSERT_TRUE(mixUp);
    EXPECT_EQ(mixUp->status, 422);
    EXPECT_TRUE(json(mixUp)["error"].toString().contains("sent with the width 150"));
    EXPECT_EQ(listing(token, frame).size(), 0);
    EXPECT_EQ(declared("200", "150")->status, 201);
}

TEST_F(ServiceTest, RefusesNamesThatLeaveTheFolderAndWritesOnlyInsideIt) {
    const QString token = signIn();
    const QString frame = frameId(token);
    const QByteArray good = makeJpeg(100, 100);
    const std::vector<std::string> names{
        "../evil.jpg", "../../evil.jpg",     "a/b.jpg", "..", ".", "a\\b.jpg", ".hidden.jpg",
        "x\x01y.jpg",  std::string(201, 'n')};
    for (const std::string& name : names) {
        auto r = upload(token, frame, good, name);
        ASSERT_TRUE(r) << name;
        EXPECT_EQ(r->status, 400) << name;
    }
    // Sign-up names are file names too.
    for (const char* user : {"../etc", "a/b", "..", "x..y", ""}) {
        auto r = client->Post(
            "/signup",
            httplib::Params{{"user", user}, {"password", "pass1"}, {"password2", "pass1"}});
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 400) << user;
    }
    // Nothing outside the data folder, and nothing stored inside it.
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"data"});
    EXPECT_EQ(listing(token, frame).size(), 0);
    QDirIterator it(tmp.path() + "/data", QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        EXPECT_TRUE(f.endsWith(".json")) << f.toStdString();
    }
    // Static files cannot reach beside their folder.
    for (const char* path : {"/static/../accounts/demo.json", "/static/%2e%2e/accounts/demo.json",
                             "/static/..%2faccounts/demo.json"}) {
        QTcpSocket s;
        s.connectToHost("127.0.0.1", quint16(service->port()));
        ASSERT_TRUE(s.waitForConnected(5000));
        s.write(QByteArray("GET ") + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        QByteArray answer;
        while (s.waitForReadyRead(5000))
            answer += s.readAll();
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 4")) << path << answer.left(40).constData();
        EXPECT_FALSE(answer.contains("salt")) << path;
    }
}

TEST(ServiceNames, PlainFileNamesOnly) {
    using palvo::service::validPictureName;
    using palvo::service::validUserName;
    EXPECT_TRUE(validPictureName("Beach 2024.jpg"));
    EXPECT_TRUE(validPictureName(QString::fromUtf8("Strand_å.JPG")));
    for (const char* bad : {"", ".", "..", "../x.jpg", "x/y", "x\\y", ".x", "a\tb"})
        EXPECT_FALSE(validPictureName(bad)) << bad;
    EXPECT_TRUE(validUserName("demo"));
    EXPECT_TRUE(validUserName("a.b-c_9"));
    for (const char* bad :
         {"", "Demo", ".demo", "a..b", "a/b", "-x", "abcdefghijabcdefghijabcdefghijabc"})
        EXPECT_FALSE(validUserName(bad)) << bad;
}

TEST(ServiceStore, WrongPasswordsLockTheNameForAMinute) {
    QTemporaryDir tmp;
    palvo::service::Store store(tmp.path(), {});
    QString error;
    ASSERT_TRUE(store.open(&error));
    ASSERT_EQ(store.createAccount("demo", "secret"), palvo::service::Store::Created::Ok);
    ASSERT_EQ(store.createAccount("other", "secret"), palvo::service::Store::Created::Ok);
    const qint64 t0 = 1'000'000;
    for (int i = 0; i < palvo::service::Store::kMaxFailedSignIns; ++i) {
        const auto s = store.signIn("demo", "wrong", t0 + i);
        EXPECT_FALSE(s.token);
        EXPECT_FALSE(s.locked);
    }
    const auto locked = store.signIn("demo", "secret", t0 + 1000);
    EXPECT_TRUE(locked.locked);
    EXPECT_FALSE(locked.token);
    EXPECT_TRUE(store.signIn("other", "secret", t0 + 1000).token); // other names are not held up
    const auto later = store.signIn("demo", "secret", t0 + 61000);
    EXPECT_FALSE(later.locked);
    ASSERT_TRUE(later.token);
    EXPECT_EQ(store.userForToken(*later.token), "demo");
}

TEST(ServiceStore, AFrameKeepsAtMostItsNumberOfPictures) {
    QTemporaryDir tmp;
    palvo::service::Store store(tmp.path(), {}, 2);
    QString error;
    ASSERT_TRUE(store.open(&error));
    ASSERT_EQ(store.createAccount("demo", "secret"), palvo::service::Store::Created::Ok);
    const QString frame = store.framesOf("demo").front().id;
    for (quint32 i = 1; i <= 2; ++i)
        EXPECT_TRUE(store.addPicture(frame, "a.jpg", makeJpeg(10, 10, 80, false, i), 10, 10).ok);
    EXPECT_TRUE(store.addPicture(frame, "a.jpg", makeJpeg(10, 10, 80, false, 1), 10, 10).duplicate);
    const auto third = store.addPicture(frame, "c.jpg", makeJpeg(10, 10, 80, false, 3), 10, 10);
    EXPECT_FALSE(third.ok);
    EXPECT_TRUE(third.full);
    EXPECT_EQ(store.frame(frame)->pictures.size(), 2u);
    EXPECT_EQ(QDir(tmp.path() + "/frames/" + frame).entryList({"*.jpg"}, QDir::Files).size(), 2);
}

TEST_F(ServiceTest, AnswersMalformedRequestsWith4xxAndKeepsRunning) {
    const QString token = signIn();
    const QString frame = frameId(token);
    const auto path = picturesPath(frame);

    auto garbage = client->Post(path, auth(token), "--xx\r\nnot a part\r\n--yy--",
                                "multipart/form-data; boundary=xx");
    ASSERT_TRUE(garbage);
    EXPECT_EQ(garbage->status, 400);
    auto noBoundary = client->Post(path, auth(token), "abc", "multipart/form-data");
    ASSERT_TRUE(noBoundary);
    EXPECT_EQ(noBoundary->status, 400);
    auto wrongType = client->Post(path, auth(token), makeJpeg(50, 50).toStdString(), "image/jpeg");
    ASSERT_TRUE(wrongType);
    EXPECT_EQ(wrongType->status, 400);
    auto wrongPart = client->Post(path, auth(token),
                                  httplib::MultipartFormDataItems{{"photo", "x", "x.jpg", ""}});
    ASSERT_TRUE(wrongPart);
    EXPECT_EQ(wrongPart->status, 400);
    auto huge = upload(token, frame, QByteArray(2 * 1024 * 1024, 'x'), "big.jpg");
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->status, 413);
    auto noToken = upload("", frame, makeJpeg(50, 50), "a.jpg");
    ASSERT_TRUE(noToken);
    EXPECT_EQ(noToken->status, 401);
    auto badToken = upload(QString(64, 'a'), frame, makeJpeg(50, 50), "a.jpg");
    ASSERT_TRUE(badToken);
    EXPECT_EQ(badToken->status, 401);
    auto otherFrame = upload(token, QString(32, 'a'), makeJpeg(50, 50), "a.jpg");
    ASSERT_TRUE(otherFrame);
    EXPECT_EQ(otherFrame->status, 404);

    // Bytes that are not HTTP at all, and a header far over the limit.
    for (const QByteArray& raw : {QByteArray("\x00\x01\x02 GARBAGE\r\n\r\n", 15),
                                  "GET /" + QByteArray(20000, 'a') + " HTTP/1.1\r\n\r\n",
                                  QByteArray("POST /api/signin HTTP/1.1\r\nContent-Length: "
                                             "5000000000\r\n\r\n")}) {
        QTcpSocket s;
        s.connectToHost("127.0.0.1", quint16(service->port()));
        ASSERT_TRUE(s.waitForConnected(5000));
        s.write(raw);
        QByteArray answer;
        while (!answer.contains("\r\n\r\n") && s.waitForReadyRead(2000))
            answer += s.readAll();
        EXPECT_TRUE(answer.isEmpty() || answer.startsWith("HTTP/1.1 4")) << answer.constData();
    }
    EXPECT_TRUE(service->running());
    EXPECT_FALSE(signIn().isEmpty());
    EXPECT_EQ(listing(token, frame).size(), 0);
}

TEST_F(ServiceTest, StopsCleanlyOnSigtermEvenRightAfterStarting) {
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(service->stop()) << i;
        ASSERT_TRUE(service->start());
    }
}

TEST_F(ServiceTest, ServesStaticFilesAndTheUpdateManifest) {
    ASSERT_TRUE(QDir().mkpath(tmp.path() + "/data/static/Cards"));
    const QByteArray card = makeJpeg(64, 48);
    QFile f(tmp.path() + "/data/static/Cards/Birthday card.jpg");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(card);
    f.close();
    auto r = client->Get("/static/Cards/Birthday%20card.jpg");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(QByteArray::fromStdString(r->body), card);
    EXPECT_EQ(client->Get("/static/Cards/missing.jpg")->status, 404);

    EXPECT_EQ(json(client->Get("/api/update?program=x&version=1"))["version"].toString(), "");
    QFile m(tmp.path() + "/data/update.json");
    ASSERT_TRUE(m.open(QIODevice::WriteOnly));
    m.write(
        R"({"version":"1.0.5.0","url":"http://example.com/setup","notes":"New","mustExit":false})");
    m.close();
    const QJsonObject u = json(client->Get("/api/update"));
    EXPECT_EQ(u["version"].toString(), "1.0.5.0");
    EXPECT_EQ(u["url"].toString(), "http://example.com/setup");
    EXPECT_FALSE(u["mustExit"].toBool());
}

} // namespace

#include "Routes.h"

#include <httplib.h>

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <cstdio>

namespace palvo::service {

namespace {

void sendJson(httplib::Response& res, int status, const QJsonObject& o) {
    res.status = status;
    res.set_content(QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString(),
                    "application/json");
}

void sendError(httplib::Response& res, int status, const QString& reason) {
    sendJson(res, status, QJsonObject{{"error", reason}});
}

QString html(const QString& s) {
    return s.toHtmlEscaped();
}

void sendPage(httplib::Response& res, int status, const QString& title, const QString& body,
              const QString& css = QString()) {
    res.status = status;
    const QString page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" +
                         html(title) + "</title><style>body{font-family:sans-serif;margin:2em}" +
                         css + "</style></head><body><h1>" + html(title) + "</h1>\n" + body +
                         "\n</body></html>\n";
    res.set_content(page.toStdString(), "text/html; charset=utf-8");
}

QString fromStd(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The account of the request's Bearer token, or nothing.
std::optional<QString> authorised(const httplib::Request& req, const Store& store) {
    const std::string h = req.get_header_value("Authorization");
    const std::string prefix = "Bearer ";
    if (h.size() <= prefix.size() || h.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    return store.userForToken(fromStd(h.substr(prefix.size())));
}

QJsonObject frameJson(const Frame& f) {
    return QJsonObject{{"id", f.id},
                       {"name", f.name},
                       {"width", f.limits.maxWidth},
                       {"height", f.limits.maxHeight},
                       {"maxSize", static_cast<qint64>(f.limits.maxBytes)},
                       {"page", "/frame/" + f.id},
                       {"pictures", static_cast<int>(f.pictures.size())}};
}

QJsonObject pictureJson(const Picture& p) {
    return QJsonObject{{"index", p.index},   {"file", p.file},        {"name", p.name},
                       {"size", p.size},     {"width", p.width},      {"height", p.height},
                       {"sha256", p.sha256}, {"received", p.received}};
}

// A frame the token's account owns, or an answer already sent.
std::optional<Frame> ownFrame(const httplib::Request& req, httplib::Response& res,
                              const Store& store) {
    const auto user = authorised(req, store);
    if (!user) {
        sendError(res, 401, "Please sign in.");
        return std::nullopt;
    }
    const auto f = store.frame(fromStd(req.matches[1]));
    if (!f || f->owner != *user) {
        sendError(res, 404, "There is no such frame in this account.");
        return std::nullopt;
    }
    return f;
}

void handleUpload(const httplib::Request& req, httplib::Response& res, Store& store) {
    const auto f = ownFrame(req, res, store);
    if (!f)
        return;
    if (!req.is_multipart_form_data() || !req.has_file("picture")) {
        sendError(res, 400,
                  "The request must be multipart/form-data with a part named "
                  "\"picture\".");
        return;
    }
    const httplib::MultipartFormData part = req.get_file_value("picture");
    const QString name = fromStd(part.filename);
    if (!validPictureName(name)) {
        sendError(res, 400, "The picture's name is not a plain file name.");
        return;
    }
    const JpegCheck check = checkJpeg(part.content, f->limits);
    if (!check.ok) {
        sendError(res, check.status, QString::fromStdString(check.reason));
        return;
    }
    // The sender may say which size it sent; a picture that differs is a mix-up.
    for (const auto& [field, actual] :
         {std::pair{"width", check.width}, {"height", check.height}}) {
        if (!req.has_file(field))
            continue;
        const std::string said = req.get_file_value(field).content;
        if (said != std::to_string(actual)) {
            sendError(
                res, 422,
                QString("The picture is %1 x %2 pixels, but was sent with the %3 %4.")
                    .arg(check.width)
                    .arg(check.height)
                    .arg(QString::fromLatin1(field), QString::fromStdString(said.substr(0, 12))));
            return;
        }
    }
    const Store::Added added = store.addPicture(
        f->id, name, QByteArray::fromStdString(part.content), check.width, check.height);
    if (!added.ok) {
        sendError(res, added.full ? 507 : 500,
                  "The service could not store the picture: " + added.error + ".");
        return;
    }
    std::fprintf(stderr, "palvo-service: frame %s: %s %s as %s (%lld bytes)\n",
                 f->id.toLatin1().constData(), added.duplicate ? "already had" : "stored",
                 name.toUtf8().constData(), added.picture.file.toLatin1().constData(),
                 static_cast<long long>(added.picture.size));
    QJsonObject o = pictureJson(added.picture);
    o["duplicate"] = added.duplicate;
    sendJson(res, added.duplicate ? 200 : 201, o);
}

void handleFramePage(const httplib::Request& req, httplib::Response& res, const Store& store) {
    const auto f = store.frame(fromStd(req.matches[1]));
    if (!f) {
        sendPage(res, 404, "No such frame", "<p>There is no frame at this address.</p>");
        return;
    }
    QString body = QString("<p>%1 picture(s), shown in the order they arrived, each on the "
                           "frame's %2 x %3 screen.</p>\n")
                       .arg(f->pictures.size())
                       .arg(f->limits.maxWidth)
                       .arg(f->limits.maxHeight);
    for (const Picture& p : f->pictures) {
        body += QString("<figure id=\"p%1\"><div class=\"frame\"><img src=\"/frame/%2/%3\" "
                        "width=\"%4\" height=\"%5\" alt=\"%6\"></div><figcaption>%1. %6 "
                        "(%7 bytes, %4 x %5)</figcaption></figure>\n")
                    .arg(p.index)
                    .arg(f->id, p.file)
                    .arg(p.width)
                    .arg(p.height)
                    .arg(html(p.name))
                    .arg(p.size);
    }
    const QString css = QString(".frame{width:%1px;height:%2px;background:#000;display:flex;"
                                "align-items:center;justify-content:center;margin:1em 0}")
                            .arg(f->limits.maxWidth)
                            .arg(f->limits.maxHeight);
    sendPage(res, 200, "Palvo frame of " + f->owner, body, css);
}

void handleSignUp(const httplib::Request& req, httplib::Response& res, Store& store) {
    const QString user = fromStd(req.get_param_value("user")).trimmed().toLower();
    const QString password = fromStd(req.get_param_value("password"));
    if (password != fromStd(req.get_param_value("password2"))) {
        sendPage(res, 400, "Sign up",
                 "<p>The two passwords differ.</p><p><a href=\"/signup\">"
                 "Try again</a></p>");
        return;
    }
    switch (store.createAccount(user, password)) {
    case Store::Created::Ok:
        sendPage(res, 200, "Welcome",
                 "<p>The account <b>" + html(user) +
                     "</b> was created with one picture frame. Sign in from Palvo Sender with "
                     "this name and password to upload pictures.</p>");
        return;
    case Store::Created::Exists:
        sendPage(res, 409, "Sign up", "<p>That name is taken.</p>");
        return;
    case Store::Created::BadName:
        sendPage(res, 400, "Sign up",
                 "<p>A name is 1 to 32 letters a-z, digits, \".\", \"_\" or \"-\".</p>");
        return;
    case Store::Created::BadPassword:
        sendPage(res, 400, "Sign up", "<p>A password has 4 to 200 characters.</p>");
        return;
    case Store::Created::Failed:
        break;
    }
    sendPage(res, 500, "Sign up", "<p>The account could not be stored.</p>");
}

void handleUpdate(httplib::Response& res, const Store& store) {
    QFile f(store.dataDir() + "/update.json");
    QJsonObject manifest;
    if (f.open(QIODevice::ReadOnly) && f.size() < 65536) {
        const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
        if (!doc.isObject()) {
            sendError(res, 500, "The update manifest is damaged.");
            return;
        }
        manifest = doc.object();
    }
    QJsonObject o{{"version", manifest["version"].toString()},
                  {"url", manifest["url"].toString()},
                  {"notes", manifest["notes"].toString()},
                  {"mustExit", manifest["mustExit"].toBool(true)}};
    sendJson(res, 200, o);
}

} // namespace

void installRoutes(httplib::Server& server, Store& store) {
    server.set_payload_max_length(kMaxRequestBytes);
    server.set_read_timeout(10, 0);
    server.set_write_timeout(10, 0);
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            sendError(res, res.status,
                      QString("The request was refused (HTTP status %1).").arg(res.status));
        }
    });
    server.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            sendError(res, 500, "The service failed to answer this request.");
        });

    server.Get("/", [](const httplib::Request&, httplib::Response& res) {
        sendPage(res, 200, "Palvo service",
                 "<p>Pictures for your Palvo picture frame.</p><ul><li><a href=\"/signup\">"
                 "Create an account</a></li><li><a href=\"/support\">Customer care</a></li></ul>");
    });
    server.Get("/support", [](const httplib::Request&, httplib::Response& res) {
        sendPage(res, 200, "Customer care",
                 "<p>Your frame's page shows every picture it received; the address is given "
                 "by the service when you sign in.</p>");
    });
    server.Get("/signup", [](const httplib::Request&, httplib::Response& res) {
        sendPage(res, 200, "Sign up",
                 "<form method=\"post\" action=\"/signup\"><p>Name <input name=\"user\"></p>"
                 "<p>Password <input type=\"password\" name=\"password\"></p><p>Password again "
                 "<input type=\"password\" name=\"password2\"></p><p><button>Create account"
                 "</button></p></form>");
    });
    server.Post("/signup", [&store](const httplib::Request& req, httplib::Response& res) {
        handleSignUp(req, res, store);
    });
    server.Post("/api/signin", [&store](const httplib::Request& req, httplib::Response& res) {
        const QString user = fromStd(req.get_param_value("user")).trimmed().toLower();
        const Store::SignIn s = store.signIn(user, fromStd(req.get_param_value("password")),
                                             QDateTime::currentMSecsSinceEpoch());
        if (s.locked) {
            sendError(res, 403,
                      "Too many wrong passwords for this name; please wait a minute "
                      "and try again.");
            return;
        }
        if (!s.token) {
            sendError(res, 401, "The user name or password is not correct.");
            return;
        }
        sendJson(res, 200, QJsonObject{{"token", *s.token}, {"user", user}});
    });
    server.Get("/api/account", [&store](const httplib::Request& req, httplib::Response& res) {
        const auto user = authorised(req, store);
        if (!user) {
            sendError(res, 401, "Please sign in.");
            return;
        }
        QJsonArray frames;
        for (const Frame& f : store.framesOf(*user))
            frames.append(frameJson(f));
        sendJson(res, 200, QJsonObject{{"user", *user}, {"frames", frames}});
    });
    server.Post(R"(/api/frames/([0-9a-f]{32})/pictures)",
                [&store](const httplib::Request& req, httplib::Response& res) {
                    handleUpload(req, res, store);
                });
    server.Get(R"(/api/frames/([0-9a-f]{32})/pictures)",
               [&store](const httplib::Request& req, httplib::Response& res) {
                   const auto f = ownFrame(req, res, store);
                   if (!f)
                       return;
                   QJsonArray list;
                   for (const Picture& p : f->pictures)
                       list.append(pictureJson(p));
                   sendJson(res, 200, QJsonObject{{"pictures", list}});
               });
    server.Get("/api/update", [&store](const httplib::Request&, httplib::Response& res) {
        handleUpdate(res, store);
    });
    server.Get(R"(/frame/([0-9a-f]{32}))",
               [&store](const httplib::Request& req, httplib::Response& res) {
                   handleFramePage(req, res, store);
               });
    server.Get(R"(/frame/([0-9a-f]{32})/([0-9]{6}\.jpg))", [&store](const httplib::Request& req,
                                                                    httplib::Response& res) {
        const QString path = store.picturePath(fromStd(req.matches[1]), fromStd(req.matches[2]));
        QFile f(path);
        if (path.isEmpty() || !f.open(QIODevice::ReadOnly)) {
            sendError(res, 404, "No such picture.");
            return;
        }
        res.set_content(f.readAll().toStdString(), "image/jpeg");
    });
    server.set_mount_point("/static", (store.dataDir() + "/static").toStdString());
}

} // namespace palvo::service

#include "Store.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

namespace palvo::service {

namespace {

constexpr int kIterations = 20000;
constexpr std::size_t kMaxTokens = 20;
constexpr qint64 kMaxJsonFile = 16 * 1024 * 1024;

QByteArray randomBytes(int n) {
    QByteArray b(n, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(b.data()), n / 4);
    return b;
}

QByteArray sha256(const QByteArray& b) {
    return QCryptographicHash::hash(b, QCryptographicHash::Sha256);
}

bool writeFileAtomically(const QString& path, const QByteArray& data) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(data) != data.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

std::optional<QJsonObject> readJson(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxJsonFile)
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
    if (!doc.isObject())
        return std::nullopt;
    return doc.object();
}

} // namespace

bool validPictureName(const QString& name) {
    if (name.isEmpty() || name == "." || name == ".." || name.toUtf8().size() > 200)
        return false;
    for (const QChar c : name) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return !name.startsWith('.');
}

bool validUserName(const QString& user) {
    static const QRegularExpression re("^[a-z0-9][a-z0-9._-]{0,31}$");
    return re.match(user).hasMatch() && !user.contains("..");
}

bool validFrameId(const QString& id) {
    static const QRegularExpression re("^[0-9a-f]{32}$");
    return re.match(id).hasMatch();
}

Store::Store(QString dataDir, FrameLimits defaultLimits, int maxPictures)
    : m_dir(QDir(dataDir).absolutePath()), m_defaults(defaultLimits), m_maxPictures(maxPictures) {}

QString Store::frameDir(const QString& id) const {
    return m_dir + "/frames/" + id;
}

bool Store::open(QString* error) {
    std::lock_guard lock(m_mutex);
    QDir d;
    for (const QString& sub : {QString(), QStringLiteral("/accounts"), QStringLiteral("/frames"),
                               QStringLiteral("/static")}) {
        if (!d.mkpath(m_dir + sub)) {
            *error = "cannot create the folder " + m_dir + sub;
            return false;
        }
    }
    const QStringList accountFiles =
        QDir(m_dir + "/accounts").entryList({"*.json"}, QDir::Files, QDir::Name);
    for (const QString& file : accountFiles) {
        const QString user = file.chopped(5);
        const auto o = readJson(m_dir + "/accounts/" + file);
        if (!validUserName(user) || !o)
            continue;
        Account a;
        a.user = user;
        a.salt = QByteArray::fromBase64((*o)["salt"].toString().toLatin1());
        a.hash = QByteArray::fromBase64((*o)["hash"].toString().toLatin1());
        a.iterations = (*o)["iterations"].toInt();
        for (const auto v : (*o)["tokens"].toArray())
            a.tokenHashes.push_back(QByteArray::fromHex(v.toString().toLatin1()));
        for (const auto v : (*o)["frames"].toArray()) {
            const QString id = v.toString();
            const auto fo = readJson(frameDir(id) + "/frame.json");
            if (!validFrameId(id) || !fo)
                continue;
            Frame f;
            f.id = id;
            f.owner = user;
            f.name = (*fo)["name"].toString();
            f.limits.maxWidth = (*fo)["width"].toInt(m_defaults.maxWidth);
            f.limits.maxHeight = (*fo)["height"].toInt(m_defaults.maxHeight);
            f.limits.maxBytes = (*fo)["maxSize"].toInteger(m_defaults.maxBytes);
            for (const auto pv : (*fo)["pictures"].toArray()) {
                const QJsonObject po = pv.toObject();
                Picture p;
                p.index = po["index"].toInt();
                p.file = po["file"].toString();
                p.name = po["name"].toString();
                p.size = po["size"].toInteger();
                p.width = po["width"].toInt();
                p.height = po["height"].toInt();
                p.sha256 = po["sha256"].toString();
                p.received = po["received"].toString();
                f.pictures.push_back(p);
            }
            m_frames[id] = f;
            a.frameIds.push_back(id);
        }
        if (a.iterations > 0 && !a.salt.isEmpty())
            m_accounts[user] = a;
    }
    return true;
}

Store::Account Store::newAccount(const QString& user, const QString& password) const {
    Account a;
    a.user = user;
    a.salt = randomBytes(16);
    a.iterations = kIterations;
    a.hash = QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(),
                                                a.salt, a.iterations, 32);
    return a;
}

bool Store::passwordMatches(const Account& a, const QString& password) const {
    const QByteArray h = QPasswordDigestor::deriveKeyPbkdf2(
        QCryptographicHash::Sha256, password.toUtf8(), a.salt, a.iterations, 32);
    if (h.size() != a.hash.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < h.size(); ++i)
        diff |= static_cast<unsigned char>(h[i] ^ a.hash[i]);
    return diff == 0;
}

bool Store::saveAccount(const Account& a) const {
    QJsonObject o;
    o["user"] = a.user;
    o["salt"] = QString::fromLatin1(a.salt.toBase64());
    o["hash"] = QString::fromLatin1(a.hash.toBase64());
    o["iterations"] = a.iterations;
    QJsonArray tokens;
    for (const auto& t : a.tokenHashes)
        tokens.append(QString::fromLatin1(t.toHex()));
    o["tokens"] = tokens;
    QJsonArray frames;
    for (const auto& id : a.frameIds)
        frames.append(id);
    o["frames"] = frames;
    return writeFileAtomically(m_dir + "/accounts/" + a.user + ".json", QJsonDocument(o).toJson());
}

bool Store::saveFrame(const Frame& f) const {
    QJsonObject o;
    o["id"] = f.id;
    o["owner"] = f.owner;
    o["name"] = f.name;
    o["width"] = f.limits.maxWidth;
    o["height"] = f.limits.maxHeight;
    o["maxSize"] = static_cast<qint64>(f.limits.maxBytes);
    QJsonArray pictures;
    for (const Picture& p : f.pictures) {
        QJsonObject po;
        po["index"] = p.index;
        po["file"] = p.file;
        po["name"] = p.name;
        po["size"] = p.size;
        po["width"] = p.width;
        po["height"] = p.height;
        po["sha256"] = p.sha256;
        po["received"] = p.received;
        pictures.append(po);
    }
    o["pictures"] = pictures;
    return QDir().mkpath(frameDir(f.id)) &&
           writeFileAtomically(frameDir(f.id) + "/frame.json", QJsonDocument(o).toJson());
}

Store::Created Store::createAccount(const QString& user, const QString& password) {
    if (!validUserName(user))
        return Created::BadName;
    if (password.size() < 4 || password.size() > 200)
        return Created::BadPassword;
    std::lock_guard lock(m_mutex);
    if (m_accounts.count(user))
        return Created::Exists;
    Account a = newAccount(user, password);
    Frame f;
    f.id = QString::fromLatin1(randomBytes(16).toHex());
    f.owner = user;
    f.name = "Picture frame";
    f.limits = m_defaults;
    a.frameIds.push_back(f.id);
    if (!saveFrame(f) || !saveAccount(a))
        return Created::Failed;
    m_frames[f.id] = f;
    m_accounts[user] = a;
    return Created::Ok;
}

bool Store::ensureAccount(const QString& user, const QString& password) {
    const Created c = createAccount(user, password);
    if (c != Created::Exists)
        return c == Created::Ok;
    std::lock_guard lock(m_mutex);
    Account& a = m_accounts[user];
    if (passwordMatches(a, password))
        return true;
    Account fresh = newAccount(user, password);
    fresh.frameIds = a.frameIds; // a new password signs every device out
    if (!saveAccount(fresh))
        return false;
    a = fresh;
    return true;
}

Store::SignIn Store::signIn(const QString& user, const QString& password, qint64 nowMs) {
    std::lock_guard lock(m_mutex);
    auto stale = [nowMs](qint64 t) { return nowMs - t >= 60000 || t > nowMs; };
    if (m_failedSignIns.size() > 10000) // names tried by someone guessing: forget the old ones
        std::erase_if(m_failedSignIns, [&](const auto& entry) {
            return std::all_of(entry.second.begin(), entry.second.end(), stale);
        });
    std::vector<qint64>& failures = m_failedSignIns[user.left(64)];
    std::erase_if(failures, stale);
    if (failures.size() >= std::size_t(kMaxFailedSignIns))
        return SignIn{std::nullopt, true};
    auto it = m_accounts.find(user);
    if (it == m_accounts.end() || !passwordMatches(it->second, password)) {
        failures.push_back(nowMs);
        return {};
    }
    m_failedSignIns.erase(user.left(64));
    const QString token = QString::fromLatin1(randomBytes(32).toHex());
    Account a = it->second;
    a.tokenHashes.push_back(sha256(token.toLatin1()));
    while (a.tokenHashes.size() > kMaxTokens)
        a.tokenHashes.erase(a.tokenHashes.begin());
    if (!saveAccount(a))
        return {};
    it->second = a;
    return SignIn{token, false};
}

std::optional<QString> Store::userForToken(const QString& token) const {
    if (token.size() != 64)
        return std::nullopt;
    const QByteArray h = sha256(token.toLatin1());
    std::lock_guard lock(m_mutex);
    for (const auto& [user, a] : m_accounts) {
        for (const auto& t : a.tokenHashes) {
            if (t == h)
                return user;
        }
    }
    return std::nullopt;
}

std::vector<Frame> Store::framesOf(const QString& user) const {
    std::lock_guard lock(m_mutex);
    std::vector<Frame> out;
    auto it = m_accounts.find(user);
    if (it == m_accounts.end())
        return out;
    for (const auto& id : it->second.frameIds) {
        auto f = m_frames.find(id);
        if (f != m_frames.end())
            out.push_back(f->second);
    }
    return out;
}

std::optional<Frame> Store::frame(const QString& id) const {
    std::lock_guard lock(m_mutex);
    auto it = m_frames.find(id);
    if (it == m_frames.end())
        return std::nullopt;
    return it->second;
}

Store::Added Store::addPicture(const QString& frameId, const QString& name, const QByteArray& bytes,
                               int width, int height) {
    Added r;
    if (!validFrameId(frameId) || !validPictureName(name)) {
        r.error = "bad frame or picture name";
        return r;
    }
    const QString digest = QString::fromLatin1(sha256(bytes).toHex());
    std::lock_guard lock(m_mutex);
    auto it = m_frames.find(frameId);
    if (it == m_frames.end()) {
        r.error = "no such frame";
        return r;
    }
    Frame f = it->second;
    for (const Picture& p : f.pictures) {
        if (p.sha256 == digest) {
            r.ok = true;
            r.duplicate = true;
            r.picture = p;
            return r;
        }
    }
    if (f.pictures.size() >= std::size_t(m_maxPictures)) {
        r.full = true;
        r.error = QString("the frame holds %1 pictures, as many as it can").arg(m_maxPictures);
        return r;
    }
    Picture p;
    p.index = f.pictures.empty() ? 1 : f.pictures.back().index + 1;
    p.file = QString::asprintf("%06d.jpg", p.index);
    p.name = name;
    p.size = bytes.size();
    p.width = width;
    p.height = height;
    p.sha256 = digest;
    p.received = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    if (!QDir().mkpath(frameDir(frameId)) ||
        !writeFileAtomically(frameDir(frameId) + "/" + p.file, bytes)) {
        r.error = "the picture could not be stored";
        return r;
    }
    f.pictures.push_back(p);
    if (!saveFrame(f)) {
        QFile::remove(frameDir(frameId) + "/" + p.file);
        r.error = "the frame could not be updated";
        return r;
    }
    it->second = f;
    r.ok = true;
    r.picture = p;
    return r;
}

QString Store::picturePath(const QString& frameId, const QString& file) const {
    std::lock_guard lock(m_mutex);
    auto it = m_frames.find(frameId);
    if (it == m_frames.end())
        return {};
    for (const Picture& p : it->second.pictures) {
        if (p.file == file)
            return frameDir(frameId) + "/" + p.file;
    }
    return {};
}

} // namespace palvo::service

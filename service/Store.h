#pragma once

#include "JpegCheck.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace palvo::service {

// One received picture of a frame, in the order of arrival.
struct Picture {
    int index = 0;   // 1, 2, 3 ... in the order received
    QString file;    // stored file name inside the frame's folder ("000001.jpg")
    QString name;    // the name the sender gave it
    qint64 size = 0; // bytes
    int width = 0;
    int height = 0;
    QString sha256;   // hex digest of the bytes
    QString received; // ISO 8601 UTC
};

struct Frame {
    QString id; // 32 lower-case hex digits, also the address of its page
    QString owner;
    QString name;
    FrameLimits limits;
    std::vector<Picture> pictures;
};

// Names a sender may give a picture: plain file names only.
bool validPictureName(const QString& name);
// Account names: 1 to 32 of a-z, 0-9, ".", "_", "-", starting with a letter or digit.
bool validUserName(const QString& user);
bool validFrameId(const QString& id);

// The service's data: accounts with their frames and pictures, kept in memory
// and in the data folder. Every write goes to a file inside the data folder
// through a temporary file and a rename; every path is built from validated
// names only. Thread-safe: one lock around everything.
//
// Layout of the data folder:
//   accounts/<user>.json        password hash, sign-in tokens (hashed), frame ids
//   frames/<frame id>/frame.json  the frame's limits and its pictures in order
//   frames/<frame id>/000001.jpg  the pictures
//   update.json                 the update manifest (read at every request)
//   static/                     files served under /static (stationery catalogue)
class Store {
public:
    // maxPictures: how many pictures one frame keeps at most.
    Store(QString dataDir, FrameLimits defaultLimits, int maxPictures = 10000);

    // Creates the folders and loads every account and frame.
    bool open(QString* error);
    QString dataDir() const { return m_dir; }

    enum class Created { Ok, Exists, BadName, BadPassword, Failed };
    Created createAccount(const QString& user, const QString& password);
    // Creates the account or sets its password (the command line's demo accounts).
    bool ensureAccount(const QString& user, const QString& password);

    struct SignIn {
        std::optional<QString> token; // a new sign-in token, or nothing
        bool locked = false;          // too many wrong passwords lately; not checked
    };
    // After kMaxFailedSignIns wrong passwords for a name within a minute, that
    // name is not checked again until the minute has passed.
    SignIn signIn(const QString& user, const QString& password, qint64 nowMs);
    static constexpr int kMaxFailedSignIns = 5;
    std::optional<QString> userForToken(const QString& token) const;

    std::vector<Frame> framesOf(const QString& user) const;
    std::optional<Frame> frame(const QString& id) const;

    struct Added {
        bool ok = false;
        bool duplicate = false;
        bool full = false; // the frame holds maxPictures already
        Picture picture;
        QString error;
    };
    // Stores an already validated picture at the end of the frame; the same
    // bytes sent twice are stored once (a repeated upload after a lost answer
    // or a cancelled run does not duplicate pictures).
    Added addPicture(const QString& frameId, const QString& name, const QByteArray& bytes,
                     int width, int height);
    // Full path of a stored picture, or empty when the frame has no such file.
    QString picturePath(const QString& frameId, const QString& file) const;

private:
    struct Account {
        QString user;
        QByteArray salt;
        QByteArray hash;
        int iterations = 0;
        std::vector<QByteArray> tokenHashes;
        std::vector<QString> frameIds;
    };
    bool saveAccount(const Account& a) const;
    bool saveFrame(const Frame& f) const;
    QString frameDir(const QString& id) const;
    Account newAccount(const QString& user, const QString& password) const;
    bool passwordMatches(const Account& a, const QString& password) const;

    QString m_dir;
    FrameLimits m_defaults;
    int m_maxPictures;
    mutable std::mutex m_mutex;
    std::map<QString, Account> m_accounts;
    std::map<QString, Frame> m_frames;
    std::map<QString, std::vector<qint64>> m_failedSignIns; // times in ms, the last minute
};

} // namespace palvo::service

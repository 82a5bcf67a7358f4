// The upload library's window-free rules.
#include "Config.h"
#include "Policy.h"
#include "UserState.h"

#include <QDir>
#include <QFile>

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace palvo::qupload;

TEST(LibraryConfig, ReadsTheServiceSectionWithoutRegardToCase) {
    const LibraryConfig c = LibraryConfig::parse(
        "[general]\r\nwebsite_signup=palvo.example/join\r\n[Palvo]\r\nPALVO_MAX_SIZE=1\r\n"
        "; comment\r\n[SERVICE]\r\nServer = https://palvo.example/ \r\nframe=Kitchen\r\n"
        "CONNECT_TIMEOUT=3\r\nRETRIES=abc\r\nRETRY_DELAY_MS=-5\r\nMAX_SEND_SPEED=1000\r\n"
        "DOWNLOAD_MAX_BYTES=0\r\nSTALL_TIMEOUT=99999999\r\n");
    EXPECT_EQ(c.server, "https://palvo.example/");
    EXPECT_EQ(c.serverBase(), "https://palvo.example");
    EXPECT_EQ(c.frame, "Kitchen");
    EXPECT_EQ(c.signUpAddress, "http://palvo.example/join");
    EXPECT_EQ(c.connectTimeoutS, 3);
    EXPECT_EQ(c.maxSendSpeed, 1000);
    const LibraryConfig defaults;
    EXPECT_EQ(c.retries, defaults.retries);                   // not a number
    EXPECT_EQ(c.retryDelayMs, defaults.retryDelayMs);         // below the range
    EXPECT_EQ(c.downloadMaxBytes, defaults.downloadMaxBytes); // below the range
    EXPECT_EQ(c.stallTimeoutS, defaults.stallTimeoutS);       // above the range

    for (const char* bad : {"", "palvo.example", "ftp://palvo.example", "http://", "http:// x"})
        EXPECT_EQ(LibraryConfig::parse(QByteArray("[Service]\nSERVER=") + bad).serverBase(), "")
            << bad;
}

TEST(Policy, TransientFailuresAndBackOff) {
    struct {
        int code;
        long status;
        bool transient;
    } cases[] = {
        {CURLE_COULDNT_CONNECT, 0, true},
        {CURLE_OPERATION_TIMEDOUT, 0, true},
        {CURLE_RECV_ERROR, 0, true},
        {CURLE_GOT_NOTHING, 0, true},
        {CURLE_OK, 503, true},
        {CURLE_OK, 429, true},
        {CURLE_OK, 500, false},
        {CURLE_OK, 401, false},
        {CURLE_OK, 413, false},
        {CURLE_OK, 200, false},
        {CURLE_SSL_CACERT_BADFILE, 0, false},
        {CURLE_UNSUPPORTED_PROTOCOL, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isTransientFailure(c.code, c.status), c.transient) << c.code << " " << c.status;
    EXPECT_EQ(retryDelayMs(1, 1000), 1000);
    EXPECT_EQ(retryDelayMs(2, 1000), 2000);
    EXPECT_EQ(retryDelayMs(3, 1000), 4000);
    EXPECT_EQ(retryDelayMs(40, 1000), 30000);
    EXPECT_EQ(retryDelayMs(1, 0), 0);
}

TEST(Policy, VersionsCompareByNumbers) {
    struct {
        const char* a;
        const char* b;
        int result;
    } cases[] = {
        {"1.0.4.3", "1.0.4.3", 0}, {"1.0.4.3", "1.0.10", -1},
        {"1.0.10", "1.0.9.9", 1},  {"v1.04", "1.4", 0},
        {"1.0", "1.0.0.0", 0},     {"2", "1.99.99", 1},
        {"", "1.0", -1},           {"", "", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compareVersions(c.a, c.b), c.result) << c.a << " vs " << c.b;
    EXPECT_TRUE(isPositiveDecimal("640"));
    for (const char* bad : {"", "0", "-1", "12x", " "})
        EXPECT_FALSE(isPositiveDecimal(bad)) << bad;
    EXPECT_FALSE(isPositiveDecimal(nullptr));
}

TEST(UserState, KeptForTheUserOnly) {
    EXPECT_EQ(UserState::load().proxy.mode, ProxyMode::System);
    UserState s;
    s.server = "http://127.0.0.1:1";
    s.user = "demo";
    s.token = "abc";
    s.proxy = {ProxyMode::Manual, "proxy.lan", 3128, "me", "pw"};
    ASSERT_TRUE(s.save());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(UserState::filePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const UserState r = UserState::load();
    EXPECT_EQ(r.tokenFor("http://127.0.0.1:1"), "abc");
    EXPECT_EQ(r.tokenFor("http://127.0.0.1:2"), "");
    EXPECT_EQ(r.proxy.mode, ProxyMode::Manual);
    EXPECT_EQ(r.proxy.host, "proxy.lan");
    EXPECT_EQ(r.proxy.port, 3128);
    EXPECT_EQ(r.proxy.password, "pw");

    QFile f(UserState::filePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("{ damaged");
    f.close();
    EXPECT_EQ(UserState::load().token, "");
}

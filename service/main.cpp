// palvo-service: the reference Palvo service. A small HTTP server with
// accounts, per-account frames, a validating upload endpoint, the update
// manifest, static files and a web page per frame.
#include "Routes.h"
#include "Store.h"

#include <httplib.h>

#include <QString>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <string>
#include <thread>
#include <vector>

namespace {

void usage() {
    std::fprintf(stderr, "usage: palvo-service --data FOLDER [--host 127.0.0.1] [--port 8731]\n"
                         "                     [--account USER:PASSWORD]... [--frame-width 640]\n"
                         "                     [--frame-height 480] [--frame-max-size 65499]\n"
                         "--port 0 picks a free port. The first line on standard output names the\n"
                         "address the service listens on. SIGINT or SIGTERM stops it.\n");
}

bool toInt(const char* s, long long lo, long long hi, long long* out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(s, &end, 10);
    if (errno != 0 || end == s || *end != '\0' || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string host = "127.0.0.1";
    long long port = 8731;
    QString data;
    std::vector<std::pair<QString, QString>> accounts;
    palvo::service::FrameLimits limits;

    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        long long v = 0;
        if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else if (a == "--host" && hasValue) {
            host = argv[++i];
        } else if (a == "--port" && hasValue && toInt(argv[i + 1], 0, 65535, &port)) {
            ++i;
        } else if (a == "--data" && hasValue) {
            data = QString::fromLocal8Bit(argv[++i]);
        } else if (a == "--account" && hasValue) {
            const QString spec = QString::fromLocal8Bit(argv[++i]);
            const qsizetype colon = spec.indexOf(':');
            if (colon <= 0) {
                usage();
                return 2;
            }
            accounts.emplace_back(spec.left(colon).toLower(), spec.mid(colon + 1));
        } else if (a == "--frame-width" && hasValue && toInt(argv[i + 1], 1, 20000, &v)) {
            limits.maxWidth = int(v);
            ++i;
        } else if (a == "--frame-height" && hasValue && toInt(argv[i + 1], 1, 20000, &v)) {
            limits.maxHeight = int(v);
            ++i;
        } else if (a == "--frame-max-size" && hasValue &&
                   toInt(argv[i + 1], 1, palvo::service::kMaxRequestBytes / 2, &v)) {
            limits.maxBytes = v;
            ++i;
        } else {
            std::fprintf(stderr, "palvo-service: bad argument: %s\n", a.c_str());
            usage();
            return 2;
        }
    }
    if (data.isEmpty()) {
        usage();
        return 2;
    }

    // Stop cleanly on SIGINT / SIGTERM: the signals are taken by one thread
    // with sigwait, which stops the server from outside any signal handler.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    palvo::service::Store store(data, limits);
    QString error;
    if (!store.open(&error)) {
        std::fprintf(stderr, "palvo-service: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    for (const auto& [user, password] : accounts) {
        if (!store.ensureAccount(user, password)) {
            std::fprintf(stderr, "palvo-service: cannot create the account %s\n",
                         user.toLocal8Bit().constData());
            return 1;
        }
    }

    httplib::Server server;
    palvo::service::installRoutes(server, store);
    int bound = -1;
    if (port == 0) {
        bound = server.bind_to_any_port(host);
    } else if (server.bind_to_port(host, int(port))) {
        bound = int(port);
    }
    if (bound <= 0) {
        std::fprintf(stderr, "palvo-service: cannot listen on %s:%lld\n", host.c_str(), port);
        return 1;
    }

    std::thread stopper([&server, stopSignals] {
        int sig = 0;
        sigwait(&stopSignals, &sig);
        // A signal that comes before the accept loop runs would be lost by
        // stop(): wait for the loop first.
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        server.stop();
    });
    stopper.detach();

    std::printf("palvo-service listening on http://%s:%d\n", host.c_str(), bound);
    std::fflush(stdout);
    server.listen_after_bind();
    return 0;
}

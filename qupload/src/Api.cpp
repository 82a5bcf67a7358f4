// The exported C entry points of libQUpload.so. Nothing escapes them: every
// exception becomes QUPLOAD_ERR_INTERNAL (or false / nothing).
#include <QUploadApi.h>

#include "Download.h"
#include "Policy.h"
#include "Update.h"
#include "Upload.h"
#include "UserState.h"
#include "ui/Messages.h"
#include "ui/ProxyDialog.h"

#include <QString>
#include <QWidget>

#include <cstdio>
#include <exception>
#include <utility>

namespace {

QString text(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

// Counts a NULL-terminated list; at most `limit` entries are looked at.
int count(const char* const* list, int limit = 100000) {
    int n = 0;
    while (list && n < limit && list[n])
        ++n;
    return n;
}

template <typename T, typename F> T guarded(T failure, F&& f) {
    try {
        return f();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "QUpload: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "QUpload: unexpected failure\n");
    }
    return failure;
}

// The library's windows run event loops in which the program may call in
// again (its idle work, for instance). A call with windows of its own while
// another such call runs answers `busy` at once instead of stacking a second
// sign-in, offer or upload on top of the first.
int g_windowedCalls = 0;

template <typename T, typename F> T exclusive(T busy, T failure, F&& f) {
    if (g_windowedCalls > 0)
        return busy;
    ++g_windowedCalls;
    const T result = guarded(failure, std::forward<F>(f));
    --g_windowedCalls;
    return result;
}

QWidget* window(void* handle) {
    return static_cast<QWidget*>(handle);
}

} // namespace

extern "C" {

int16_t CheckForUpdate(void* parentWindow, const char* programName, const char* version,
                       int32_t interactive) {
    return exclusive<int16_t>(0, QUPLOAD_ERR_INTERNAL, [&] {
        return palvo::qupload::checkForUpdate(window(parentWindow), text(programName),
                                              text(version), interactive != 0);
    });
}

void PromptForProxySettings(void* parentWindow) {
    exclusive<int>(0, 0, [&] {
        using namespace palvo::qupload;
        if (!widgetsAvailable())
            return 0;
        UserState state = UserState::load();
        ProxyDialog dlg(window(parentWindow), state.proxy);
        if (dlg.exec() == QDialog::Accepted) {
            state = UserState::load();
            state.proxy = dlg.settings();
            if (!state.save())
                showMessage(window(parentWindow), MessageKind::Error, "Palvo",
                            "The proxy settings could not be saved.");
        }
        return 0;
    });
}

int16_t UploadImagesToServer(void* parentWindow, const char* programName, const char* version,
                             const char* operation, const char* title, const char* const* files,
                             int32_t reserved1, int32_t reserved2, const char* const* widths,
                             const char* const* heights) {
    (void)operation; // always "upload"
    (void)reserved1;
    (void)reserved2;
    return exclusive<int16_t>(QUPLOAD_ERR_INTERNAL, QUPLOAD_ERR_INTERNAL, [&]() -> int16_t {
        using namespace palvo::qupload;
        const int n = count(files);
        if (n == 0)
            return QUPLOAD_ERR_NO_FILES;
        if (count(widths) != n || count(heights) != n)
            return QUPLOAD_ERR_BAD_ARGUMENTS;
        UploadArgs args;
        args.parent = window(parentWindow);
        args.programName = text(programName);
        args.version = text(version);
        args.title = title && *title ? text(title) : QString("Upload Images to Palvo");
        for (int i = 0; i < n; ++i) {
            if (!isPositiveDecimal(widths[i]) || !isPositiveDecimal(heights[i]))
                return QUPLOAD_ERR_BAD_ARGUMENTS;
            args.files << text(files[i]);
            args.widths << text(widths[i]).toInt();
            args.heights << text(heights[i]).toInt();
        }
        return uploadImages(args);
    });
}

int32_t DownloadInternetFile(void* parentWindow, const char* address, const char* targetPath) {
    (void)parentWindow; // the caller shows its own progress and messages
    return guarded<int32_t>(
        0, [&] { return palvo::qupload::downloadFile(text(address), text(targetPath)) ? 1 : 0; });
}

} // extern "C"

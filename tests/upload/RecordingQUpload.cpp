// A build of the upload library's interface that records what it was handed
// into the file named by PALVO_RECORD_FILE, for the binding's tests and the
// upload run's. With PALVO_RECORD_DETAILS set, UploadImagesToServer also
// records the size of every file it was handed as it finds it ("Present
// path size", -1 when missing) and the lines of the file named there
// ("Listed line"). PALVO_RECORD_RESULT replaces its result.
#include "QUploadApi.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
void record(const std::string& line) {
    const char* path = std::getenv("PALVO_RECORD_FILE");
    if (!path)
        return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
}
std::string join(const char* const* list) {
    std::string out;
    for (; list && *list; ++list)
        out += std::string(*list) + "|";
    return out;
}
} // namespace

extern "C" {

QUPLOAD_EXPORT int16_t CheckForUpdate(void*, const char* programName, const char* version,
                                      int32_t interactive) {
    record(std::string("CheckForUpdate ") + programName + " " + version + " " +
           std::to_string(interactive));
    return 9;
}

#ifndef RECORDING_WITHOUT_PROXY
QUPLOAD_EXPORT void PromptForProxySettings(void*) {
    record("PromptForProxySettings");
}
#endif

QUPLOAD_EXPORT int16_t UploadImagesToServer(void*, const char* programName, const char* version,
                                            const char* operation, const char* title,
                                            const char* const* files, int32_t reserved1,
                                            int32_t reserved2, const char* const* widths,
                                            const char* const* heights) {
    record(std::string("UploadImagesToServer ") + programName + ";" + version + ";" + operation +
           ";" + title + ";" + join(files) + ";" + std::to_string(reserved1) + ";" +
           std::to_string(reserved2) + ";" + join(widths) + ";" + join(heights));
    int n = 0;
    for (; files && files[n]; ++n) {
    }
    if (const char* details = std::getenv("PALVO_RECORD_DETAILS")) {
        for (int i = 0; i < n; ++i) {
            struct stat st {};
            const long long size = ::stat(files[i], &st) == 0 ? (long long)st.st_size : -1;
            record(std::string("Present ") + files[i] + " " + std::to_string(size));
        }
        if (FILE* f = std::fopen(details, "rb")) {
            char line[4096];
            while (std::fgets(line, sizeof line, f)) {
                std::string text(line);
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                record("Listed " + text);
            }
            std::fclose(f);
        }
    }
    if (const char* forced = std::getenv("PALVO_RECORD_RESULT"))
        return int16_t(std::atoi(forced));
    return int16_t(n);
}

QUPLOAD_EXPORT int32_t DownloadInternetFile(void*, const char* address, const char* target) {
    record(std::string("DownloadInternetFile ") + address + " " + target);
    return 1;
}
}

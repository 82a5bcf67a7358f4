#pragma once

#include <QString>

namespace palvo {

// The diagnostic log: "Log.txt" in the program folder, active only in a run
// started with "/DEBUG" (or "--debug"). The first line of a logged run moves
// the previous log to "Log.old". Every line also goes to standard error as
// the debugger output. Writing never fails towards the caller.
class DebugLog {
public:
    // Where the log lives (with a trailing "/").
    static void setProgramFolder(const QString& folder);
    // The first command-line argument: "/DEBUG" in any letter case turns the
    // log on from the first line, before start-up sets the flag.
    static void setFirstArgument(const QString& argument);
    static void setDebugLogging(bool on);
    [[nodiscard]] static bool active();

    static void write(const QString& source, const QString& text);

    // The file line: "[" date and time "] " source ": " text.
    [[nodiscard]] static QString fileLine(const QString& source, const QString& text);

    // A fresh run: the next write rotates again (tests).
    static void resetFirstWrite();
};

// True for "/DEBUG" and "--debug" in any letter case.
[[nodiscard]] bool IsDebugSwitch(const QString& argument);
// True for "/UNINSTALL" and "--uninstall" in any letter case.
[[nodiscard]] bool IsUninstallSwitch(const QString& argument);

} // namespace palvo

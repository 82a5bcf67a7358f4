#include "shell/CommandLine.h"

#include "foundation/DebugLog.h"

#include <QFileInfo>

namespace palvo {

StartArgument ClassifyFirstArgument(const QStringList& arguments) {
    if (arguments.isEmpty() || arguments.first().isEmpty())
        return StartArgument::None;
    const QString& first = arguments.first();
    if (IsUninstallSwitch(first))
        return StartArgument::Uninstall;
    if (IsDebugSwitch(first))
        return StartArgument::Debug;
    if (QFileInfo(first).isFile())
        return StartArgument::Picture;
    return StartArgument::Camera;
}

QStringList AbsoluteFileArguments(const QStringList& arguments) {
    // Only what start-up would open as a picture; a switch stays a switch
    // even when a file of its name lies in the working folder.
    QStringList resolved = arguments;
    if (ClassifyFirstArgument(arguments) == StartArgument::Picture)
        resolved.first() = QFileInfo(resolved.first()).absoluteFilePath();
    return resolved;
}

} // namespace palvo

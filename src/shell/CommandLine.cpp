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
    QStringList resolved = arguments;
    if (!resolved.isEmpty() && !resolved.first().isEmpty() && QFileInfo(resolved.first()).isFile())
        resolved.first() = QFileInfo(resolved.first()).absoluteFilePath();
    return resolved;
}

} // namespace palvo

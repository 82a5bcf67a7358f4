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
    QStringList resolved;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        resolved << (!argument.isEmpty() && info.isFile() ? info.absoluteFilePath() : argument);
    }
    return resolved;
}

} // namespace palvo

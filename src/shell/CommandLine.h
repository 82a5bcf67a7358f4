#pragma once

#include <QString>
#include <QStringList>

namespace palvo {

// What the first command-line argument asks for at start-up.
enum class StartArgument {
    None,      // no argument
    Debug,     // "/DEBUG" or "--debug": logging on; counts as no argument
    Uninstall, // "/UNINSTALL" or "--uninstall"
    Picture,   // the path of an existing file: open that picture
    Camera,    // anything else goes to the camera argument handling
};

[[nodiscard]] StartArgument ClassifyFirstArgument(const QStringList& arguments);

} // namespace palvo

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

// The arguments with the first one made absolute when start-up would open it
// as a picture (ClassifyFirstArgument), so that a picture named relative to the folder the program
// was started in keeps its meaning once the program changes its working folder, and in the running
// instance a second start hands it to. The rest (such as the "SETTINGS" after a camera switch)
// stays as given.
[[nodiscard]] QStringList AbsoluteFileArguments(const QStringList& arguments);

} // namespace palvo

#pragma once

namespace palvo {

// The program entry: runs the application and returns its exit code.
int PSender(int argc, char** argv);

} // namespace palvo

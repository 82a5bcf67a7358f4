#pragma once

#include <QString>

namespace palvo {

// The program's version texts (the version resource of the Windows build).
inline constexpr const char* kFileVersion = "1.0.4.3";
inline constexpr const char* kProductVersion = "v1.04";
inline constexpr const char* kDefaultProgramName = "Palvo Sender";

QString FileVersionText();
QString ProductVersionText();

} // namespace palvo

#include "foundation/Version.h"

namespace palvo {

QString FileVersionText() {
    return QString::fromLatin1(kFileVersion);
}
QString ProductVersionText() {
    return QString::fromLatin1(kProductVersion);
}

} // namespace palvo

#pragma once

#include <QString>

#include <cstdint>

class QWidget;

namespace palvo::qupload {

// Asks the service for the newest version (GET /api/update). Returns 0 when
// there is nothing to do (up to date, or the user declined), 1 when the
// update was opened and the program may go on, QUPLOAD_UPDATE_MUST_EXIT when
// the user chose to install an update that needs the program to end, or a
// negative QUPLOAD_ERR_* code. Non-interactive checks say nothing unless an
// update exists.
std::int16_t checkForUpdate(QWidget* parent, const QString& programName, const QString& version,
                            bool interactive);

} // namespace palvo::qupload

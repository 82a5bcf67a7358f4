#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace palvo::qupload {

struct UploadArgs {
    QWidget* parent = nullptr;
    QString programName;
    QString version;
    QString title;
    QStringList files;
    QList<int> widths;
    QList<int> heights;
};

// Signs in when needed and sends the files one by one to the configured
// frame; returns the number of pictures the service holds from this run
// (> 0) only when the run went through every file, else one of the
// QUPLOAD_ERR_* codes.
std::int16_t uploadImages(const UploadArgs& args);

} // namespace palvo::qupload

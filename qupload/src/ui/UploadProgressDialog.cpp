#include "UploadProgressDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace palvo::qupload {

UploadProgressDialog::UploadProgressDialog(QWidget* parent, const QString& title)
    : QDialog(parent) {
    setObjectName("dlgUploadProgress");
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setTextFormat(Qt::PlainText); // holds file names
    lblStatus->setMinimumWidth(360);
    lblBytes = new QLabel(this);
    lblBytes->setObjectName("lblBytes");
    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName("pbProgress");
    pbProgress->setRange(0, 1000);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnCancel, &QPushButton::clicked, this, [this] {
        m_cancel = true;
        btnCancel->setEnabled(false);
        lblStatus->setText("Cancelling...");
    });
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus);
    layout->addWidget(pbProgress);
    layout->addWidget(lblBytes);
    layout->addLayout(row);
}

void UploadProgressDialog::setStatus(const QString& text) {
    if (!m_cancel)
        lblStatus->setText(text);
}

void UploadProgressDialog::setBytes(qint64 done, qint64 total) {
    const QLocale locale;
    pbProgress->setValue(total > 0 ? int(std::min<qint64>(1000, done * 1000 / total)) : 0);
    lblBytes->setText(
        QString("%1 of %2").arg(locale.formattedDataSize(done), locale.formattedDataSize(total)));
}

void UploadProgressDialog::reject() {
    btnCancel->click();
}

} // namespace palvo::qupload

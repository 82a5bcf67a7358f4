#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace palvo::qupload {

// The upload's progress: which picture of how many, the bytes sent so far of
// all pictures, and Cancel. Closing the window counts as Cancel.
class UploadProgressDialog : public QDialog {
public:
    UploadProgressDialog(QWidget* parent, const QString& title);

    void setStatus(const QString& text);
    void setBytes(qint64 done, qint64 total);
    bool cancelRequested() const { return m_cancel; }

    QLabel* lblStatus;
    QLabel* lblBytes;
    QProgressBar* pbProgress;
    QPushButton* btnCancel;

protected:
    void reject() override;

private:
    bool m_cancel = false;
};

} // namespace palvo::qupload

// The modeless cancel dialog of long operations: a text line, a progress
// bar, "&Pause"/"&Weiter" and "&Abbruch". Escape and the abort button set
// the frontend's abort flag; pause holds the operation inside the pump
// until "go on".
#pragma once

#include <QDialog>

#include "settings/frontend.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace orbisto::gui {

class ProgressDialog : public QDialog {
    Q_OBJECT
  public:
    ProgressDialog(Frontend& frontend, const ProgressTexts& texts, int range_max, QWidget* parent);

    void set_text(const QString& text);
    void set_value(int value);
    bool paused() const { return paused_; }

  protected:
    void reject() override;  // Escape and the close button abort

  private:
    void toggle_pause();
    void abort();

    Frontend& frontend_;
    ProgressTexts texts_;
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* pause_;
    QPushButton* abort_;
    bool paused_ = false;
};

}  // namespace orbisto::gui

#include "gui/progress_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/qt_text.h"

namespace orbisto::gui {

ProgressDialog::ProgressDialog(Frontend& frontend, const ProgressTexts& texts, int range_max,
                               QWidget* parent)
    : QDialog(parent), frontend_(frontend), texts_(texts) {
    setObjectName(QStringLiteral("progress"));
    setWindowTitle(qs(texts.abort).remove(QLatin1Char('&')));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    label_ = new QLabel(qs(texts.text), this);
    label_->setTextFormat(Qt::PlainText);
    label_->setMinimumWidth(360);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, range_max > 0 ? range_max : 0);
    pause_ = new QPushButton(qs(texts.pause), this);
    abort_ = new QPushButton(qs(texts.abort), this);
    pause_->setObjectName(QStringLiteral("pause"));
    abort_->setObjectName(QStringLiteral("abort"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(pause_);
    buttons->addWidget(abort_);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    connect(pause_, &QPushButton::clicked, this, &ProgressDialog::toggle_pause);
    connect(abort_, &QPushButton::clicked, this, &ProgressDialog::abort);
}

void ProgressDialog::set_text(const QString& text) {
    label_->setText(text);
}

void ProgressDialog::set_value(int value) {
    if (bar_->maximum() > 0) bar_->setValue(std::min(value, bar_->maximum()));
}

void ProgressDialog::reject() {
    abort();
}

void ProgressDialog::toggle_pause() {
    paused_ = !paused_;
    pause_->setText(qs(paused_ ? texts_.go_on : texts_.pause));
    if (paused_) label_->setText(qs(texts_.paused));
}

void ProgressDialog::abort() {
    frontend_.request_abort();
    paused_ = false;
    pause_->setText(qs(texts_.pause));
    label_->setText(qs(texts_.aborting));
    abort_->setEnabled(false);
}

}  // namespace orbisto::gui

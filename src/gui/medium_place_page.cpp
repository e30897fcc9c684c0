#include "gui/medium_place_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/dialog_parts.h"
#include "gui/dialogs.h"
#include "gui/qt_text.h"

namespace orbisto::gui {

namespace {

// The changer buttons are meant for places in a DACAL changer.
bool changer_place(const QString& place) {
    return place.size() >= 6 && place.startsWith(QStringLiteral("DACAL"));
}

}  // namespace

MediumPlacePage::MediumPlacePage(const MediumInfo& info, std::uint32_t medium_flags,
                                 const DialogEnv& env, QWidget* parent)
    : QWidget(parent), changer_(static_cast<bool>(env.changer)) {
    setObjectName(QStringLiteral("place_page"));
    auto* layout = new QVBoxLayout(this);
    lent_ = new QCheckBox(text_for(env, "verliehen", "lent"), this);
    lent_->setObjectName(QStringLiteral("lent"));
    layout->addWidget(lent_);
    auto* form = new QFormLayout;
    to_ = text_field_edit(info.lent_to, "lent_to", this);
    from_ = text_field_edit(info.lent_from, "lent_from", this);
    until_ = text_field_edit(info.lent_until, "lent_until", this);
    number_ = text_field_edit(info.number, "number", this);
    place_ = text_field_edit(info.place, "place", this);
    form->addRow(text_for(env, "an:", "to:"), to_);
    form->addRow(text_for(env, "am:", "on:"), from_);
    form->addRow(text_for(env, "bis:", "until:"), until_);
    form->addRow(text_for(env, "Medium-Nummer:", "medium number:"), number_);
    form->addRow(text_for(env, "Aufbewahrungsort:", "storage place:"), place_);
    layout->addLayout(form);

    auto* changer = new QHBoxLayout;
    load_ = new QPushButton(text_for(env, "anfahren", "move to"), this);
    load_->setObjectName(QStringLiteral("changer_load"));
    unload_ = new QPushButton(text_for(env, "einfahren", "move in"), this);
    unload_->setObjectName(QStringLiteral("changer_unload"));
    changer->addStretch();
    changer->addWidget(load_);
    changer->addWidget(unload_);
    layout->addLayout(changer);
    layout->addStretch();
    if (changer_) {
        const auto move = env.changer;
        connect(load_, &QPushButton::clicked, this, [move] { move(true); });
        connect(unload_, &QPushButton::clicked, this, [move] { move(false); });
    }

    // A medium that is not lent has no lending texts.
    const bool lent = (medium_flags & MEDIUM_LENT) != 0;
    lent_->setChecked(lent);
    set_lent(lent);
    connect(lent_, &QCheckBox::toggled, this, [this](bool on) { set_lent(on); });
    connect(place_, &QLineEdit::textChanged, this, [this] { update_changer_buttons(); });
    update_changer_buttons();
}

void MediumPlacePage::set_lent(bool on) {
    for (QLineEdit* edit : {to_, from_, until_}) {
        if (!on) edit->clear();
        edit->setEnabled(on);
    }
}

void MediumPlacePage::update_changer_buttons() {
    const bool shown = changer_ && changer_place(place_->text());
    load_->setVisible(shown);
    unload_->setVisible(shown);
}

void MediumPlacePage::store(MediumInfo& info, std::uint32_t& medium_flags) const {
    if (lent_->isChecked())
        medium_flags |= MEDIUM_LENT;
    else
        medium_flags &= ~MEDIUM_LENT;
    store_text_field(info.lent_to, to_);
    store_text_field(info.lent_from, from_);
    store_text_field(info.lent_until, until_);
    store_text_field(info.number, number_);
    store_text_field(info.place, place_);
}

}  // namespace orbisto::gui

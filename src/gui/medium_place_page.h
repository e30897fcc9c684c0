// The page "Ort" of the medium information sheet: whether and to whom the
// medium is lent, from when until when, its number and its storage place,
// and the two CD changer buttons. The lending fields are enabled only while
// the lending box is checked; unchecking it empties them.
#pragma once

#include <QWidget>
#include <cstdint>

#include "catalog/records.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace orbisto::gui {

struct DialogEnv;

class MediumPlacePage : public QWidget {
  public:
    MediumPlacePage(const MediumInfo& info, std::uint32_t medium_flags, const DialogEnv& env,
                    QWidget* parent);

    // Stores the page's texts (cut to their fields) and the lending flag.
    void store(MediumInfo& info, std::uint32_t& medium_flags) const;

  private:
    void set_lent(bool on);
    void update_changer_buttons();

    QCheckBox* lent_ = nullptr;
    QLineEdit* to_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* until_ = nullptr;
    QLineEdit* number_ = nullptr;
    QLineEdit* place_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* unload_ = nullptr;
    bool changer_ = false;
};

}  // namespace orbisto::gui

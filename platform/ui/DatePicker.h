#pragma once

#include <QDateEdit>
#include <string>
#include <string_view>

#include "platform/vb/OleDate.h"

namespace quill::ui {

// A date picker as the system's forms use it: its value reads back as text
// in the regional short date form (VB's CStr of the picker's Value), can be
// set from any text CDate reads, and a change made by the user is told apart
// from one made by code: userChanged is emitted only for the first.
class DatePicker : public QDateEdit {
  Q_OBJECT

 public:
  explicit DatePicker(QWidget* parent = nullptr);

  // The date as text in the regional short date form ("08-12-2026").
  std::string text() const;
  // Sets the date from text CDate reads; false (and no change) otherwise.
  bool setText(std::string_view text);
  Date value() const;
  void setValue(Date date);
  void setToday();

  // A date picked or typed by the user, as a user does: the change is
  // reported through userChanged.
  void pick(Date date);

 signals:
  void userChanged();

 private:
  void applyRegionalFormat();
  bool byCode_ = false;
};

}  // namespace quill::ui

#include "platform/ui/DatePicker.h"

#include "platform/vb/Dates.h"
#include "platform/vb/RegionalSettings.h"

namespace quill::ui {

namespace {

QDate toQDate(Date date) {
  const vb::DateParts parts = vb::dateParts(date);
  return QDate(parts.year, parts.month, parts.day);
}

Date fromQDate(const QDate& date) { return vb::makeDate(date.year(), date.month(), date.day()); }

// The regional short date form ("dd-mm-yyyy") in Qt's display notation.
QString qtDisplayFormat(const vb::RegionalSettings& settings) {
  QString format = QString::fromStdString(settings.shortDateFormat);
  format.replace('m', 'M');
  return format;
}

}  // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
  setCalendarPopup(true);
  applyRegionalFormat();
  setToday();
  connect(this, &QDateEdit::dateChanged, this, [this] {
    if (!byCode_) emit userChanged();
  });
}

void DatePicker::applyRegionalFormat() { setDisplayFormat(qtDisplayFormat(vb::RegionalSettings::current())); }

std::string DatePicker::text() const { return vb::dateToText(value()); }

bool DatePicker::setText(std::string_view text) {
  const auto date = vb::parseDateText(text);
  if (!date) return false;
  setValue(*date);
  return true;
}

Date DatePicker::value() const { return fromQDate(date()); }

void DatePicker::setValue(Date date) {
  byCode_ = true;
  setDate(toQDate(date));
  byCode_ = false;
}

void DatePicker::setToday() { setValue(vb::today()); }

void DatePicker::pick(Date date) { setDate(toQDate(date)); }

}  // namespace quill::ui

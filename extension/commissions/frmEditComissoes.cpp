#include "extension/commissions/frmEditComissoes.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>

#include "extension/commissions/EditComissoes.h"

namespace quill {

namespace {
// In pixels.
constexpr int kMargin = 16;
constexpr int kCaption = 48;
constexpr int kRowHeight = 24;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kGap = 8;
}  // namespace

frmEditComissoes::frmEditComissoes(ui::Form& form, ui::UiServices& ui) : FormDialog(form, ui) {
  buildControls(EditComissoes::controls());
  const int width = 2 * kMargin + 3 * kButtonWidth + 2 * kGap;
  auto& title = widgetAs<QLabel>("Label1");
  QFont bold = title.font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.4);
  title.setFont(bold);
  title.setGeometry(kMargin, kMargin, width - 2 * kMargin, 28);

  int y = kMargin + 28 + kMargin;
  widget("Label2").setGeometry(kMargin, y, kCaption, kRowHeight);
  widget("campo").setGeometry(kMargin + kCaption, y, 64, kRowHeight);
  y += kRowHeight + kGap;
  widget("Label3").setGeometry(kMargin, y, kCaption, kRowHeight);
  widget("cb1").setGeometry(kMargin + kCaption, y, 140, kRowHeight);
  y += kRowHeight + 2 * kMargin;

  int x = kMargin;
  for (const char* name : {"btConf", "btImp", "btSair"}) {
    widget(name).setGeometry(x, y, kButtonWidth, kButtonHeight);
    x += kButtonWidth + kGap;
  }
  widget("btSair").setToolTip(QStringLiteral("Abandonar a opção."));
  setFixedSize(width, y + kButtonHeight + kMargin);
}

}  // namespace quill

#pragma once

namespace quill {

class ClassFactory;
namespace ui {
class UiServices;
}

// Registers the client/group discounts report by its form name.
void registerDiscountsForms(ClassFactory& factory, ui::UiServices& ui);

}  // namespace quill

#include "platform/automation/AutomationError.h"

#include <utility>

namespace quill {

AutomationError::AutomationError(std::int32_t number, std::string source, std::string description)
    : number_(number), source_(std::move(source)), description_(std::move(description)) {}

AutomationError AutomationError::withSource(std::string source) const {
  return AutomationError(number_, std::move(source), description_);
}

std::string vbErrorDescription(std::int32_t number) {
  switch (number) {
    case vberr::InvalidCall:
      return "Invalid procedure call or argument";
    case vberr::Overflow:
      return "Overflow";
    case vberr::SubscriptOutOfRange:
      return "Subscript out of range";
    case vberr::DivisionByZero:
      return "Division by zero";
    case vberr::TypeMismatch:
      return "Type mismatch";
    case vberr::FileNotFound:
      return "File not found";
    case vberr::PathFileAccessError:
      return "Path/File access error";
    case vberr::ObjectNotSet:
      return "Object variable or With block variable not set";
    case vberr::InvalidUseOfNull:
      return "Invalid use of Null";
    case vberr::ObjectRequired:
      return "Object required";
    case vberr::CannotCreateObject:
      return "ActiveX component can't create object";
    case vberr::MemberNotSupported:
      return "Object doesn't support this property or method";
    case vberr::WrongArguments:
      return "Wrong number of arguments or invalid property assignment";
    case vberr::ServerUnavailable:
      return "The remote server machine does not exist or is unavailable";
    default:
      return "Application-defined or object-defined error";
  }
}

AutomationError asAutomationError(const std::exception& error, std::string source) {
  if (const auto* automation = dynamic_cast<const AutomationError*>(&error)) return *automation;
  return AutomationError(kUnexpectedFailure, std::move(source), error.what());
}

AutomationError vbError(std::int32_t number, std::string source) {
  return AutomationError(number, std::move(source), vbErrorDescription(number));
}

}  // namespace quill

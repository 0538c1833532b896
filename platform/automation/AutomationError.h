#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace quill {

// An automation error as VB's Err object carries it: a number, the name of
// the component or routine that raised it, and a description. Handlers in the
// system show and compare these three, so they cross every border unchanged.
class AutomationError : public std::exception {
 public:
  AutomationError(std::int32_t number, std::string source, std::string description);

  std::int32_t number() const noexcept { return number_; }
  const std::string& source() const noexcept { return source_; }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

  // The same error raised again from another routine: number and description
  // kept, source replaced.
  AutomationError withSource(std::string source) const;

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

// VB's run-time error numbers that the platform raises.
namespace vberr {
inline constexpr std::int32_t InvalidCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t DivisionByZero = 11;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t PathFileAccessError = 75;
inline constexpr std::int32_t ObjectNotSet = 91;
inline constexpr std::int32_t InvalidUseOfNull = 94;
inline constexpr std::int32_t ObjectRequired = 424;
inline constexpr std::int32_t CannotCreateObject = 429;
inline constexpr std::int32_t MemberNotSupported = 438;
inline constexpr std::int32_t WrongArguments = 450;
inline constexpr std::int32_t ServerUnavailable = 462;
}  // namespace vberr

// The number of a failure that is not an automation error (E_FAIL).
inline constexpr std::int32_t kUnexpectedFailure = -2147467259;

// A caught error as a handler sees it: an automation error as it is, anything
// else as kUnexpectedFailure with its text, raised by `source`.
AutomationError asAutomationError(const std::exception& error, std::string source = "Quill");

// VB's own description of one of its run-time error numbers ("Type mismatch").
std::string vbErrorDescription(std::int32_t number);

// A VB run-time error with VB's description. The source defaults to the
// raising component's name as VB sets it (the project name).
AutomationError vbError(std::int32_t number, std::string source = "Quill");

}  // namespace quill

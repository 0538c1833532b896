#pragma once

#include <cstdint>
#include <string>

#include "erp/api/ApiRefusal.h"

namespace quill::erpapi {

// What an API object answers through UltimoErro and UltimaMensagem: the
// last refusal of its operations, cleared by every success.
class LastRefusal {
 public:
  // Keeps the refusal and answers its number.
  std::int32_t refuse(ApiRefusal refusal) {
    last_ = std::move(refusal);
    return last_.number;
  }
  // Clears the last refusal and answers 0.
  std::int32_t succeed() {
    last_ = {};
    return 0;
  }
  std::int32_t number() const { return last_.number; }
  const std::string& message() const { return last_.message; }

 private:
  ApiRefusal last_;
};

}  // namespace quill::erpapi

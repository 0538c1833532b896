#include "platform/ui/LongWork.h"

#include <algorithm>

namespace quill::ui {

LongWork::LongWork(UiServices& ui, std::string caption, std::size_t total)
    : ui_(ui), busy_(ui), caption_(std::move(caption)), total_(total), every_(std::max<std::size_t>(1, total / 100)) {
  if (total_ > 0) ui_.showProgress(caption_, 0, static_cast<std::int64_t>(total_));
  nextReport_ = every_;
}

LongWork::~LongWork() {
  try {
    if (total_ > 0) ui_.showProgress(caption_, 0, 0);
  } catch (...) {
    // The bar is not worth a failure of its own.
  }
}

void LongWork::step(std::size_t done) {
  done_ = done;
  if (total_ == 0 || (done < nextReport_ && done < total_)) return;
  nextReport_ = done + every_;
  ui_.showProgress(caption_, static_cast<std::int64_t>(std::min(done, total_)), static_cast<std::int64_t>(total_));
}

}  // namespace quill::ui

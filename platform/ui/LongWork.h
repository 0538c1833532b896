#pragma once

#include <cstddef>
#include <string>

#include "platform/ui/UiServices.h"

namespace quill::ui {

// Long work as the user sees it: the busy pointer for as long as it lasts
// and a progress bar that moves as its steps are done. The bar is told at
// most about a hundred times, so that showing it costs nothing beside the
// work; it goes away, and the pointer comes back, when the object does
// (whether the work ended or failed).
class LongWork {
 public:
  LongWork(UiServices& ui, std::string caption, std::size_t total);
  ~LongWork();
  LongWork(const LongWork&) = delete;
  LongWork& operator=(const LongWork&) = delete;

  // `done` of the total steps are done.
  void step(std::size_t done);
  // One more step is done.
  void next() { step(done_ + 1); }

 private:
  UiServices& ui_;
  BusyCursor busy_;
  std::string caption_;
  std::size_t total_;
  std::size_t every_;
  std::size_t done_ = 0;
  std::size_t nextReport_ = 0;
};

}  // namespace quill::ui

#pragma once

#include <cstddef>

namespace quill::sql {

// Told of every change to the visible rows of a recordset (its rows as
// filtered and sorted, deleted rows left out), so that a view bound to it
// (a grid's table model) can follow. Positions are 0-based positions among
// the visible rows. Insertions and removals come in pairs, before and after
// the change, as item views need them; so does a reset, after which every
// position may mean another row (a new filter or sort, new columns, Close).
//
// Observers are not owned: one removes itself before it goes away.
class RecordsetObserver {
 public:
  virtual ~RecordsetObserver() = default;

  virtual void rowsAboutToBeInserted(std::size_t first, std::size_t last) {}
  virtual void rowsInserted() {}
  virtual void rowsAboutToBeRemoved(std::size_t first, std::size_t last) {}
  virtual void rowsRemoved() {}
  // Values of a visible row changed: an edit, an edit undone, the values the
  // database stored after a save.
  virtual void rowChanged(std::size_t position) {}
  virtual void aboutToReset() {}
  virtual void reset() {}
};

}  // namespace quill::sql

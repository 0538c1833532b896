#pragma once

namespace quill::host {

// Told of every change to the document an editor holds, right around the
// change, so that a view (the lines model) can bracket it. The editor never
// shows a message box between an "about to" call and the one that follows.
class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  virtual void documentAboutToBeReplaced() {}
  virtual void documentReplaced() {}
  virtual void headerChanged() {}
  virtual void lineAboutToBeInserted(int row) {}
  virtual void lineInserted(int row) {}
  virtual void lineAboutToBeRemoved(int row) {}
  virtual void lineRemoved(int row) {}
  virtual void lineChanged(int row) {}
  // The editor's status line says something else.
  virtual void statusChanged() {}
};

}  // namespace quill::host

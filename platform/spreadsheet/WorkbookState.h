#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/spreadsheet/WorkbookData.h"

namespace quill::spreadsheet {

class Application;

// A workbook open in the application: its contents and what it is called.
struct WorkbookState {
  WorkbookData data;
  std::string name;                // "Livro1" until it is saved, then the file's name
  std::filesystem::path fullName;  // empty until it is saved
  bool saved = true;               // nothing changed since it was made or saved
  bool closed = false;
};

// What a late-bound object of a workbook holds on to: the application (which
// it keeps alive, as a reference to any of its objects keeps a running
// application), the workbook, and the sheet when it is one of a sheet's.
struct ObjectRef {
  std::shared_ptr<Application> app;
  std::shared_ptr<WorkbookState> book;
  SheetData* sheet = nullptr;  // owned by the workbook, which this keeps alive

  // Every call first: the remote-server error (462) once the application
  // has quit, "disconnected" once the workbook is closed (Application.h).
  void require() const;
  std::size_t sheetIndex() const;
  // Makes the sheet the active one of its workbook, and the workbook the
  // application's.
  void activateSheet() const;
};

}  // namespace quill::spreadsheet

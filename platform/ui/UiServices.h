#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace quill::ui {

// A message box as the system shows it: prompt, VB style flags (buttons,
// icon, default button) and title.
struct MessageBox {
  std::string prompt;
  int style = 0;  // vbOKOnly + vbInformation + vbDefaultButton2 ...
  std::string title;

  int buttons() const { return style & 0x0F; }
  int icon() const { return style & 0xF0; }
  int defaultButton() const { return style & 0xF00; }
};

// What a save-file dialog is asked for.
struct SaveFileRequest {
  std::string initialFileName;
  std::string filter;  // VB style: "Description (*.x)|*.x|..."
  std::string title;
};

// The user-interface services every form and hook goes through, so that
// business code never calls a toolkit directly and tests can answer in its
// place. One object is injected from the top (the host, or a test).
class UiServices {
 public:
  virtual ~UiServices() = default;

  // MsgBox: shows the box and answers VB's button value (vbOK, vbYes, ...).
  virtual int msgBox(const MessageBox& box) = 0;
  int msgBox(std::string_view prompt, int style = 0, std::string_view title = {}) {
    return msgBox(MessageBox{std::string(prompt), style, std::string(title)});
  }

  // The two error boxes of the system, both with an exclamation icon:
  // "Erro " + description, shown by the extension's public operations, and
  // "Erro " + number + " - " + description, shown by the event handlers of
  // its forms. An error that is not an automation error shows its text.
  void showError(const std::exception& error, std::string_view title);
  void showNumberedError(const std::exception& error, std::string_view title);
  // The first box's prompt, for a caller that reports it elsewhere first.
  static std::string errorPrompt(const std::exception& error);

  // Shows a form modally over the owner window (0: the active window) and
  // returns when it is hidden or closed.
  virtual void showModal(QWidget& form, std::int32_t owner = 0) = 0;
  // Shows a form without blocking.
  virtual void showModeless(QWidget& form) = 0;
  // DoEvents: lets the window system process what is pending.
  virtual void processEvents() = 0;
  // Lets the windows repaint and the timers tick while the caller waits on
  // something, without taking the user's input: nothing the user does
  // meanwhile can start another action.
  virtual void processEventsExceptInput() = 0;
  // The hourglass pointer on (true) or back to normal (false).
  virtual void setBusyCursor(bool busy) = 0;
  // Long work under way: a progress bar at `done` of `total` steps under a
  // caption; total 0 ends it. The windows repaint meanwhile; the user's
  // input waits until the work is over. By default nothing is shown.
  virtual void showProgress(std::string_view caption, std::int64_t done, std::int64_t total) {}
  // The chosen file name, or nothing when the user cancelled.
  virtual std::optional<std::filesystem::path> saveFileDialog(const SaveFileRequest& request) = 0;
  // Opens a file with the program the system associates with it.
  virtual bool openWithDefaultProgram(const std::filesystem::path& file) = 0;

  // A timer on the calling thread with a callback (SetTimer without a
  // window): answers its identifier, never 0. killTimer stops it; an unknown
  // or 0 identifier is ignored.
  virtual std::uint32_t setTimer(int intervalMs, std::function<void()> onTick) = 0;
  virtual void killTimer(std::uint32_t timerId) = 0;
};

// The hourglass for as long as a long piece of work lasts, back to normal
// however it ends.
class BusyCursor {
 public:
  explicit BusyCursor(UiServices& ui) : ui_(ui) { ui_.setBusyCursor(true); }
  ~BusyCursor() { ui_.setBusyCursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  UiServices& ui_;
};

}  // namespace quill::ui

// The commands only the GUI test driver knows, beyond those of every script
// player: keys, the window's layout, screenshots, input made while the
// program is busy, files held or dropped, a second copy of the program. They
// are checked by the shared command table, as the shared commands are.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "frontends/headless/script_commands.h"

namespace fp::driver {

enum class Key { escape, enter };

class GuiPlayer : public headless::ScriptPlayer {
 public:
  // "key escape|enter": through the focus window's queue.
  virtual void press_key(Key key) = 0;
  // "layout": the top-most window against its template.
  virtual void check_layout() = 0;
  // "screenshot FILE.bmp"
  virtual void save_screenshot(const std::string& path) = 0;
  // "hold FILE": open for reading, sharing only reading, as another program would.
  virtual void hold_file(const std::string& path) = 0;
  // "describe": the controls of the top-most window, on stderr.
  virtual void describe_window() = 0;
  // "start click ID": returns once the click's operation holds the program;
  // boxes it asks first get the answers queued before and print as usual.
  virtual void start_click(int id) = 0;
  // "post click ID", "post key enter|escape": input made while the program is busy.
  virtual void post_click(int id) = 0;
  virtual void post_key(Key key) = 0;
  // "wait": until the program takes input again.
  virtual void wait() = 0;
  // "drop FILE": dropped onto the main window.
  virtual void drop_file(const std::string& path) = 0;
  // "about": the system menu's About box.
  virtual void about() = 0;
  // "second [WORD...]": another copy of the program started meanwhile, with
  // the words as its command line instead of the first one's.
  virtual void second_instance(const std::vector<std::string>& arguments) = 0;
  // "cursor": the cursor the program shows now; "cursor boxes": from now on
  // also as each of its boxes and dialogs opens.
  virtual void print_cursor() = 0;
  virtual void print_cursor_at_boxes() = 0;

  bool play_own_command(const headless::ScriptLine& line) override;
};

std::span<const headless::ScriptCommand<GuiPlayer>> gui_commands();

}  // namespace fp::driver

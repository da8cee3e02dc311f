// programmer-sim.exe: the Windows program on the simulated board. The socket
// follows the selected row: each chip type keeps its contents for the run and
// starts in its factory state. With --empty-socket the socket stays empty, as
// programmer-script starts, so that both frontends can play the same scenarios.
#include <windows.h>

#include <string_view>

#include "frontends/win32/programmer_app.h"
#include "frontends/win32/sim_channel.h"
#include "frontends/win32/sim_hooks.h"
#include "platform/win32/inpout_port.h"
#include "platform/win32/process_priority.h"
#include "sim/following_socket.h"
#include "sim/simulated_board.h"
#include "ui/texts.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  fp::remove_current_directory_from_dll_search();
  const bool empty_socket = std::wstring_view(command_line) == fp::win32::EMPTY_SOCKET_OPTION;

  fp::sim::SimulatedBoard board;
  fp::sim::VirtualClock clock(board);
  fp::ProcessPriority priority;
  fp::sim::FollowingSocket socket(board);
  fp::headless::SimCommands sim_commands(board);

  return fp::win32::run_programmer(
      instance, board, clock, priority, {fp::text::ABOUT_SIMULATED_BOARD},
      [&](fp::ProgrammerContext& context, fp::win32::Win32MainView& view) {
        if (!empty_socket) {
          context.chip_selected = [&socket](const fp::ChipDescriptor& row) {
            socket.follow(row.facts.model);
          };
        }
        view.dialog_ended = [&view, ended = uintptr_t{0}](int, intptr_t result) mutable {
          SetPropW(view.window(), fp::win32::DIALOG_RESULT_PROPERTY,
                   reinterpret_cast<HANDLE>(result));
          SetPropW(view.window(), fp::win32::DIALOGS_ENDED_PROPERTY,
                   reinterpret_cast<HANDLE>(++ended));
        };
        view.message_hook =
            fp::win32::sim_channel_hook(sim_commands, board, std::move(view.message_hook));
      });
}

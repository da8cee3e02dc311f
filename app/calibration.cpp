#include "app/calibration.h"

#include "bus/number_text.h"
#include "ui/message_box.h"
#include "ui/texts.h"

namespace fp {

bool BoxedCalibrationSteps::socket_empty() {
  return view_.message_box(text::REMOVE_CHIP, text::PROGRAMMER,
                           mb::YESNO | mb::ICON_WARNING | mb::DEFBUTTON2) == answer::YES;
}

void BoxedCalibrationSteps::timer_failed() {
  view_.message_box(text::TIMER_ERROR, text::PROGRAMMER, mb::ICON_ERROR);
}

void BoxedCalibrationSteps::timer_counted(uint32_t loops) {
  view_.message_box(decimal_text(loops), text::TIMER_LOOPS, mb::OK);
}

void BoxedCalibrationSteps::voltage_on() {
  view_.message_box(text::VPP_ON, text::PROGRAMMER, mb::OK | mb::ICON_WARNING);
}

uint32_t measure_timer_loops(ProgrammerContext& context) {
  PortIo& port = context.bus.port();
  port.out(CONTROL_PORT, 0x08);
  port.out(CONTROL_PORT, 0x00);
  uint32_t polls = 0;
  while (true) {
    const uint8_t status = port.in(STATUS_PORT);
    ++polls;
    if (polls == TIMER_POLL_LIMIT) break;
    if ((status & 0x08) == 0) break;
  }
  return polls - 1;
}

bool calibrate(ProgrammerContext& context, CalibrationSteps& steps) {
  if (!steps.socket_empty()) return false;
  const uint32_t loops = measure_timer_loops(context);
  if (loops >= TIMER_FAILURE_COUNT) {
    steps.timer_failed();
    return false;
  }
  steps.timer_counted(loops);
  context.bus.latch_write(LATCH_CTRL, CTRL_IDLE | CTRL_VPP);
  steps.voltage_on();
  context.bus.latch_write(LATCH_CTRL, CTRL_IDLE);
  context.calibrated = 1;
  return true;
}

}  // namespace fp

// The calibration: with the socket empty, the timer's loops are counted on
// the board and the programming voltage is switched on for the operator to
// measure. The window asks and shows through message boxes, the command line
// through its console; both answer the steps below.
#pragma once

#include <cstdint>

#include "chips/common/programmer_context.h"
#include "ui/views.h"

namespace fp {

inline constexpr uint32_t TIMER_POLL_LIMIT = 100001;
inline constexpr uint32_t TIMER_FAILURE_COUNT = 99999;

class CalibrationSteps {
 public:
  virtual ~CalibrationSteps() = default;
  // Whether the socket is empty: the voltage must reach no chip.
  virtual bool socket_empty() = 0;
  virtual void timer_failed() = 0;
  virtual void timer_counted(uint32_t loops) = 0;
  // Called while the programming voltage is on; it goes off on return.
  virtual void voltage_on() = 0;
};

// The window's steps: the operator says whether the socket is empty, the
// results come in message boxes.
class BoxedCalibrationSteps : public CalibrationSteps {
 public:
  explicit BoxedCalibrationSteps(DialogView& view) : view_(view) {}
  bool socket_empty() override;
  void timer_failed() override;
  void timer_counted(uint32_t loops) override;
  void voltage_on() override;

 private:
  DialogView& view_;
};

// The timer's loops until it stopped, or TIMER_FAILURE_COUNT and more when it never did.
uint32_t measure_timer_loops(ProgrammerContext& context);

// True when the board was calibrated (context.calibrated is then set).
bool calibrate(ProgrammerContext& context, CalibrationSteps& steps);

}  // namespace fp

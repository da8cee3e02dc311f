// The Linux port backends against a fake kernel: which register each access
// reaches, the claim and release of the port on every path, and the switch
// to real-time scheduling.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sched.h>
#include <sys/ioctl.h>

#include <csignal>
#include <vector>

#include "bus/programmer_bus.h"
#include "platform/posix/direct_port.h"
#include "platform/posix/ppdev_port.h"
#include "platform/posix/realtime_priority.h"
#include "platform/posix/release_on_signal.h"
#include "tests/posix/fake_system_calls.h"

namespace fp {
namespace {

using Call = test::FakeSystemCalls::Call;
using posix::DirectPort;
using posix::PpdevPort;

class NoStatusBar final : public StatusBar {
 public:
  void set_status_text(std::u16string_view) override {}
};

std::vector<Call> calls_after_open(const test::FakeSystemCalls& fake) {
  // open, PPEXCL, PPCLAIM, PPSETMODE, PPDATADIR
  return {fake.calls.begin() + 5, fake.calls.end()};
}

const std::vector<posix::PortWrite> IDLE_FAREWELL{
    {DATA_PORT, 0xC0}, {CONTROL_PORT, 2}, {CONTROL_PORT, 3}, {CONTROL_PORT, 2}};

TEST(PpdevPort, OpensClaimsExclusivelyInCompatibilityMode) {
  test::FakeSystemCalls fake;
  posix::SystemFailure error;
  auto port = PpdevPort::open(fake, "/dev/parport1", error);
  ASSERT_NE(port, nullptr) << posix::english(error);
  const std::vector<Call> expected{{"open", O_RDWR, 0},
                                   {"ioctl", PPEXCL, 0},
                                   {"ioctl", PPCLAIM, 0},
                                   {"ioctl", PPSETMODE, IEEE1284_MODE_COMPAT},
                                   {"ioctl", PPDATADIR, 0}};
  EXPECT_EQ(fake.calls, expected);
}

TEST(PpdevPort, MapsTheThreeRegistersToTheirIoctls) {
  test::FakeSystemCalls fake;
  fake.status_value = 0xA7;
  posix::SystemFailure error;
  auto port = PpdevPort::open(fake, "/dev/parport0", error);
  ASSERT_NE(port, nullptr);
  NoStatusBar bar;
  ProgrammerBus bus(*port, bar);
  bus.latch_write(LATCH_ADDR_MID, 0x12);
  EXPECT_EQ(bus.read_nibbles(), 0xAA);  // both nibbles from the status bits 4-7
  port->out(0x37B, 0x55);               // no such register: nothing reaches the port
  EXPECT_EQ(port->in(DATA_PORT), 0xFF);
  const std::vector<Call> expected{
      {"ioctl", PPWDATA, 0x12}, {"ioctl", PPWCONTROL, 6},   {"ioctl", PPWCONTROL, 7},
      {"ioctl", PPWCONTROL, 6}, {"ioctl", PPWCONTROL, 0},   {"ioctl", PPRSTATUS, 0xA7},
      {"ioctl", PPWCONTROL, 2}, {"ioctl", PPRSTATUS, 0xA7},
  };
  EXPECT_EQ(calls_after_open(fake), expected);
}

TEST(PpdevPort, ReleasesOnceWithTheBoardIdleWhenDone) {
  test::FakeSystemCalls fake;
  posix::SystemFailure error;
  {
    auto port = PpdevPort::open(fake, "/dev/parport0", error);
    ASSERT_NE(port, nullptr);
    port->set_farewell(IDLE_FAREWELL);
    port->release();
    port->out(DATA_PORT, 0x11);  // after the release nothing reaches the port
  }
  const std::vector<Call> expected{{"ioctl", PPWDATA, 0xC0}, {"ioctl", PPWCONTROL, 2},
                                   {"ioctl", PPWCONTROL, 3}, {"ioctl", PPWCONTROL, 2},
                                   {"ioctl", PPRELEASE, 0},  {"close", 0, 7}};
  EXPECT_EQ(calls_after_open(fake), expected);
}

TEST(PpdevPort, ReleasesWhenAnAccessFailsAndSaysWhich) {
  test::FakeSystemCalls fake;
  posix::SystemFailure error;
  auto port = PpdevPort::open(fake, "/dev/parport0", error);
  ASSERT_NE(port, nullptr);
  fake.fail_ioctl[PPWCONTROL] = EIO;
  port->out(CONTROL_PORT, 4);
  port->out(CONTROL_PORT, 5);
  ASSERT_TRUE(port->failure().has_value());
  EXPECT_EQ(posix::english(*port->failure()),
            "control write on /dev/parport0 failed: Input/output error");
  port.reset();
  EXPECT_EQ(fake.count("ioctl", PPRELEASE), 1u);
  EXPECT_EQ(fake.count("close"), 1u);
}

TEST(PpdevPort, OpenFailuresNameTheDeviceAndLeaveNothingOpen) {
  struct Case {
    const char* name;
    std::function<void(test::FakeSystemCalls&)> arrange;
    std::string error;
    size_t releases, closes;
  };
  const std::vector<Case> cases{
      {"no device", [](auto& f) { f.fail_open["/dev/parport3"] = ENOENT; },
       "cannot open /dev/parport3: No such file or directory", 0, 0},
      {"no permission", [](auto& f) { f.fail_open["/dev/parport3"] = EACCES; },
       "cannot open /dev/parport3: Permission denied", 0, 0},
      {"held by another driver", [](auto& f) { f.fail_ioctl[PPEXCL] = EBUSY; },
       "cannot claim /dev/parport3 exclusively: Device or resource busy", 0, 1},
      {"claim refused", [](auto& f) { f.fail_ioctl[PPCLAIM] = EBUSY; },
       "cannot claim /dev/parport3: Device or resource busy", 0, 1},
      {"no compatibility mode", [](auto& f) { f.fail_ioctl[PPSETMODE] = EINVAL; },
       "cannot set /dev/parport3 to compatibility mode: Invalid argument", 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakeSystemCalls fake;
    c.arrange(fake);
    posix::SystemFailure error;
    EXPECT_EQ(PpdevPort::open(fake, "/dev/parport3", error), nullptr);
    EXPECT_EQ(posix::english(error), c.error);
    EXPECT_EQ(fake.count("ioctl", PPRELEASE), c.releases);
    EXPECT_EQ(fake.count("close"), c.closes);
  }
}

TEST(PpdevPortDeathTest, ASignalReleasesThePortThenEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto run = [] {
    test::FakeSystemCalls fake;
    fake.echo_to_stderr = true;
    posix::SystemFailure error;
    auto port = PpdevPort::open(fake, "/dev/parport0", error);
    port->set_farewell(IDLE_FAREWELL);
    posix::ReleaseOnSignal guard(*port);
    std::raise(SIGTERM);
    std::_Exit(0);  // not reached: the signal ends the process
  };
  // The farewell puts the board idle (control latch 0xC0), then the port is let go.
  EXPECT_EXIT(run(), testing::KilledBySignal(SIGTERM),
              "ioctl [0-9A-F]+ 192\n(.*\n){3}ioctl 708C 0\nclose 0 7");
}

TEST(ReleaseOnSignal, RestoresTheHandlersItReplaced) {
  test::FakeSystemCalls fake;
  posix::SystemFailure error;
  auto port = PpdevPort::open(fake, "/dev/parport0", error);
  struct sigaction before {};
  sigaction(SIGINT, nullptr, &before);
  { posix::ReleaseOnSignal guard(*port); }
  struct sigaction after {};
  sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(before.sa_handler, after.sa_handler);
}

TEST(DirectPort, MapsTheRegistersFromItsBase) {
  test::FakeSystemCalls fake;
  posix::SystemFailure error;
  {
    auto port = DirectPort::open(fake, 0x278, error);
    ASSERT_NE(port, nullptr) << posix::english(error);
    port->out(DATA_PORT, 0x90);
    port->out(CONTROL_PORT, 0x03);
    EXPECT_EQ(port->in(STATUS_PORT), 0x78);
    port->out(0x37C, 0x01);  // outside the three registers: ignored
  }
  const std::vector<Call> expected{{"ioperm", 0x278, 31},
                                   {"outb", 0x278, 0x90},
                                   {"outb", 0x27A, 0x03},
                                   {"inb", 0x279, 0x78},
                                   {"ioperm", 0x278, 30}};
  EXPECT_EQ(fake.calls, expected);
}

TEST(DirectPort, RefusalSaysThatItNeedsRoot) {
  test::FakeSystemCalls fake;
  fake.fail_ioperm = EPERM;
  posix::SystemFailure error;
  EXPECT_EQ(DirectPort::open(fake, 0x378, error), nullptr);
  EXPECT_EQ(posix::english(error),
            "cannot use ports 378h-37Ah: Operation not permitted (direct I/O needs root)");
}

TEST(DirectPort, RootRefusedIsNotToldToBecomeRoot) {
  test::FakeSystemCalls fake;
  fake.fail_ioperm = EPERM;
  fake.root = true;
  posix::SystemFailure error;
  EXPECT_EQ(DirectPort::open(fake, 0x378, error), nullptr);
  EXPECT_EQ(error.error, EPERM);
  EXPECT_EQ(posix::english(error),
            "cannot use ports 378h-37Ah: Operation not permitted (the kernel allows no direct I/O, "
            "not even to root: use --port ppdev)");
}

TEST(PpdevPort, ARefusalGivesTheErrnoOfTheCallThatFailed) {
  test::FakeSystemCalls fake;
  fake.fail_open["/dev/parport0"] = ENXIO;
  posix::SystemFailure error;
  EXPECT_EQ(PpdevPort::open(fake, "/dev/parport0", error), nullptr);
  EXPECT_EQ(error.error, ENXIO);

  test::FakeSystemCalls busy;
  busy.fail_ioctl[PPCLAIM] = EBUSY;
  EXPECT_EQ(PpdevPort::open(busy, "/dev/parport0", error), nullptr);
  EXPECT_EQ(error.error, EBUSY);  // not the errno of the close that follows
}

TEST(RealtimePriority, HighIsFirstInFirstOutAndNormalGoesBack) {
  test::FakeSystemCalls fake;
  std::vector<int> refusals;
  posix::RealtimePriority priority(fake, [&](int error) { refusals.push_back(error); });
  priority.set_priority_class(PriorityClass::high);
  priority.set_priority_class(PriorityClass::normal);
  priority.set_priority_class(PriorityClass::normal);  // already normal: no call
  const std::vector<Call> expected{{"scheduler", SCHED_FIFO, posix::PAGE_LOAD_PRIORITY},
                                   {"scheduler", SCHED_OTHER, 0}};
  EXPECT_EQ(fake.calls, expected);
  EXPECT_TRUE(refusals.empty());
}

TEST(RealtimePriority, ARefusalIsToldOnceAndNotTriedAgain) {
  test::FakeSystemCalls fake;
  fake.fail_scheduler = EPERM;
  std::vector<int> refusals;
  posix::RealtimePriority priority(fake, [&](int error) { refusals.push_back(error); });
  for (int page = 0; page < 3; ++page) {
    priority.set_priority_class(PriorityClass::high);
    priority.set_priority_class(PriorityClass::normal);
  }
  EXPECT_EQ(fake.count("scheduler"), 1u);
  EXPECT_EQ(refusals, std::vector<int>{EPERM});
}

}  // namespace
}  // namespace fp

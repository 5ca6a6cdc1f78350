// Suspend as a quit reason on Linux: logind announces a coming sleep with
// its PrepareForSleep signal on the system bus, and the saver's window
// procedure hears it as Windows' suspend broadcast.
#pragma once

#include <memory>
#include <string>

#include "platform/saver_platform.h"

namespace lumi {

enum class MessageBus {
  System,
  Session,  // stands in for the system bus where a test runs its own
};

class SleepWatcher {
 public:
  virtual ~SleepWatcher() = default;
};

// Listens on `bus` from a thread of its own and posts kMessagePowerBroadcast
// with kPowerSuspend when a sleep begins. Null with the reason in error
// when the bus cannot be reached.
std::unique_ptr<SleepWatcher> WatchForSleep(SaverPlatform& platform, MessageBus bus, std::string& error);

// Whether the machine has a system bus at all. Without one there is no
// logind to announce a sleep, so not hearing of one is no loss.
bool SystemBusExists();

}  // namespace lumi
